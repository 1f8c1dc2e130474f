// Reaction to the tree selection: line ranges of the selected declaration, the marked source
// views, the merged diff view and moving between its changed blocks. What each line looks like
// is decided in core (model/line_decoration.h); the views only carry the result.
#include "main_form.h"

#include "app_registry.h"
#include "source_editor.h"
#include "source_views.h"

#include "viewrules/difference_order.h"
#include "viewrules/palette.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <stdexcept>

namespace quennet::gui {

namespace {

// Lines shown above a selected declaration, so it is seen in its place.
constexpr int kContextLines = 3;
const QString kViewsKey = QStringLiteral("TMainForm");

// Line records of a range, keyed from the view's current text.
std::vector<base::TLineRecord> RecordsOf(const SourceEditor& view, render::LineRange range) {
    std::vector<base::TLineRecord> records;
    if (!range.IsSet() || range.Last < range.First) return records;
    records.reserve(static_cast<size_t>(range.Last - range.First) + 1);
    for (int32_t line = range.First; line <= range.Last; ++line)
        records.push_back({base::LineKey(view.lineBytes(line)), line, false});
    return records;
}

// The ranges come from the models of the last compare; the text may have changed since.
void CheckRangeFits(render::RangeFit fit, const SourceEditor& view, render::LineRange range,
                    const char* side, const QString& fileName) {
    if (fit == render::RangeFit::Fits) return;
    const QString name =
        fileName.isEmpty() ? QString() : " (" + QFileInfo(fileName).fileName() + ")";
    const char* text =
        fit == render::RangeFit::TextChanged
            ? QT_TRANSLATE_NOOP("TMainForm",
                                "The selected declaration lies beyond the end of the %1 text%2: it "
                                "takes lines %3 to %4, the view holds %5 lines. The text was "
                                "edited or reloaded after the compare; run Diff again.")
            : QT_TRANSLATE_NOOP("TMainForm",
                                "The selected declaration's lines %3 to %4 lie beyond the end of "
                                "the %1 text%2 of %5 lines, as it was compared: the comparison "
                                "placed it wrongly. Please report this with both files.");
    throw std::runtime_error(QCoreApplication::translate("TMainForm", text)
                                 .arg(QLatin1String(side), name)
                                 .arg(range.First + 1)
                                 .arg(range.Last + 1)
                                 .arg(view.lineCount())
                                 .toStdString());
}

void Decorate(SourceEditor& view, render::LineRange range,
              const std::vector<base::TLineRecord>& records, render::ViewSide side) {
    if (range.IsSet())
        view.setDecorations(
            range.First, render::SourceViewDecorations(
                             range, records, side, viewrules::SelectionColors(view.viewPalette())));
    else
        view.clearDecorations();
}

void Reveal(SourceEditor& view, int line) {
    view.scrollToLine(std::max(0, line - kContextLines), 0);
}

} // namespace

void TMainForm::CreateViewActions() {
    auto toggle = [this](const QString& text, const QString& key, bool on, auto&& apply) {
        auto* a = new QAction(text, this);
        a->setCheckable(true);
        a->setChecked(on);
        a->setData(key);
        connect(a, &QAction::toggled, this, [this, key, apply](bool checked) {
            apply(checked);
            if (TAppRegistry* reg = Registry(); reg && reg->OpenSettingsKey(kViewsKey, true)) {
                reg->WriteBool(key, checked);
                reg->CloseKey();
            }
        });
        return a;
    };
    ui_.SyncScroll = toggle(tr("Scroll views together"), QStringLiteral("SyncScroll"), true,
                            [this](bool on) { views_->SetSyncScroll(on); });
    ui_.LineNumbers = toggle(tr("Line numbers"), QStringLiteral("LineNumbers"), true,
                             [this](bool on) { views_->SetLineNumbers(on); });
}

void TMainForm::ReadViewSettings() {
    TAppRegistry* reg = Registry();
    if (!reg || !reg->OpenSettingsKey(kViewsKey, false)) return;
    const bool sync = reg->ReadBool(QStringLiteral("SyncScroll"), true);
    const bool numbers = reg->ReadBool(QStringLiteral("LineNumbers"), true);
    reg->CloseKey();
    // Setting the actions applies the values; they are written back unchanged.
    ui_.SyncScroll->setChecked(sync);
    ui_.LineNumbers->setChecked(numbers);
}

void TMainForm::onTreeSelectionChanged() {
    QTreeWidgetItem* node = ui_.DiffTree->currentItem();
    if (doc_.Busy() || !node) return;
    render::LineRange oldRange;
    render::LineRange newRange;
    if (const diff::TSourceDiffItem* item = DiffItemOf(node)) {
        oldRange = render::ViewLines(item->OldDecl);
        newRange = render::ViewLines(item->NewDecl);
    } else if (const viewrules::FormViewNode* row = FormNodeOf(node)) {
        oldRange = row->Old;
        newRange = row->New;
    }
    // Checked before anything changes, so a failed selection leaves ranges and views as they
    // were.
    for (bool old : {true, false}) {
        const render::LineRange range = old ? oldRange : newRange;
        CheckRangeFits(doc_.Fit(old, range, Editor(old).lineCount()), Editor(old), range,
                       old ? "old" : "new", FileName(old));
    }
    doc_.Select(oldRange, newRange, RecordsOf(Editor(true), oldRange),
                RecordsOf(Editor(false), newRange));
    BuildDiffView();
    ShowSelection();
}

bool TMainForm::StepDeclaration(bool forward) {
    QTreeWidgetItem* current = ui_.DiffTree->currentItem();
    if (const viewrules::FormView* forms = doc_.Forms()) {
        const viewrules::FormViewNode* target =
            viewrules::StepFormNode(forms->Tree, FormNodeOf(current), forward);
        return target &&
               SelectTreeItem([&](QTreeWidgetItem* item) { return FormNodeOf(item) == target; });
    }
    if (!doc_.Comparison()) return false;
    const diff::TSourceDiffItem* target =
        viewrules::StepDifference(doc_.Comparison()->Root, DiffItemOf(current), forward);
    return target &&
           SelectTreeItem([&](QTreeWidgetItem* item) { return DiffItemOf(item) == target; });
}

bool TMainForm::SelectTreeItem(const std::function<bool(QTreeWidgetItem*)>& wanted) {
    for (QTreeWidgetItemIterator it(ui_.DiffTree); *it; ++it) {
        if (!wanted(*it)) continue;
        for (QTreeWidgetItem* up = (*it)->parent(); up; up = up->parent())
            up->setExpanded(true);
        ui_.DiffTree->setCurrentItem(*it);
        ui_.DiffTree->scrollToItem(*it);
        return true;
    }
    return false;
}

// Each declaration with a few lines above it. A one-sided declaration's other view shows where
// it would stand; side by side with scrolling in step the other view follows by itself.
void TMainForm::ShowSelection() {
    SourceEditor& oldView = *ui_.Old.Editor;
    SourceEditor& newView = *ui_.New.Editor;
    const render::LineRange oldRange = doc_.Range(true);
    const render::LineRange newRange = doc_.Range(false);
    if (oldRange.IsSet()) oldView.setCursorPosition(oldRange.First, 0);
    if (newRange.IsSet()) newView.setCursorPosition(newRange.First, 0);
    const bool follow = views_->Following();
    if (follow && oldRange.IsSet() && newRange.IsSet() &&
        !views_->StandLevel(oldRange.First, oldRange.Last, newRange.First))
        views_->ShowApart(oldRange.First, newRange.First, kContextLines);
    else if (newRange.IsSet())
        Reveal(newView, newRange.First);
    if (oldRange.IsSet() && !(follow && newRange.IsSet())) Reveal(oldView, oldRange.First);
    if (!follow && oldRange.IsSet() != newRange.IsSet()) {
        const bool fromOld = oldRange.IsSet();
        const int line = fromOld ? oldRange.First : newRange.First;
        Reveal(fromOld ? newView : oldView, views_->Counterpart(fromOld, line));
    }
    Decorate(oldView, oldRange, doc_.SelectedLines(true), render::ViewSide::Old);
    Decorate(newView, newRange, doc_.SelectedLines(false), render::ViewSide::New);
}

void TMainForm::BuildDiffView() {
    std::vector<std::string> lines;
    lines.reserve(doc_.DiffMap().size());
    for (const diff::TMapEntry& e : doc_.DiffMap())
        lines.push_back(Editor(e.Kind == diff::OldOnly).lineBytes(e.Line));
    ui_.DiffEditor->setLines(lines);
    ui_.DiffEditor->setDecorations(
        0, render::DiffViewDecorations(doc_.DiffMap(),
                                       viewrules::SelectionColors(ui_.DiffEditor->viewPalette())));
    ui_.DiffEditor->scrollToLine(0, 0);
    NextDifference();
}

void TMainForm::NextDifference() {
    if (auto line = render::NextDifference(ui_.DiffEditor->firstVisibleLine(), doc_.DiffMap(),
                                           ui_.DiffEditor->lineCount()))
        ui_.DiffEditor->scrollToLine(*line, 0);
}

void TMainForm::PriorDifference() {
    if (auto line = render::PriorDifference(ui_.DiffEditor->firstVisibleLine(), doc_.DiffMap()))
        ui_.DiffEditor->scrollToLine(*line, 0);
}

} // namespace quennet::gui
