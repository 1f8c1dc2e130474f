// A form pair in the main window: compared as forms, its tree of objects and properties, the
// report and the status line. What the rows are and which lines they take is decided in core
// (viewrules/form_view.h); here they only become tree items.
#include "main_form.h"

#include "diff_rpt_form.h"
#include "progress_dialog.h"
#include "source_editor.h"
#include "source_views.h"
#include "user_dialogs.h"

#include "forms/form_report.h"
#include "viewrules/form_view.h"

#include <QLabel>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace quennet::gui {

namespace {

constexpr int kFormNodeRole = Qt::UserRole + 1;

void AddFormNodes(QTreeWidgetItem* parent, const std::vector<viewrules::FormViewNode>& nodes,
                  const TImageList& images, QList<QTreeWidgetItem*>& topLevel) {
    for (const viewrules::FormViewNode& n : nodes) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem;
        item->setText(0, QString::fromStdString(n.Caption));
        item->setData(0, kFormNodeRole, QVariant::fromValue(reinterpret_cast<quintptr>(&n)));
        const int image = n.Group                                  ? ImgGroup
                          : n.Change == forms::FormChange::Added   ? ImgAdded
                          : n.Change == forms::FormChange::Removed ? ImgRemoved
                                                                   : ImgChanged;
        item->setIcon(0, QIcon(images[static_cast<size_t>(image)]));
        if (!parent) topLevel.append(item);
        AddFormNodes(item, n.Children, images, topLevel);
    }
}

} // namespace

const viewrules::FormViewNode* FormNodeOf(const QTreeWidgetItem* node) {
    if (!node) return nullptr;
    return reinterpret_cast<const viewrules::FormViewNode*>(
        node->data(0, kFormNodeRole).value<quintptr>());
}

bool TMainForm::CompareFormPair(int32_t oldLines, int32_t newLines) {
    viewrules::FormSideText sides[2];
    for (bool old : {true, false}) {
        viewrules::FormSideText& s = sides[old ? 0 : 1];
        s.Text = Editor(old).textCrLf();
        s.Utf8 = Editor(old).charset() == io::ViewCharset::Utf8;
        s.Name = doc_.FileName(old);
    }
    if (!viewrules::IsFormPair(sides[0].Name, sides[0].Text, sides[1].Name, sides[1].Text))
        return false;
    const forms::NoiseMode mode = forms::NoiseModeNamed(settings_.FormNoise.Mode.toStdString());
    auto view = std::make_unique<viewrules::FormView>(
        viewrules::CompareFormTexts(sides[0], sides[1], NoiseRulesOf(settings_.FormNoise), mode));
    RememberComparedPair();
    if (reportForm_) {
        const std::string text = forms::FormReportText(view->Comparison, mode, doc_.FileName(true),
                                                       doc_.FileName(false));
        QStringList lines = QString::fromStdString(text).split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        reportForm_->SetLines(lines);
    }
    const std::string message = viewrules::FormOutcomeMessage(*view);
    doc_.AdoptForms(std::move(view), oldLines, newLines);
    FillFormTree();
    ShowFormStatus();
    if (!message.empty()) {
        ui_.Progress->Close();
        dialogs_.Information(this, QString::fromStdString(message));
    }
    return true;
}

void TMainForm::FillFormTree() {
    const viewrules::FormView* view = doc_.Forms();
    ui_.DiffTree->setUpdatesEnabled(false);
    ui_.DiffTree->clear();
    QList<QTreeWidgetItem*> topLevel;
    AddFormNodes(nullptr, view->Tree, stateImages_, topLevel);
    ui_.DiffTree->addTopLevelItems(topLevel);
    // Objects open on their changes; the noise group stays closed until asked for.
    for (QTreeWidgetItem* item : topLevel)
        item->setExpanded(!FormNodeOf(item)->Group);
    DimFormRows();
    ui_.DiffTree->setUpdatesEnabled(true);
    WidenTreeForCaptions();
    views_->ShowDifferences(view->Spans);
    views_->ShowInactive(view->NoiseOld, view->NoiseNew);
}

// Halfway between text and background, so the rows stay readable in light and dark palettes.
void TMainForm::DimFormRows() {
    const QPalette& p = ui_.DiffTree->palette();
    const QColor text = p.color(QPalette::Text), base = p.color(QPalette::Base);
    const QColor dimmed((text.red() + base.red()) / 2, (text.green() + base.green()) / 2,
                        (text.blue() + base.blue()) / 2);
    for (QTreeWidgetItemIterator it(ui_.DiffTree); *it; ++it)
        if (const viewrules::FormViewNode* row = FormNodeOf(*it); row && row->Dimmed)
            (*it)->setForeground(0, dimmed);
}

void TMainForm::ShowFormStatus() {
    const viewrules::FormView& view = *doc_.Forms();
    const forms::FormComparison& c = view.Comparison;
    const qsizetype n = static_cast<qsizetype>(c.Changes);
    QStringList messages;
    messages << (n == 0   ? tr("No structural differences.")
                 : n == 1 ? tr("1 difference.")
                          : tr("%1 differences.").arg(n));
    if (c.NoiseChanges > 0 && view.Mode != forms::NoiseMode::Ignore)
        messages << (view.Mode == forms::NoiseMode::Hide ? tr("Designer noise: %1 hidden.")
                                                         : tr("Designer noise: %1."))
                        .arg(static_cast<qsizetype>(c.NoiseChanges));
    for (const forms::FormNote& stop : c.Stops) {
        messages << QString::fromStdString(stop.Text());
        const bool old = stop.File == doc_.FileName(true);
        ui_.Pane(old).WarningPanel->setText(
            tr("Structure followed only up to line %1").arg(stop.Line));
    }
    ui_.StatusMessage->setText(messages.join(QLatin1Char(' ')));
}

} // namespace quennet::gui
