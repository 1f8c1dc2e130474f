// Reaction to the tree selection: line ranges of the selected declaration, the merged diff view
// and moving between its changed blocks.
#include "main_form.h"

#include "source_editor.h"

#include <QTabWidget>
#include <QTreeWidget>

namespace quennet::gui {

namespace {
model::LineRange RangeOf(const model::TidName* decl) {
    if (!decl) return {};
    return {decl->FirstLine - 1, decl->LastLine - 1};
}

std::vector<model::TLineRecord> RecordsOf(const SourceEditor& view, model::LineRange range) {
    std::vector<model::TLineRecord> records;
    if (!range.IsSet()) return records;
    for (int32_t line = range.First; line <= range.Last; ++line)
        records.push_back({model::LineKey(view.lineBytes(line)), line, false});
    return records;
}
} // namespace

void TMainForm::DiffTreeViewChange() {
    QTreeWidgetItem* node = DiffTreeView->currentItem();
    if (Busy || !node) return;
    OldRange = {};
    NewRange = {};
    if (const model::TSourceDiffItem* item = DiffItemOf(node)) {
        OldRange = RangeOf(item->OldDecl);
        NewRange = RangeOf(item->NewDecl);
    }
    BuildDiffView();
    ShowSelection();
}

void TMainForm::ShowSelection() {
    const std::pair<SourceEditor*, model::LineRange> views[] = {{RAHLEditor1, OldRange},
                                                                {RAHLEditor2, NewRange}};
    for (auto [view, range] : views) {
        if (range.IsSet()) {
            view->scrollToLine(range.First, 0);
            view->setCursorPosition(range.First, 0);
        }
        view->update();
    }
    const auto oldDecorations =
        model::SourceViewDecorations(OldRange, OldLines, model::ViewSide::Old);
    const auto newDecorations =
        model::SourceViewDecorations(NewRange, NewLines, model::ViewSide::New);
    if (OldRange.IsSet())
        RAHLEditor1->setDecorations(OldRange.First, oldDecorations);
    else
        RAHLEditor1->clearDecorations();
    if (NewRange.IsSet())
        RAHLEditor2->setDecorations(NewRange.First, newDecorations);
    else
        RAHLEditor2->clearDecorations();
}

void TMainForm::BuildDiffView() {
    // Records are read before anything changes, so a range beyond the text leaves all as it was.
    std::vector<model::TLineRecord> oldLines = RecordsOf(*RAHLEditor1, OldRange);
    std::vector<model::TLineRecord> newLines = RecordsOf(*RAHLEditor2, NewRange);
    OldLines = std::move(oldLines);
    NewLines = std::move(newLines);
    DiffMap.clear();
    if (OldLines.empty() && NewLines.empty()) {
        DiffEditor->setLines({});
        DiffEditor->clearDecorations();
        DiffEditor->scrollToLine(0, 0);
        NextDifference();
        return;
    }
    model::MatchLines(OldLines, NewLines, DiffMap);
    std::vector<std::string> lines;
    lines.reserve(DiffMap.size());
    for (const model::TMapEntry& e : DiffMap)
        lines.push_back(e.Kind == model::OldOnly ? RAHLEditor1->lineBytes(e.Line)
                                                 : RAHLEditor2->lineBytes(e.Line));
    DiffEditor->setLines(lines);
    DiffEditor->setDecorations(0, model::DiffViewDecorations(DiffMap));
    DiffEditor->scrollToLine(0, 0);
    NextDifference();
}

void TMainForm::NextDifference() {
    if (DiffMap.empty()) return;
    if (auto line =
            model::NextDifference(DiffEditor->firstVisibleLine(), DiffMap, DiffEditor->lineCount()))
        DiffEditor->scrollToLine(*line, 0);
}

void TMainForm::PriorDifference() {
    if (DiffMap.empty()) return;
    if (auto line = model::PriorDifference(DiffEditor->firstVisibleLine(), DiffMap))
        DiffEditor->scrollToLine(*line, 0);
}

} // namespace quennet::gui
