#include "PathTree.h"

#include <gtest/gtest.h>

using namespace pexa::cli;

TEST(PathTreeTest, APathReadsAsItsFolderAndNameJoined)
{
    PathTree paths;
    const PathTree::Id in = paths.add(PathTree::none, "in");
    EXPECT_EQ(paths.text(paths.add(paths.add(in, "sub"), "a.txt")), "in/sub/a.txt");
    EXPECT_EQ(paths.text(paths.add(paths.add(PathTree::none, "in/"), "a.txt")), "in/a.txt");
    EXPECT_EQ(paths.text(paths.add(paths.add(PathTree::none, "/"), "a.txt")), "/a.txt");
    // A file given from the working folder keeps its text as given.
    EXPECT_EQ(paths.text(paths.add(paths.add(PathTree::none, ""), "x//a.txt")), "x//a.txt");
}

TEST(PathTreeTest, TheSameNameInTheSameFolderIsOnePathEvenAfterTheTreeMoves)
{
    PathTree paths;
    const PathTree::Id out = paths.add(PathTree::none, "out");
    const PathTree::Id result = paths.add(paths.add(out, "sub"), "a.txt");
    EXPECT_EQ(paths.add(paths.add(out, "sub"), "a.txt"), result);
    EXPECT_NE(paths.add(out, "a.txt"), result);
    EXPECT_NE(paths.add(PathTree::none, "a.txt"), paths.add(out, "a.txt"));
    const PathTree moved = std::move(paths);
    EXPECT_EQ(moved.text(result), "out/sub/a.txt");
    EXPECT_EQ(moved.depth(result), 2u);
}
