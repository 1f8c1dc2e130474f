// The merge editor window: layout, commands and the link between the control and the
// merge engine's decisions.
#include "merge_edit_form.h"

#include "find_dialog.h"
#include "merge_setup_dlg.h"
#include "rich_edit.h"
#include "user_dialogs.h"
#include "view_colors.h"

#include "workspace/merge_editing.h"
#include "workspace/merged_output.h"
#include "workspace/rtf_reader.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

namespace quennet::gui {

namespace {

const QString kWorkspaceFilter =
    QStringLiteral("Rich Text (*.rtf)|*.rtf|Delphi source (*.pas)|*.pas|All files (*.*)|*.*");
const QString kOpenWorkspaceFilter = QStringLiteral("Rich Text (*.rtf)|*.rtf|All files (*.*)|*.*");
const QString kMergedTextFilter = QStringLiteral("Delphi source (*.pas)|*.pas|All files (*.*)|*.*");

// A tool-bar picture: a few text lines in the given colours, with an optional arrow.
QIcon LinesIcon(const QList<QColor>& colors, int arrow = 0) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    for (int i = 0; i < colors.size() && i < 4; ++i)
        p.fillRect(2, 2 + i * 4, arrow ? 8 : 12, 2, colors[i]);
    if (arrow) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(Qt::darkGreen);
        p.setPen(Qt::NoPen);
        QPolygon tri = arrow < 0 ? QPolygon({QPoint(10, 10), QPoint(16, 10), QPoint(13, 4)})
                                 : QPolygon({QPoint(10, 6), QPoint(16, 6), QPoint(13, 12)});
        p.drawPolygon(tri);
    }
    return QIcon(pm);
}

// A disk with a letter: the three writers of merged sources.
QIcon SaveIcon(const QIcon& disk, const QString& letter, const QColor& color) {
    QPixmap pm = disk.pixmap(16, 16);
    QPainter p(&pm);
    QFont f = p.font();
    f.setPixelSize(10);
    f.setBold(true);
    p.setFont(f);
    p.setPen(color);
    p.drawText(QRect(6, 6, 10, 10), Qt::AlignCenter, letter);
    return QIcon(pm);
}

} // namespace

void TMergeEditPrompts::NotFound(QWidget* owner, const QString& text) {
    QMessageBox::information(owner, QCoreApplication::translate("TMergeEditForm", "Message"), text);
}

bool TMergeEditPrompts::DiscardChanges(QWidget* parent) {
    return QMessageBox::question(
               parent, QCoreApplication::translate("TMergeEditForm", "Edit merged text"),
               QCoreApplication::translate(
                   "TMergeEditForm", "The merged text was changed since it was loaded or saved.\n"
                                     "Discard the changes?"),
               QMessageBox::Discard | QMessageBox::Cancel,
               QMessageBox::Cancel) == QMessageBox::Discard;
}

bool TMergeEditPrompts::RunMergeSetup(TMergeSetupDlgForm& dialog) {
    return ExecMergeSetupDialog(dialog);
}

namespace {
TMergeEditPrompts& StandardPrompts() {
    static TMergeEditPrompts prompts;
    return prompts;
}
} // namespace

template <class F> void TMergeEditForm::Command(F&& f) {
    RunCommand(dialogs_, this, f);
}

TMergeEditForm::TMergeEditForm(TAppRegistry* registry, TUserDialogs& dialogs, QWidget* parent,
                               TMergeEditPrompts* prompts)
    : TAdvForm(registry, parent), dialogs_(dialogs),
      prompts_(prompts ? prompts : &StandardPrompts()) {
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(tr("Edit merged text"));
    WorkspaceEdit = new TRichEdit;
    WorkspaceEdit->setAccessibleName(tr("Merge workspace"));
    WorkspaceEdit->SetSignGutterVisible(true);
    setCentralWidget(WorkspaceEdit);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    StatusPanel = new QLabel;
    statusBar()->addWidget(StatusPanel, 1);
    connect(WorkspaceEdit, &TRichEdit::SelectionChange, this, [this] { ShowLineColStatus(); });
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { ShowLineColStatus(); });
    resize(820, 600);
    ShowLineColStatus();
}

TMergeEditForm::~TMergeEditForm() = default;

void TMergeEditForm::SetPrompts(TMergeEditPrompts* prompts) {
    prompts_ = prompts ? prompts : &StandardPrompts();
}

void TMergeEditForm::CreateActions() {
    auto make = [this](const QString& text, const QString& hint, const QIcon& icon, auto&& slot) {
        auto* a = new QAction(icon, text, this);
        a->setToolTip(hint);
        connect(a, &QAction::triggered, this, [this, slot] { Command(slot); });
        return a;
    };
    const QIcon disk = style()->standardIcon(QStyle::SP_DialogSaveButton);
    const viewrules::ViewPalette& shown = WorkspaceEdit->ShownPalette();
    const QColor black = ToQColor(shown.MergeUnchanged);
    const QColor red = ToQColor(shown.MergeRemoved);
    const QColor blue = ToQColor(shown.MergeInserted);
    ActPrior = make(tr("Prior difference"), tr("Prior difference"),
                    LinesIcon({black, red, blue}, -1), [this] { PriorDifference(); });
    ActNext = make(tr("Next difference"), tr("Next difference"), LinesIcon({black, red, blue}, 1),
                   [this] { NextDifference(); });
    auto mark = [&](const QString& hint, const QColor& color, int tag) {
        QAction* a =
            make(hint, hint, LinesIcon({color, color, color}), [this, tag] { MarkLines(tag); });
        a->setData(tag);
        return a;
    };
    ActMarkUnchanged = mark(tr("Mark as unchanged"), black, 0);
    ActMarkRemoved = mark(tr("Mark as removed"), red, 2);
    ActMarkInserted = mark(tr("Mark as inserted"), blue, 1);
    ActSaveNew = make(tr("Save new version (without &Red)"), tr("Save new version (without Red)"),
                      SaveIcon(disk, QStringLiteral("N"), blue), [this] { SaveNewVersion(); });
    ActSaveOld = make(tr("Save old version (without &Blue)"), tr("Save old version (without Blue)"),
                      SaveIcon(disk, QStringLiteral("O"), red), [this] { SaveOldVersion(); });
    ActSaveMerged =
        make(tr("Save &merged version ($IFDEF)"), tr("Save merged version ($IFDEF)"),
             SaveIcon(disk, QStringLiteral("M"), black), [this] { SaveMergedVersion(); });
    ActSaveWorkspace = make(tr("&Save merge workspace"), tr("Save merge workspace"), disk,
                            [this] { SaveWorkspace(); });
    ActSaveWorkspace->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    ActOpenWorkspace =
        make(tr("&Open merge workspace"), tr("Open merge workspace"),
             style()->standardIcon(QStyle::SP_DialogOpenButton), [this] { OpenWorkspace(); });
    ActOpenWorkspace->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));

    ActCut = make(tr("Cu&t"), QString(), QIcon(), [this] { WorkspaceEdit->cut(); });
    ActCut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    ActCopy = make(tr("&Copy"), QString(), QIcon(), [this] { WorkspaceEdit->copy(); });
    ActCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    ActPaste = make(tr("&Paste"), QString(), QIcon(), [this] { WorkspaceEdit->paste(); });
    ActPaste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    ActFind = make(tr("&Find"), QString(), QIcon(), [this] { ShowFindDialog(); });
    ActFind->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
}

void TMergeEditForm::CreateMenus() {
    FileMenu = menuBar()->addMenu(tr("&File"));
    FileMenu->addAction(ActOpenWorkspace);
    FileMenu->addAction(ActSaveWorkspace);
    FileMenu->addSeparator();
    FileMenu->addAction(ActSaveNew);
    FileMenu->addAction(ActSaveOld);
    FileMenu->addAction(ActSaveMerged);
    EditMenu = menuBar()->addMenu(tr("&Edit"));
    EditMenu->addAction(ActCut);
    EditMenu->addAction(ActCopy);
    EditMenu->addAction(ActPaste);
    EditMenu->addSeparator();
    EditMenu->addAction(ActFind);
    connect(EditMenu, &QMenu::aboutToShow, this, [this] { ShowLineColStatus(); });
}

void TMergeEditForm::CreateToolBar() {
    QToolBar* bar = addToolBar(tr("Merge"));
    bar->setObjectName(QStringLiteral("Merge"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    for (QAction* a : {ActPrior, ActNext, ActMarkUnchanged, ActMarkRemoved, ActMarkInserted,
                       ActSaveNew, ActSaveOld, ActSaveMerged, ActSaveWorkspace, ActOpenWorkspace})
        bar->addAction(a);
}

QString TMergeEditForm::DefaultFolder() const {
    return defaultFolder_ ? defaultFolder_() : QString();
}

void TMergeEditForm::LoadDocument(workspace::TWorkspaceDocument document) {
    WorkspaceEdit->LoadDocument(std::move(document));
    ShowLineColStatus();
}

void TMergeEditForm::SetSourceFormats(io::SourceTextFormat oldFormat,
                                      io::SourceTextFormat newFormat) {
    oldFormat_ = io::OutputFormatOf(oldFormat);
    newFormat_ = io::OutputFormatOf(newFormat);
    if (newFormat_.Encoding != io::TextEncoding::Bytes) WorkspaceEdit->SetUtf8(true);
}

void TMergeEditForm::LoadRtf(std::string_view rtf) {
    LoadDocument(workspace::ReadWorkspace(rtf));
}

namespace {

// The last line of the difference the caret's line starts: the run of lines not black, as
// "Next difference" counts them.
size_t BlockLastLine(const workspace::TWorkspaceDocument& doc, size_t line) {
    const size_t count = doc.TextLineCount();
    while (line + 1 < count && doc.LineColor(line + 1) != workspace::kBlack)
        ++line;
    return line;
}

} // namespace

void TMergeEditForm::ShowBlock(size_t caret) {
    WorkspaceEdit->SetSelection(caret, 0);
    const workspace::TWorkspaceDocument& doc = WorkspaceEdit->Document();
    const size_t line = doc.LineFromChar(caret);
    WorkspaceEdit->RevealLines(line, BlockLastLine(doc, line));
}

void TMergeEditForm::NextDifference() {
    TRedrawLock lock(WorkspaceEdit);
    const workspace::TWorkspaceDocument& doc = WorkspaceEdit->Document();
    ShowBlock(workspace::NextDifference(doc, doc.Selection().Start));
}

void TMergeEditForm::PriorDifference() {
    TRedrawLock lock(WorkspaceEdit);
    const workspace::TWorkspaceDocument& doc = WorkspaceEdit->Document();
    ShowBlock(workspace::PriorDifference(doc, doc.Selection().Start));
}

void TMergeEditForm::MarkLines(int tag) {
    TRedrawLock lock(WorkspaceEdit);
    const workspace::TWorkspaceDocument& doc = WorkspaceEdit->Document();
    const workspace::TSelection sel = doc.Selection();
    const workspace::TSelection range = workspace::MarkRange(doc, sel);
    WorkspaceEdit->SetColor(range.Start, range.Length, workspace::MarkColorOfTag(tag));
    WorkspaceEdit->SetSelection(sel.Start, 0);
}

void TMergeEditForm::SaveWorkspace() {
    SaveDialogOptions options;
    options.Title = tr("Save merge workspace as...");
    options.InitialDir = DefaultFolder();
    options.FileName = workspaceFileName_;
    options.Filter = kWorkspaceFilter;
    options.DefaultSuffix = QStringLiteral("pas");
    const QString chosen = dialogs_.SaveFileName(this, options);
    if (chosen.isEmpty()) return;
    const workspace::TWorkspaceSaveTarget target =
        workspace::WorkspaceSaveTarget(chosen.toStdString());
    const QString path = QString::fromStdString(target.Path);
    if (target.AsRtf)
        WorkspaceEdit->SaveRtf(path);
    else
        WorkspaceEdit->SavePlainText(path);
    WorkspaceEdit->SetModified(false);
    workspaceFileName_ = QFileInfo(path).completeBaseName();
}

void TMergeEditForm::OpenWorkspace() {
    if (WorkspaceEdit->Modified() && !prompts_->DiscardChanges(this)) return;
    const QString path = dialogs_.OpenFileName(this, tr("Open merge workspace"), DefaultFolder(),
                                               kOpenWorkspaceFilter);
    if (path.isEmpty()) return;
    WorkspaceEdit->LoadFromFile(path);
    ShowLineColStatus();
}

QString TMergeEditForm::AskMergedTextName() {
    SaveDialogOptions options;
    options.Title = tr("Save merged text as...");
    options.InitialDir = DefaultFolder();
    options.Filter = kMergedTextFilter;
    options.DefaultSuffix = QStringLiteral("pas");
    return dialogs_.SaveFileName(this, options);
}

void TMergeEditForm::SaveVersion(bool newVersion) {
    const QString path = AskMergedTextName();
    if (path.isEmpty()) return;
    const std::string_view promptText =
        newVersion ? workspace::kOldLinesPrompt : workspace::kNewLinesPrompt;
    const QString prompt =
        QString::fromLatin1(promptText.data(), static_cast<qsizetype>(promptText.size()));
    auto prefix = MergeSetup(Registry(), prompt, this,
                             [this](TMergeSetupDlgForm& d) { return prompts_->RunMergeSetup(d); });
    if (!prefix) return;
    // The stored comment is kept as Windows-1252 bytes.
    if (WorkspaceEdit->Document().IsUtf8())
        *prefix = WorkspaceEdit->TextBytes(BytesToText(*prefix));
    TRedrawLock lock(WorkspaceEdit);
    if (newVersion)
        workspace::SaveNewVersion(WorkspaceEdit->Document(), path.toStdString(), *prefix,
                                  newFormat_);
    else
        workspace::SaveOldVersion(WorkspaceEdit->Document(), path.toStdString(), *prefix,
                                  oldFormat_);
}

void TMergeEditForm::SaveNewVersion() {
    SaveVersion(true);
}

void TMergeEditForm::SaveOldVersion() {
    SaveVersion(false);
}

void TMergeEditForm::SaveMergedVersion() {
    const QString path = AskMergedTextName();
    if (path.isEmpty()) return;
    TRedrawLock lock(WorkspaceEdit);
    workspace::SaveMergedVersion(WorkspaceEdit->Document(), path.toStdString(), newFormat_);
}

void TMergeEditForm::ShowFindDialog() {
    if (!FindDialog) {
        FindDialog = new TFindDialog(this);
        connect(FindDialog, &TFindDialog::FindNext, this,
                [this] { Command([this] { FindNext(); }); });
    }
    const QString selected = WorkspaceEdit->textCursor().selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
        FindDialog->FindText->setText(selected);
    FindDialog->show();
    FindDialog->raise();
    FindDialog->activateWindow();
    FindDialog->FindText->setFocus();
}

bool TMergeEditForm::FindNext() {
    if (!FindDialog) return false;
    const QString what = FindDialog->FindText->text();
    if (what.isEmpty()) return false;
    const std::string bytes = WorkspaceEdit->TextBytes(what);
    workspace::TFindOptions options;
    options.MatchCase = FindDialog->MatchCase->isChecked();
    options.WholeWord = FindDialog->WholeWord->isChecked();
    const auto found = workspace::FindNext(WorkspaceEdit->Document(), bytes, options, true);
    if (!found) {
        prompts_->NotFound(FindDialog, WorkspaceEdit->ShownText(workspace::NotFoundMessage(bytes)));
        return false;
    }
    WorkspaceEdit->SetSelection(*found, bytes.size());
    ShowLineColStatus();
    return true;
}

void TMergeEditForm::ShowLineColStatus() {
    const workspace::TSelection sel = WorkspaceEdit->Selection();
    StatusPanel->setText(
        QString::fromStdString(workspace::LineColStatus(WorkspaceEdit->Document(), sel.Start)));
    ActCut->setEnabled(sel.Length > 0);
    ActCopy->setEnabled(sel.Length > 0);
    ActPaste->setEnabled(WorkspaceEdit->ClipboardHasText());
}

void TMergeEditForm::closeEvent(QCloseEvent* event) {
    if (WorkspaceEdit->Modified() && !prompts_->DiscardChanges(this)) {
        event->ignore();
        return;
    }
    if (FindDialog) FindDialog->hide();
    event->accept();
}

} // namespace quennet::gui
