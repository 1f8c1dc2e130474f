// How the merge window lays out BASE, LOCAL and REMOTE side by side and relates the result to
// them: rows that keep the three versions level, the lines each side changed, and where each
// line of the result came from.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "merge3/merge3_session.h"
#include "viewrules/split_alignment.h"

namespace quennet::viewrules {

// The versions in the order the window shows them.
enum Merge3Pane : uint8_t { kBasePane = 0, kLocalPane = 1, kRemotePane = 2 };

using Merge3Lines = std::array<std::vector<std::string>, 3>;

// What a stretch of a version takes part in: a change of one side, the same change on both,
// or changes of both sides that differ.
enum class Merge3Change : uint8_t { Local, Remote, Both, Conflict };

struct Merge3Span {
    int32_t First = 0, Last = 0; // 0-based lines of one version, inclusive
    Merge3Change Change = Merge3Change::Conflict;
    bool operator==(const Merge3Span&) const = default;
};

struct Merge3Layout {
    // Filler rows per version; AfterLine -1 stands above the first line (not drawable).
    std::array<std::vector<viewrules::FillerBlock>, 3> Fillers;
    std::array<std::vector<Merge3Span>, 3> Spans;
    // The row each line stands on; equal lines of the three share one.
    std::array<std::vector<int32_t>, 3> RowOf;
    // Lines of LOCAL and REMOTE that stand in no pair with BASE: that side's changes.
    std::array<std::vector<bool>, 3> Changed;
    // For lines of LOCAL and REMOTE, the BASE line they pair with, or -1.
    std::array<std::vector<int32_t>, 3> BaseOf;
    int32_t Rows = 0;
};

Merge3Layout LayOutMerge3(const Merge3Lines& versions);

// Filler rows above a version's first line: the views level them by scrolling instead.
int32_t TopFillerRows(const Merge3Layout& layout, int pane);

// The first visible row of pane `to` that keeps it level with pane `from` showing firstRow.
int32_t FollowingRow(const Merge3Layout& layout, int from, int32_t firstRow, int to);

// Where a line of the result came from, for its colour.
enum class Merge3Origin : uint8_t {
    Common,   // the same in all three, or a change undone
    Local,    // LOCAL's change
    Remote,   // REMOTE's change
    Both,     // the same change on both sides
    Conflict, // a conflict block, markers included
    Edited,   // in no version: typed by hand or joined from both
};

struct Merge3ResultMap {
    std::vector<Merge3Origin> Origin;
    // The layout row each result line stands beside; never decreasing.
    std::vector<int32_t> Row;
    // The line of each version that a result line is paired with, or -1.
    std::array<std::vector<int32_t>, 3> At;
};

Merge3ResultMap MapMerge3Result(const Merge3Lines& versions, const Merge3Layout& layout,
                                const std::vector<std::string>& result,
                                const std::vector<merge3::Merge3Conflict>& conflicts);

// The first result line that stands at layout row `row` or below it (the last line when none).
int32_t ResultLineAtRow(const Merge3ResultMap& map, int32_t row);

// Where a conflict's part of a version stands in that version: its first line paired with
// the version, else the line after the nearest result line above the block that is.
int32_t ConflictLineIn(const Merge3ResultMap& map, const merge3::Merge3Conflict& conflict,
                       int pane);

// The conflict the next/previous command goes to from conflict `current` (-1: none selected,
// then from the caret line), or -1 when there is none in that direction.
int32_t StepConflict(const std::vector<merge3::Merge3Conflict>& conflicts, int32_t current,
                     int32_t caretLine, bool forward);

} // namespace quennet::viewrules
