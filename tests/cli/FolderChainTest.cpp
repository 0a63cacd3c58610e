#include "FolderChain.h"

#include "ScratchFolder.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace pexa::cli;
namespace fs = std::filesystem;

TEST(FolderChainTest, AFolderThatCannotBeMadeFailsTheFilesBelowItUntilTheChainLeavesIt)
{
    ScratchFolder scratch;
    const fs::path inTheWay = scratch.write("out/in/s", "a file where a folder should be");
    PathTree paths;
    const PathTree::Id in = paths.add(paths.add(PathTree::none, (scratch / "out").string()), "in");
    const PathTree::Id blocked = paths.add(in, "s");
    const PathTree::Id below = paths.add(paths.add(paths.add(blocked, "t"), "u"), "b.txt");
    FolderChain folders(paths, MissingFolders::Make);
    for (const PathTree::Id file : {paths.add(blocked, "a.txt"), below}) {
        std::string error;
        errno = 0;
        EXPECT_EQ(folders.openFolderOf(file, error), -1);
        EXPECT_EQ(errno, ENOTDIR);
        EXPECT_EQ(error, inTheWay.string() + " (Not a directory)");
    }
    const auto reaches = [&](PathTree::Id file) {
        std::string error;
        const int fd = folders.openFolderOf(file, error);
        EXPECT_GE(fd, 0) << error;
        return fd >= 0 && ::close(fd) == 0;
    };
    EXPECT_TRUE(reaches(paths.add(paths.add(in, "v"), "c.txt")));
    fs::remove(inTheWay);
    EXPECT_TRUE(reaches(below)); // tried again once the chain has left the folder
    EXPECT_TRUE(fs::is_directory(scratch / "out/in/s/t/u"));
}
