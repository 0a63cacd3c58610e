#include "PathTree.h"

namespace pexa::cli {

PathTree::Id PathTree::add(Id folder, std::string name)
{
    const auto [entry, isNew] = m_ids.try_emplace({folder, std::move(name)}, m_nodes.size());
    if (isNew)
        m_nodes.push_back({folder, folder == none ? 0 : depth(folder) + 1, &entry->first.second});
    return entry->second;
}

std::string PathTree::text(Id path) const
{
    std::vector<Id> way; // from the path up to the top of its tree
    for (Id step = path; step != none; step = folderOf(step))
        way.push_back(step);
    std::string joined;
    for (auto step = way.rbegin(); step != way.rend(); ++step) {
        if (!joined.empty() && joined.back() != '/')
            joined += '/';
        joined += name(*step);
    }
    return joined;
}

} // namespace pexa::cli
