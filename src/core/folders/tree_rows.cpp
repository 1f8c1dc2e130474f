// The outline is built from a map of folders so that a folder holding only one side's files
// still gets one row, and its status sums up its children.
#include "folders/tree_rows.h"

#include <algorithm>
#include <map>
#include <set>

#include "folders/folder_compare.h"

namespace quennet::folders {

namespace {

struct Folder {
    std::map<std::string, Folder> folders;
    std::map<std::string, RowStatus> files;
};

bool Cancelled(const TreeRowOptions& o) {
    return o.cancel && o.cancel->load();
}

RowStatus Combine(std::optional<RowStatus> sum, RowStatus next) {
    return !sum || *sum == next ? next : RowStatus::Different;
}

// Appends the rows of a folder's contents; returns the folder's own status.
std::optional<RowStatus> Emit(const Folder& f, const std::string& prefix, int depth,
                              std::vector<TreeRow>& rows) {
    std::optional<RowStatus> sum;
    for (const auto& [name, sub] : f.folders) {
        const size_t at = rows.size();
        rows.push_back({prefix + name, name, depth, true});
        const std::optional<RowStatus> s = Emit(sub, prefix + name + "/", depth + 1, rows);
        rows[at].status = s.value_or(RowStatus::Identical);
        sum = Combine(sum, rows[at].status);
    }
    for (const auto& [name, status] : f.files) {
        rows.push_back({prefix + name, name, depth, false, status});
        sum = Combine(sum, status);
    }
    return sum;
}

Folder& FolderOf(Folder& root, const std::string& path, std::string& leaf) {
    Folder* f = &root;
    size_t start = 0;
    for (size_t slash; (slash = path.find('/', start)) != std::string::npos; start = slash + 1)
        f = &f->folders[path.substr(start, slash - start)];
    leaf = path.substr(start);
    return *f;
}

} // namespace

std::optional<std::vector<TreeRow>> AlignTrees(const std::string& oldDir, const std::string& newDir,
                                               const TreeRowOptions& options) {
    const auto oldNames = ListTreeFiles(oldDir, options.tree.mask);
    const auto newNames = ListTreeFiles(newDir, options.tree.mask);
    const std::set<std::string> newSet(newNames.begin(), newNames.end());
    size_t pairs = 0;
    for (const auto& n : oldNames)
        pairs += newSet.count(n);
    if (options.total) options.total->store(pairs * (options.counts ? 2 : 1));

    Folder root;
    std::string leaf;
    for (const auto& n : newNames)
        if (!std::binary_search(oldNames.begin(), oldNames.end(), n))
            FolderOf(root, n, leaf).files[leaf] = RowStatus::OnlyNew;
    for (const auto& n : oldNames) {
        Folder& f = FolderOf(root, n, leaf);
        if (!newSet.count(n)) {
            f.files[leaf] = RowStatus::OnlyOld;
            continue;
        }
        if (Cancelled(options)) return std::nullopt;
        const folders::FileComparison c = folders::CompareFile(oldDir, newDir, n);
        f.files[leaf] = c.Status == folders::FileStatus::Identical ? RowStatus::Identical
                                                                     : RowStatus::Different;
        if (options.done) options.done->fetch_add(1);
    }

    std::vector<TreeRow> rows;
    Emit(root, "", 0, rows);
    if (!options.counts) return rows;

    TreeOptions tree = options.tree;
    tree.cancel = options.cancel;
    tree.pairsDone = options.done;
    const std::vector<UnitOutcome> units = CompareTrees(oldDir, newDir, tree);
    if (Cancelled(options)) return std::nullopt;
    std::map<std::string, const UnitOutcome*> byName;
    for (const auto& u : units)
        byName[u.name] = &u;
    std::map<std::string, FolderCounts> byFolder;
    for (auto& c : CountsByFolder(units))
        byFolder[c.folder] = c;
    for (TreeRow& row : rows) {
        row.counted = true;
        if (row.folder) {
            if (auto it = byFolder.find(row.path); it != byFolder.end()) {
                row.breaking = it->second.breaking;
                row.additive = it->second.additive;
                row.internal = it->second.internal;
            }
        } else if (auto it = byName.find(row.path); it != byName.end()) {
            const TreeSummary s = Summarize({*it->second}, true);
            row.breaking = s.breaking;
            row.additive = s.additive;
            row.internal = s.internal;
        }
    }
    return rows;
}

} // namespace quennet::folders
