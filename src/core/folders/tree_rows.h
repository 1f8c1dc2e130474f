// Two folder trees as one aligned outline for the navigator: every folder and unit of either
// side on one row, by relative path, with its status and, when asked, its API change counts.
#pragma once

#include <atomic>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "folders/tree_compare.h"

namespace quennet::folders {

enum class RowStatus { Identical, Different, OnlyOld, OnlyNew };

struct TreeRow {
    std::string path; // relative, "/"-separated; "" for neither (the top is not a row)
    std::string name; // the last part of the path
    int depth = 0;    // 0 for entries of the top folder
    bool folder = false;
    // A folder is Identical or one-sided only when everything under it is.
    RowStatus status = RowStatus::Identical;
    bool counted = false; // the counts below were computed (never for an include file)
    int breaking = 0, additive = 0, internal = 0;
    // A unit that differs only in its line ends (CR LF against LF): the same lines.
    bool lineEndsOnly = false;
    // Counted units not read to the end: a unit's reason (where the structure stopped, or why
    // it could not be read); a folder's count of such units under it.
    std::string unread = {};
    int unreadUnits = 0;
    // A unit's declarations moved to or from other units, as -r names them ("moved routine Foo
    // from a.pas to b.pas").
    std::vector<std::string> moves = {};
    // A form placed under the unit of the same name in its folder, one level deeper.
    bool besideUnit = false;
};

// What a row's status alone does not say, for a tool tip or a status line: "Only the line
// ends differ", "Not read to the end: ..." or "2 units not read to the end"; empty otherwise.
std::string RowNote(const TreeRow& row);

struct TreeRowOptions {
    TreeOptions tree;    // mask, threads, pair options (the API mode decides the counts)
    bool counts = false; // compare the differing units structurally for the counts
    const std::atomic<bool>* cancel = nullptr;
    // Progress for a caller on another thread: total is set once the trees are listed.
    std::atomic<size_t>* done = nullptr;
    std::atomic<size_t>* total = nullptr;
};

// Folders first, then files, each by name; a folder's rows follow it, a unit's form follows
// the unit. Files are compared by
// size, then content. nullopt when cancelled. Throws when a folder cannot be read.
std::optional<std::vector<TreeRow>> AlignTrees(const std::string& oldDir, const std::string& newDir,
                                               const TreeRowOptions& options);

} // namespace quennet::folders
