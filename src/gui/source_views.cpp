// The pair of source views: marks from core, applied and kept in step.
#include "source_views.h"

#include "source_editor.h"

#include "diff/line_matcher.h"
#include "viewrules/char_diff.h"
#include "viewrules/difference_marks.h"

#include <QScrollBar>
#include <algorithm>

namespace quennet::gui {

namespace {

std::vector<base::TLineRecord> WholeText(const std::vector<std::string>& lines) {
    std::vector<base::TLineRecord> records(lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        records[i] = {base::LineKey(lines[i]), static_cast<int32_t>(i), false};
    return records;
}

} // namespace

TSourceViews::TSourceViews(SourceEditor* oldView, SourceEditor* newView, QObject* parent)
    : QObject(parent), old_(oldView), new_(newView) {
    old_->setSide(render::ViewSide::Old);
    new_->setSide(render::ViewSide::New);
    connect(old_, &SourceEditor::scrolled, this, [this] { Follow(true); });
    connect(new_, &SourceEditor::scrolled, this, [this] { Follow(false); });
    // A new text invalidates the alignment of the old one.
    for (SourceEditor* view : {old_, new_})
        connect(view, &SourceEditor::textReplaced, this, [this] {
            if (aligned_) Clear();
        });
}

void TSourceViews::ShowDifferences(const diff::TSourceDiff* comparison) {
    if (!comparison) {
        Clear();
        return;
    }
    ShowDifferences(viewrules::CollectDifferenceSpans(comparison->Root));
}

void TSourceViews::ShowDifferences(viewrules::DifferenceSpans spans) {
    const std::vector<std::string> oldLines = old_->lines();
    const std::vector<std::string> newLines = new_->lines();
    std::vector<base::TLineRecord> a = WholeText(oldLines);
    std::vector<base::TLineRecord> b = WholeText(newLines);
    alignment_ =
        viewrules::AlignTexts(viewrules::MatchTexts(a, b), static_cast<int32_t>(oldLines.size()),
                              static_cast<int32_t>(newLines.size()));
    aligned_ = true;
    old_->setDifferenceSpans(std::move(spans.Old));
    new_->setDifferenceSpans(std::move(spans.New));
    old_->setChangedInside(
        viewrules::ChangedLinesWithin(old_->differenceSpans(), alignment_.OldToNew));
    new_->setChangedInside(
        viewrules::ChangedLinesWithin(new_->differenceSpans(), alignment_.NewToOld));
    old_->clearCharMarks();
    new_->clearCharMarks();
    for (const viewrules::LinePair& pair : alignment_.Changed) {
        const viewrules::CharMarks marks = viewrules::CharDiff(
            oldLines[static_cast<size_t>(pair.Old)], newLines[static_cast<size_t>(pair.New)]);
        old_->addCharMarks(pair.Old, marks.Old);
        new_->addCharMarks(pair.New, marks.New);
    }
    ApplyFillers();
}

void TSourceViews::ShowInactive(const model::TPasSrc* oldSource, const model::TPasSrc* newSource) {
    ShowInactive(
        oldSource ? viewrules::InactiveSpans(*oldSource) : std::vector<viewrules::InactiveSpan>{},
        newSource ? viewrules::InactiveSpans(*newSource) : std::vector<viewrules::InactiveSpan>{});
}

void TSourceViews::ShowInactive(std::vector<viewrules::InactiveSpan> oldSpans,
                                std::vector<viewrules::InactiveSpan> newSpans) {
    old_->setInactive(std::move(oldSpans));
    new_->setInactive(std::move(newSpans));
}

void TSourceViews::Clear() {
    aligned_ = false;
    alignment_ = {};
    for (SourceEditor* view : {old_, new_}) {
        view->clearCharMarks();
        view->setChangedInside({});
        view->setInactive({});
        view->setFillers({});
        if (!view->differenceSpans().empty()) view->setDifferenceSpans({});
    }
}

void TSourceViews::SetSideBySide(bool sideBySide) {
    sideBySide_ = sideBySide;
    ApplyFillers();
    Follow(true);
}

void TSourceViews::SetSyncScroll(bool on) {
    sync_ = on;
    Follow(true);
}

void TSourceViews::SetLineNumbers(bool on) {
    old_->setLineNumbersVisible(on);
    new_->setLineNumbersVisible(on);
}

int TSourceViews::Counterpart(bool fromOld, int line) const {
    if (!aligned_) return line;
    return viewrules::CounterpartLine(alignment_, fromOld, line);
}

bool TSourceViews::StandLevel(int oldFirst, int oldLast, int newFirst) const {
    return !aligned_ || viewrules::StandLevel(alignment_, oldFirst, oldLast, newFirst);
}

void TSourceViews::ShowApart(int oldLine, int newLine, int contextLines) {
    following_ = true;
    old_->scrollToLine(std::max(0, oldLine - contextLines), 0);
    new_->scrollToLine(std::max(0, newLine - contextLines), 0);
    // Their own reports of these rows must not pull the other view back.
    oldRowGiven_ = old_->firstVisibleLine();
    newRowGiven_ = new_->firstVisibleLine();
    following_ = false;
}

void TSourceViews::ApplyFillers() {
    const bool show = aligned_ && sideBySide_;
    old_->setFillers(show ? alignment_.OldFillers : std::vector<viewrules::FillerBlock>{});
    new_->setFillers(show ? alignment_.NewFillers : std::vector<viewrules::FillerBlock>{});
}

// Near the top the shift for fillers above the first line is cut at row 0, so following back
// would not return to the same row: a view's report of the row it was just given is ignored.
void TSourceViews::Follow(bool fromOld) {
    if (!Following() || following_) return;
    SourceEditor* from = fromOld ? old_ : new_;
    SourceEditor* to = fromOld ? new_ : old_;
    const int row = from->firstVisibleLine();
    int& given = fromOld ? oldRowGiven_ : newRowGiven_;
    const bool echo = row == given;
    given = -1;
    if (echo) return;
    following_ = true;
    const int target = viewrules::SyncedFirstRow(alignment_, fromOld, row);
    to->setFirstVisibleLine(target);
    (fromOld ? newRowGiven_ : oldRowGiven_) = target;
    to->horizontalScrollBar()->setValue(from->horizontalScrollBar()->value());
    following_ = false;
}

} // namespace quennet::gui
