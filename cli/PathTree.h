#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace pexa::cli {

// The paths of a batch as a tree of names: each path is its folder's path and one name, so a file
// deep in a tree costs one name, not its whole path. The same name in the same folder is the same
// path, so two ways to one result meet at one node. A path's text is put together only when a
// message needs it. Not to be changed while another thread reads it.
class PathTree
{
public:
    using Id = std::size_t;
    static constexpr Id none = static_cast<Id>(-1);

    PathTree() = default;
    PathTree(PathTree&&) = default;
    PathTree& operator=(PathTree&&) = default;
    PathTree(const PathTree&) = delete;
    PathTree& operator=(const PathTree&) = delete;

    // The path `name` in the folder `folder`. With no folder, `name` is a path as given, from the
    // working folder ("" is the working folder itself); otherwise it is one name in its folder,
    // except for a file given as a path from the working folder.
    Id add(Id folder, std::string name);

    Id folderOf(Id path) const { return m_nodes[path].folder; }
    const std::string& name(Id path) const { return *m_nodes[path].name; }
    // How many folders the path lies in within the tree: 0 for a path without folder.
    std::size_t depth(Id path) const { return m_nodes[path].depth; }

    // The whole path, joined as std::filesystem::path joins: "a.txt" in "in" gives "in/a.txt", and
    // in "in/" too.
    std::string text(Id path) const;

private:
    struct Node
    {
        Id folder;
        std::size_t depth;
        const std::string* name; // held by m_ids, whose keys never move
    };

    std::vector<Node> m_nodes;
    std::map<std::pair<Id, std::string>, Id> m_ids;
};

} // namespace pexa::cli
