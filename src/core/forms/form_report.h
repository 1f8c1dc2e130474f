// The text outputs of a form comparison: the report body and the tab-separated tree.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "forms/form_compare.h"

namespace quennet::forms {

// show: noise listed last under its own heading; hide: only its count; ignore: not mentioned,
// and noise alone leaves the forms equivalent.
enum class NoiseMode { Show, Hide, Ignore };
// "show", "hide", "ignore", as the command line and the stored setting write them.
const char* NoiseModeName(NoiseMode mode);
// Show for a name that is none of them.
NoiseMode NoiseModeNamed(std::string_view name);

bool FormsEquivalent(const FormComparison& c, NoiseMode mode);

// ">>> Objects" with "+", "-" and "*" lines as the unit report has them, then
// ">>> Designer noise". Empty when there is nothing to report.
std::string FormReportBody(const FormComparison& c, NoiseMode mode);
// The whole report: "Diff report for", the two names and the body, or the sentence of
// equivalent files (after the faults, when a form was read only in part).
std::string FormReportText(const FormComparison& c, NoiseMode mode, const std::string& oldName,
                           const std::string& newName);

// One line a node: caption, state (2 removed, 3 added, 4 changed), old lines, new lines,
// indented two spaces a level.
std::string FormTreeText(const FormComparison& c, NoiseMode mode);

// Whether an object node is a change beyond its properties: added, removed, moved, or its
// class, kind or position changed; text runs always are.
bool ObjectChangedItself(const FormDiffNode& n);

// What a terminal display shows of a comparison, part by part: an object added or removed
// whole, an object's own line when its class, kind or place changed, each changed property,
// each run of lines past a fault; noise last (show) or not at all. Lines are 1-based, 0
// where a side has none.
struct FormDisplayPart {
    const char* kind; // "object", "property", "designer noise", "lines"
    std::string name; // Form1.Panel1, Form1.Panel1.Caption
    FormChange change = FormChange::Changed;
    int oldFirst = 0, oldLast = 0, newFirst = 0, newLast = 0;
};
std::vector<FormDisplayPart> FormDisplayParts(const FormComparison& c, NoiseMode mode);

// "added", "removed" or "changed".
const char* ChangeName(FormChange change);
const char* NodeKindName(FormNodeKind kind);

// A copy without noise (Ignore, Hide) or with it only (for the noise section).
FormDiffNode WithNoise(const FormDiffNode& n, bool noise);

} // namespace quennet::forms
