// What the main window shows of a form pair: the rows of its tree, which lines of each view are
// tinted, the stepping between changes and the report. Built from the one form comparison the
// command line uses.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "forms/form_compare.h"
#include "forms/form_report.h"
#include "io/text_encoding.h"
#include "render/line_decoration.h"
#include "viewrules/difference_marks.h"
#include "viewrules/inactive_code.h"
#include "viewrules/merge3_names.h"

namespace quennet::viewrules {

struct FormViewNode {
    std::string Caption;
    forms::FormChange Change = forms::FormChange::Changed;
    bool Group = false;         // the designer-noise heading: no lines of its own
    bool Dimmed = false;        // designer noise
    render::LineRange Old, New; // 0-based view lines; unset where a side has none
    std::vector<FormViewNode> Children;
};

struct FormView {
    forms::FormComparison Comparison;
    forms::NoiseMode Mode = forms::NoiseMode::Show;
    std::vector<FormViewNode> Tree;
    DifferenceSpans Spans; // the changes that are not noise, for the views and strips
    // The lines of designer noise in each view, shaded as text the comparison sets aside, in
    // every noise mode: the line ends still differ there.
    std::vector<InactiveSpan> NoiseOld, NoiseNew;
};

// One side as the views hold it: its text (lines joined by line breaks), whether the view shows
// it as UTF-8, and the file's name for notes.
struct FormSideText {
    std::string Text;
    bool Utf8 = false;
    std::string Name;
};

// Whether the window compares the pair as forms: either side is one by name or by content.
bool IsFormPair(const std::string& oldName, const std::string& oldText, const std::string& newName,
                const std::string& newText);

FormView CompareFormTexts(const FormSideText& oldSide, const FormSideText& newSide,
                          const forms::NoiseRules& rules, forms::NoiseMode mode);

// What the window says when the tree stays empty: the forms are equivalent, or only hidden
// designer noise differs; empty when the tree shows something.
std::string FormOutcomeMessage(const FormView& view);

// The tree of a comparison: changed objects with their own changes and properties, then (Show)
// the noise apart under one dimmed group; Hide and Ignore leave noise out.
std::vector<FormViewNode> FormViewTree(const forms::FormComparison& c, forms::NoiseMode mode);

// The change after (forward) or before current in tree order, parent first; rows whose
// children carry the detail and the noise group are stepped over. Null at either end; with no
// current row, the first (or last).
const FormViewNode* StepFormNode(const std::vector<FormViewNode>& tree, const FormViewNode* current,
                                 bool forward);

// A binary form's text form as lines, for a view; nothing for any other file.
std::optional<std::vector<std::string>> BinaryFormLines(const std::string& path);

// The objects and properties of a text form with their lines, named by path ("Form1.Button1",
// "Form1.Button1.Caption"), so that a merge conflict is named by what it holds.
std::vector<NamedSpan> OutlineForm(const std::vector<std::string>& lines,
                                   const std::string& fileName);

} // namespace quennet::viewrules
