// Two folder trees compared unit by unit: units paired by relative path, each pair compared
// structurally, the pairs spread over a pool of threads.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

#include "folders/unit_compare.h"
#include "model/source_files.h"

namespace quennet::folders {

struct TreeOptions {
    std::string mask = model::kDefaultFolderMask;
    unsigned threads = 0; // 0: one per core
    PairOptions pair;
    // For a caller on another thread: set cancel to stop taking pairs (the result is then
    // incomplete); pairsDone counts the pairs compared so far.
    const std::atomic<bool>* cancel = nullptr;
    std::atomic<size_t>* pairsDone = nullptr;
};

struct TreeSummary {
    int unitsChanged = 0, unitsAdded = 0, unitsRemoved = 0, unitsTrouble = 0;
    // Declarations moved between units count once, as moved, not as removed and added.
    DeclCounts decls;
    int formsChanged = 0; // forms beside units added, removed or changed
    int breaking = 0, additive = 0, internal = 0;
};

// Every unit of either tree, by relative path ("/"-separated, sorted), except units that are
// the same. Added and removed units are not parsed; a folder that cannot be read throws.
std::vector<UnitOutcome> CompareTrees(const std::string& oldDir, const std::string& newDir,
                                      const TreeOptions& options);

// Relative paths of the regular, not hidden files under folder that match the mask, sorted;
// hidden folders are not entered. Throws std::runtime_error naming the folder when it cannot
// be read.
std::vector<std::string> ListTreeFiles(const std::string& folder, const std::string& mask);

// A type, class or routine that left one unit of the tree for another, keeping its name.
struct UnitMove {
    diff::NodeKind kind = diff::NodeKind::Routine;
    std::string name;
    std::string from, to; // relative paths
    bool changed = false;
    // Other units saw it in from's interface, and from's new version does not declare the name
    // there any more.
    bool breaking = false;
};

// Pairs what left a unit with what arrived in another: same kind and name, the name left and
// arrived once in the tree, unchanged or at least as similar as a rename. The units' counts
// and API changes then tell the move apart from a removal and an addition. Added and removed
// units take part when `options` follow renames (they are parsed for it).
std::vector<UnitMove> FindUnitMoves(std::vector<UnitOutcome>& units, const std::string& oldDir,
                                    const std::string& newDir, const TreeOptions& options);

// "routine", "type", "class".
const char* MoveKindName(diff::NodeKind kind);

// "moved routine Foo from a.pas to b.pas", with " and changed" where it changed.
std::string MoveLine(const UnitMove& move);

// Removed units count as one breaking change each in the API view, added units as additive.
TreeSummary Summarize(const std::vector<UnitOutcome>& units, bool api);

// API change counts of a folder: its units and those of its subfolders. For the navigator's
// whole-tree view; removed and added units count as in Summarize.
struct FolderCounts {
    std::string folder; // relative, "/"-separated; "" for the top
    int units = 0;      // units listed under it
    int breaking = 0, additive = 0, internal = 0;
};

// One entry per folder that holds a listed unit, and each of its parents, sorted by folder.
std::vector<FolderCounts> CountsByFolder(const std::vector<UnitOutcome>& units);

// "3 units changed, 1 added, 0 removed; 5 declarations added, 2 removed, 7 changed"
std::string SummaryLine(const TreeSummary& summary);

} // namespace quennet::folders
