// One pair of units compared and rendered for the command line: the shared work of a file pair
// and of each pair of a whole-tree comparison. Safe to run for different pairs on different
// threads at once.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "diff/api_changes.h"
#include "diff/source_diff.h"
#include "model/dialect.h"
#include "model/reading_settings.h"
#include "render/diff_display.h"

namespace quennet::folders {

enum class ApiMode { Off, Public, Protected };

struct PairOptions {
    std::vector<std::string> symbols;
    model::Dialect dialect = model::Dialect::Auto;
    // Target, target symbols and include folders; dialect and file name are set per file. By
    // default the command line's reading without options.
    model::ParseOptions reading = model::DefaultReading();
    render::DisplayOptions display;
    ApiMode api = ApiMode::Off;
};

// The pair options of a reading as the user chose it (model::ReadingOf), so that every front
// end reads the units of a tree as the comparison of one pair does.
PairOptions PairReading(const model::Reading& reading);

enum class UnitStatus { Same, Changed, Added, Removed, Trouble };

struct DeclCounts {
    int added = 0, removed = 0, changed = 0;
    int moved = 0; // out of the unit into another one of the tree
};

// A unit's own type, class or routine found on one side only where renames are followed: a
// move to or from another unit when the tree holds its counterpart.
struct LooseDecl {
    diff::NodeKind kind = diff::NodeKind::Routine;
    std::string name;
    uint64_t fingerprint = 0;     // equal: moved unchanged
    std::vector<uint32_t> tokens; // for a similarity where the fingerprints differ
    bool exposed = false;         // declared in the interface section
    bool stillExposed = false;    // gone: the unit's new version exposes the name otherwise
};

struct UnitOutcome {
    std::string name; // relative path in a tree, the two names joined for a pair
    UnitStatus status = UnitStatus::Same;
    std::string problem;            // Trouble: the reason (read error or where a parse stopped)
    std::vector<std::string> lines; // the section body in the chosen display
    DeclCounts decls;
    bool equivalent = true; // the structural verdict, notes aside
    diff::ApiReport api;
    std::vector<LooseDecl> gone, arrived; // only in the old unit, only in the new one
    // The form file beside the unit (relative path, the new side's name where both have one)
    // and how it changed: added, removed, changed; empty when it did not.
    std::string form;
    std::string formChange;
};

// Compares the texts of two files. Identical bytes are Same without parsing; a parse that stops
// early makes the pair Trouble but its section is still rendered. oldLabel/newLabel name the
// files in notes and report headings.
UnitOutcome CompareUnitTexts(const std::string& oldBytes, const std::string& newBytes,
                             const std::string& oldLabel, const std::string& newLabel,
                             const PairOptions& options);

// The types, classes and routines of one unit present on one side of a tree only (all of them
// gone or all arrived); none where the reading follows no renames or the file cannot be read.
// Tokens are read only for the declarations withTokens names.
using LooseFilter = std::function<bool(diff::NodeKind, std::string_view name)>;
std::vector<LooseDecl> LooseDeclsOfFile(const std::string& path, const PairOptions& options,
                                        const LooseFilter& withTokens);

// Compares the forms beside two versions of a unit and adds what changed to the outcome: a
// heading "--- form NAME" and the form report's lines after the unit's. A unit that was the
// same becomes changed. relative is the unit's name in its tree.
void AddFormsBeside(UnitOutcome& unit, const std::string& relative, const std::string& oldUnit,
                    const std::string& newUnit);

// Reads both files first; a file that cannot be read makes the outcome Trouble.
UnitOutcome CompareUnitFiles(const std::string& oldPath, const std::string& newPath,
                             const PairOptions& options);

} // namespace quennet::folders
