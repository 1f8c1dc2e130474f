// The outline is built from a map of folders so that a folder holding only one side's files
// still gets one row, and its status sums up its children.
#include "folders/tree_rows.h"

#include <algorithm>
#include <map>
#include <set>

#include "base/ascii.h"
#include "folders/folder_compare.h"
#include "forms/form_check.h"
#include "forms/form_reader.h"
#include "io/source_file.h"
#include "model/source_model.h"

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

// An include file is read through the units that include it; read alone, as a unit, it would
// only stop early.
bool IsIncludeFile(std::string_view path) {
    const size_t dot = path.rfind('.');
    return dot != std::string_view::npos && path.find('/', dot) == std::string_view::npos &&
           model::CompareNames(path.substr(dot), ".inc") == 0;
}

// Two files whose bytes differ but whose lines are the same: only the line ends differ.
bool SameLines(const std::string& oldDir, const std::string& newDir, const std::string& name) {
    try {
        return io::SplitLines(io::ReadFileBytes(oldDir + "/" + name)) ==
               io::SplitLines(io::ReadFileBytes(newDir + "/" + name));
    } catch (const std::exception&) {
        return false; // the comparison of the pair names the trouble
    }
}

Folder& FolderOf(Folder& root, const std::string& path, std::string& leaf) {
    Folder* f = &root;
    size_t start = 0;
    for (size_t slash; (slash = path.find('/', start)) != std::string::npos; start = slash + 1)
        f = &f->folders[path.substr(start, slash - start)];
    leaf = path.substr(start);
    return *f;
}

// The path without its extension, in lower case: a unit and its form share it.
std::string StemKey(const std::string& path) {
    const size_t dot = path.rfind('.');
    const size_t slash = path.rfind('/');
    const bool hasDot = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return base::LowerAscii(hasDot ? path.substr(0, dot) : path);
}

bool IsUnitName(const std::string& path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos) return false;
    const std::string ext = base::LowerAscii(path.substr(dot));
    const auto& units = model::PascalExtensions();
    return ext != ".inc" && std::find(units.begin(), units.end(), ext) != units.end();
}

// The files of a tree with the form beside each unit, whatever the mask, as the whole-tree
// report compares them with their units.
std::vector<std::string> WithFormsBeside(const std::string& dir, std::vector<std::string> names) {
    const size_t listed = names.size();
    for (size_t i = 0; i < listed; ++i) {
        if (!IsUnitName(names[i])) continue;
        const std::string form = forms::FormBesideUnit(dir + "/" + names[i]);
        if (form.empty()) continue;
        const size_t slash = names[i].rfind('/');
        const std::string folder = slash == std::string::npos ? "" : names[i].substr(0, slash + 1);
        names.push_back(folder + form.substr(form.find_last_of("/\\") + 1));
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

// Moves each form that has a unit of its name beside it under that unit, as the whole-tree
// report puts them together.
void PlaceFormsBesideUnits(std::vector<TreeRow>& rows) {
    std::set<std::string> units;
    for (const TreeRow& r : rows)
        if (!r.folder && IsUnitName(r.path)) units.insert(StemKey(r.path));
    std::map<std::string, std::vector<TreeRow>> forms;
    std::erase_if(rows, [&](TreeRow& r) {
        if (r.folder || !forms::IsFormFileName(r.path) || !units.count(StemKey(r.path)))
            return false;
        r.besideUnit = true;
        ++r.depth;
        forms[StemKey(r.path)].push_back(std::move(r));
        return true;
    });
    if (forms.empty()) return;
    std::vector<TreeRow> placed;
    placed.reserve(rows.size() + forms.size());
    for (TreeRow& r : rows) {
        const bool unit = !r.folder && IsUnitName(r.path);
        const std::string key = unit ? StemKey(r.path) : std::string();
        placed.push_back(std::move(r));
        if (!unit) continue;
        // A stem with two units (a.pas, a.pp) keeps its forms under the first.
        const auto it = forms.find(key);
        if (it == forms.end()) continue;
        for (TreeRow& f : it->second)
            placed.push_back(std::move(f));
        forms.erase(it);
    }
    rows = std::move(placed);
}

} // namespace

std::optional<std::vector<TreeRow>> AlignTrees(const std::string& oldDir, const std::string& newDir,
                                               const TreeRowOptions& options) {
    const auto oldNames = WithFormsBeside(oldDir, ListTreeFiles(oldDir, options.tree.mask));
    const auto newNames = WithFormsBeside(newDir, ListTreeFiles(newDir, options.tree.mask));
    const std::set<std::string> newSet(newNames.begin(), newNames.end());
    size_t pairs = 0;
    for (const auto& n : oldNames)
        pairs += newSet.count(n);
    if (options.total) options.total->store(pairs * (options.counts ? 2 : 1));

    Folder root;
    std::string leaf;
    std::set<std::string> lineEndsOnly;
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
        if (f.files[leaf] == RowStatus::Different && SameLines(oldDir, newDir, n))
            lineEndsOnly.insert(n);
        if (options.done) options.done->fetch_add(1);
    }

    std::vector<TreeRow> rows;
    Emit(root, "", 0, rows);
    for (TreeRow& row : rows)
        row.lineEndsOnly = !row.folder && lineEndsOnly.count(row.path) > 0;
    PlaceFormsBesideUnits(rows);
    if (!options.counts) return rows;

    TreeOptions tree = options.tree;
    tree.cancel = options.cancel;
    tree.pairsDone = options.done;
    std::vector<UnitOutcome> units = CompareTrees(oldDir, newDir, tree);
    if (Cancelled(options)) return std::nullopt;
    // A move between units changes their API counts as on the command line.
    std::map<std::string, std::vector<std::string>> movesOf;
    for (const UnitMove& move : FindUnitMoves(units, oldDir, newDir, tree))
        for (const std::string* unit : {&move.from, &move.to})
            movesOf[*unit].push_back(MoveLine(move));
    std::erase_if(units, [](const UnitOutcome& u) { return IsIncludeFile(u.name); });
    std::map<std::string, const UnitOutcome*> byName;
    for (const auto& u : units)
        byName[u.name] = &u;
    std::map<std::string, FolderCounts> byFolder;
    for (auto& c : CountsByFolder(units))
        byFolder[c.folder] = c;
    std::map<std::string, int> unreadUnder;
    for (const auto& u : units)
        if (u.status == UnitStatus::Trouble)
            for (std::string folder = u.name; folder.find('/') != std::string::npos;)
                ++unreadUnder[folder = folder.substr(0, folder.rfind('/'))];
    for (TreeRow& row : rows) {
        if (!row.folder && IsIncludeFile(row.path)) continue;
        row.counted = true;
        if (row.folder) {
            if (auto it = byFolder.find(row.path); it != byFolder.end()) {
                row.breaking = it->second.breaking;
                row.additive = it->second.additive;
                row.internal = it->second.internal;
            }
            if (auto it = unreadUnder.find(row.path); it != unreadUnder.end())
                row.unreadUnits = it->second;
        } else if (auto it = byName.find(row.path); it != byName.end()) {
            if (auto moved = movesOf.find(row.path); moved != movesOf.end())
                row.moves = std::move(moved->second);
            const TreeSummary s = Summarize({*it->second}, true);
            row.breaking = s.breaking;
            row.additive = s.additive;
            row.internal = s.internal;
            if (it->second->status == UnitStatus::Trouble) {
                row.unread = it->second->problem;
                row.unreadUnits = 1;
            }
        }
    }
    return rows;
}

std::string RowNote(const TreeRow& row) {
    if (row.lineEndsOnly) return "Only the line ends differ";
    if (!row.folder && row.unreadUnits > 0) return "Not read to the end: " + row.unread;
    if (row.unreadUnits == 1) return "1 unit not read to the end";
    if (row.unreadUnits > 1) return std::to_string(row.unreadUnits) + " units not read to the end";
    return {};
}

} // namespace quennet::folders
