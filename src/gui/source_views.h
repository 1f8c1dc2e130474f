// The old and new source views as a pair: every difference tinted after a compare, changed
// characters marked, and side by side, filler rows and scrolling in step.
#pragma once

#include <QObject>

#include "diff/source_diff.h"
#include "viewrules/difference_marks.h"
#include "viewrules/inactive_code.h"
#include "viewrules/split_alignment.h"

namespace quennet::gui {

class SourceEditor;

class TSourceViews : public QObject {
    Q_OBJECT
public:
    TSourceViews(SourceEditor* oldView, SourceEditor* newView, QObject* parent = nullptr);

    // Marks the comparison's differences and aligns the two current texts.
    void ShowDifferences(const diff::TSourceDiff* comparison);
    // The same for spans decided elsewhere (a form pair's).
    void ShowDifferences(viewrules::DifferenceSpans spans);
    void Clear();
    // Shades what conditional compilation left out of each text; null: nothing.
    void ShowInactive(const model::TPasSrc* oldSource, const model::TPasSrc* newSource);
    // Lines shaded as set aside, with their tooltips (a form's designer noise).
    void ShowInactive(std::vector<viewrules::InactiveSpan> oldSpans,
                      std::vector<viewrules::InactiveSpan> newSpans);

    void SetSideBySide(bool sideBySide);
    void SetSyncScroll(bool on);
    bool SyncScroll() const { return sync_; }
    void SetLineNumbers(bool on);

    // Whether scrolling one view scrolls the other now.
    bool Following() const { return sync_ && sideBySide_; }
    const viewrules::SplitAlignment& Alignment() const { return alignment_; }
    // Where a line of one text would stand in the other (line itself before any compare).
    int Counterpart(bool fromOld, int line) const;
    // Whether the old declaration [oldFirst, oldLast] and the new one starting at newFirst
    // stand level while the views scroll in step (always when they do not align).
    bool StandLevel(int oldFirst, int oldLast, int newFirst) const;
    // Scrolls each view to its own line (a moved declaration's two places); the views follow
    // each other again from the next scroll.
    void ShowApart(int oldLine, int newLine, int contextLines);

private:
    void ApplyFillers();
    void Follow(bool fromOld);

    SourceEditor* old_;
    SourceEditor* new_;
    viewrules::SplitAlignment alignment_;
    bool aligned_ = false;
    bool sideBySide_ = false;
    bool sync_ = true;
    bool following_ = false;
    int oldRowGiven_ = -1; // the row Follow last put a view on
    int newRowGiven_ = -1;
};

} // namespace quennet::gui
