#include "merge3_window.h"

#include "source_editor.h"
#include "user_dialogs.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

#include "io/atomic_file.h"
#include "io/source_file.h"
#include "merge3/merge3_files.h"

namespace quennet::gui {

namespace {

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// A caption above a view.
QWidget* Captioned(const QString& caption, QWidget* view) {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(new QLabel(caption));
    layout->addWidget(view, 1);
    return box;
}

SourceEditor* ReadOnlyView() {
    auto* view = new SourceEditor(28);
    view->setReadOnly(true);
    return view;
}

} // namespace

bool TMerge3Prompts::SaveUnresolved(QWidget* parent, int unresolved) {
    return QMessageBox::question(
               parent, TMerge3Window::tr("Save merge"),
               unresolved == 1
                   ? TMerge3Window::tr("1 conflict is not resolved; its markers stay in the "
                                       "file.\nSave anyway?")
                   : TMerge3Window::tr("%1 conflicts are not resolved; their markers stay in "
                                       "the file.\nSave anyway?")
                         .arg(unresolved),
               QMessageBox::Save | QMessageBox::Cancel, QMessageBox::Cancel) == QMessageBox::Save;
}

bool TMerge3Prompts::DiscardChanges(QWidget* parent) {
    return QMessageBox::question(parent, TMerge3Window::tr("Three-way merge"),
                                 TMerge3Window::tr("The result was changed since it was saved.\n"
                                                   "Discard the changes?"),
                                 QMessageBox::Discard | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Discard;
}

TMerge3Window::TMerge3Window(TUserDialogs& dialogs, TMerge3Prompts* prompts, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs), prompts_(prompts ? prompts : &standardPrompts_) {
    setWindowTitle(tr("Three-way merge"));
    BaseView = ReadOnlyView();
    LocalView = ReadOnlyView();
    RemoteView = ReadOnlyView();
    ResultView = new SourceEditor(28);

    auto* versions = new QSplitter(Qt::Horizontal);
    versions->addWidget(Captioned(tr("Local"), LocalView));
    versions->addWidget(Captioned(tr("Base"), BaseView));
    versions->addWidget(Captioned(tr("Remote"), RemoteView));

    ConflictList = new QListWidget;
    UseLocal = new QPushButton(tr("&Local"));
    UseRemote = new QPushButton(tr("&Remote"));
    UseLocalThenRemote = new QPushButton(tr("Both, l&ocal first"));
    UseRemoteThenLocal = new QPushButton(tr("Both, r&emote first"));
    UseBase = new QPushButton(tr("&Base"));
    EditHand = new QPushButton(tr("Edit by &hand"));
    SaveButton = new QPushButton(tr("&Save"));
    auto* side = new QWidget;
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(new QLabel(tr("Conflicts")));
    sideLayout->addWidget(ConflictList, 1);
    for (QPushButton* b : {UseLocal, UseRemote, UseLocalThenRemote, UseRemoteThenLocal, UseBase,
                           EditHand, SaveButton})
        sideLayout->addWidget(b);

    auto* lower = new QSplitter(Qt::Horizontal);
    lower->addWidget(side);
    lower->addWidget(Captioned(tr("Result"), ResultView));
    lower->setStretchFactor(1, 1);

    auto* whole = new QSplitter(Qt::Vertical);
    whole->addWidget(versions);
    whole->addWidget(lower);
    whole->setStretchFactor(1, 1);
    setCentralWidget(whole);
    StatusLabel = new QLabel;
    statusBar()->addWidget(StatusLabel, 1);
    resize(1100, 760);

    const std::pair<QPushButton*, merge3::Merge3Choice> choices[] = {
        {UseLocal, merge3::Merge3Choice::Local},
        {UseRemote, merge3::Merge3Choice::Remote},
        {UseLocalThenRemote, merge3::Merge3Choice::LocalThenRemote},
        {UseRemoteThenLocal, merge3::Merge3Choice::RemoteThenLocal},
        {UseBase, merge3::Merge3Choice::Base},
    };
    for (const auto& [button, choice] : choices)
        connect(button, &QPushButton::clicked, this, [this, c = choice] { Choose(c); });
    connect(EditHand, &QPushButton::clicked, this, &TMerge3Window::EditByHand);
    connect(SaveButton, &QPushButton::clicked, this, &TMerge3Window::Save);
    connect(ConflictList, &QListWidget::currentRowChanged, this, [this](int row) {
        UpdateButtons();
        if (row >= 0 && row < static_cast<int>(session_.Conflicts().size())) ShowConflict(row);
    });
    connect(ResultView, &QsciScintilla::textChanged, this, &TMerge3Window::ResultEdited);
    UpdateButtons();
}

TMerge3Window::~TMerge3Window() = default;

void TMerge3Window::Open(const QString& base, const QString& local, const QString& remote,
                         const QString& output) {
    const QString paths[] = {base, local, remote};
    const char* labels[] = {"BASE", "LOCAL", "REMOTE"};
    merge3::Merge3Version v[3];
    for (int k = 0; k < 3; ++k)
        v[k] = merge3::ReadMerge3Version(LocalPath(paths[k]), labels[k]);
    encoding_ = merge3::AlignMerge3Versions(v);
    merge3::RefuseOutputOverInputs(LocalPath(output), v[0].input.fileName, v[2].input.fileName);
    merge3::ThreeWayResult result = merge3::MergeThreeWay(v[0].input, v[1].input, v[2].input);
    SourceEditor* views[] = {BaseView, LocalView, RemoteView};
    for (int k = 0; k < 3; ++k) {
        versionLines_[k] = io::SplitLines(merge3::WithoutUtf8Mark(v[k].input.bytes));
        views[k]->setLines(versionLines_[k], v[k].encoding);
    }
    localEncoding_ = v[1].encoding;
    output_ = output;
    notes_.clear();
    result.notes.push_back(merge3::EncodeMerge3Result(result.text, encoding_).note);
    for (const auto& note : result.notes)
        if (!note.empty()) notes_ += QString::fromStdString(note) + QLatin1Char('\n');
    if (!notes_.isEmpty()) ResultView->setToolTip(notes_.trimmed());
    setWindowTitle(tr("Three-way merge - %1").arg(QFileInfo(output).fileName()));
    format_ = io::DetectTextFormat(result.text);
    session_.SetText(std::move(result.text));
    saved_ = savedClean_ = changed_ = false;
    ShowResult(0);
}

// The result and each version scrolled to the conflict's place, a few lines above it.
void TMerge3Window::ShowConflict(int row) {
    const merge3::Merge3Conflict& c = session_.Conflicts()[row];
    ResultView->scrollToLine(std::max(0, c.firstLine - 3));
    const std::string* parts[] = {&c.base, &c.local, &c.remote};
    SourceEditor* views[] = {BaseView, LocalView, RemoteView};
    for (int k = 0; k < 3; ++k)
        if (int32_t at = merge3::FindPart(versionLines_[k], *parts[k], c.firstLine); at >= 0)
            views[k]->scrollToLine(std::max(0, at - 3));
}

void TMerge3Window::ShowResult(int caretLine) {
    showing_ = true;
    ResultView->setLines(io::SplitLines(session_.Text()), localEncoding_);
    showing_ = false;
    ResultView->setCursorPosition(caretLine, 0);
    FillConflictList();
    if (ConflictList->currentRow() >= 0) ShowConflict(ConflictList->currentRow());
}

void TMerge3Window::ResultEdited() {
    if (showing_) return;
    session_.SetText(io::AssembleSourceText(ResultView->lines(), format_));
    changed_ = true;
    FillConflictList();
}

void TMerge3Window::FillConflictList() {
    const int row = std::max(0, ConflictList->currentRow());
    ConflictList->blockSignals(true);
    ConflictList->clear();
    for (const auto& c : session_.Conflicts())
        ConflictList->addItem(tr("Lines %1-%2").arg(c.firstLine + 1).arg(c.lastLine + 1));
    const int count = ConflictList->count();
    if (count > 0) ConflictList->setCurrentRow(std::min(row, count - 1));
    ConflictList->blockSignals(false);
    const int unresolved = session_.Unresolved();
    StatusLabel->setText(unresolved == 0   ? tr("No conflicts left")
                         : unresolved == 1 ? tr("1 conflict unresolved")
                                           : tr("%1 conflicts unresolved").arg(unresolved));
    UpdateButtons();
}

void TMerge3Window::UpdateButtons() {
    const int row = ConflictList->currentRow();
    const bool any = row >= 0 && row < static_cast<int>(session_.Conflicts().size());
    for (QPushButton* b : {UseLocal, UseRemote, UseLocalThenRemote, UseRemoteThenLocal, EditHand})
        b->setEnabled(any);
    UseBase->setEnabled(any && session_.Conflicts()[row].hasBase);
    SaveButton->setEnabled(!output_.isEmpty());
}

void TMerge3Window::Choose(merge3::Merge3Choice choice) {
    const int row = ConflictList->currentRow();
    if (row < 0 || row >= static_cast<int>(session_.Conflicts().size())) return;
    RunCommand(dialogs_, this, [&] {
        ShowResult(session_.Resolve(row, choice));
        changed_ = true;
    });
}

void TMerge3Window::EditByHand() {
    const int row = ConflictList->currentRow();
    if (row < 0 || row >= static_cast<int>(session_.Conflicts().size())) return;
    ResultView->setCursorPosition(session_.Conflicts()[row].firstLine, 0);
    ResultView->setFocus();
}

bool TMerge3Window::Save() {
    const int unresolved = session_.Unresolved();
    if (unresolved > 0 && !prompts_->SaveUnresolved(this, unresolved)) return false;
    bool written = false;
    RunCommand(dialogs_, this, [&] {
        ResultView->requireEncodable(LocalPath(output_));
        io::WriteFileAtomically(LocalPath(output_),
                                merge3::EncodeMerge3Result(session_.Text(), encoding_).bytes);
        written = true;
    });
    if (!written) return false;
    saved_ = true;
    savedClean_ = unresolved == 0;
    changed_ = false;
    ResultView->setModified(false);
    StatusLabel->setText(tr("Saved %1").arg(output_));
    return true;
}

void TMerge3Window::closeEvent(QCloseEvent* event) {
    if (changed_ && !prompts_->DiscardChanges(this))
        event->ignore();
    else
        event->accept();
}

} // namespace quennet::gui
