#include "merge3_window.h"

#include "source_editor.h"
#include "user_dialogs.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "io/atomic_file.h"
#include "io/source_file.h"
#include "merge3/merge3_files.h"
#include "merge3/merge3_output.h"
#include "viewrules/form_merge_view.h"
#include "viewrules/form_view.h"
#include "viewrules/merge3_colors.h"

namespace quennet::gui {

namespace {

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// A caption above a view.
QWidget* Captioned(QLabel* caption, QWidget* view) {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    caption->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(caption);
    layout->addWidget(view, 1);
    return box;
}

SourceEditor* MergeView(bool readOnly) {
    auto* view = new SourceEditor(4);
    view->setReadOnly(readOnly);
    view->setLineNumbersVisible(true);
    return view;
}

const char* EncodingName(io::TextEncoding encoding, io::ViewCharset charset) {
    return merge3::OutputEncodings()[merge3::OutputEncodingOf(encoding, charset)].Name;
}

// The editor's own bindings of these keys go, so the window's commands get them (the editor
// would take Ctrl+Z for its own undo, which knows nothing of choices).
void ReleaseKeys(QsciScintilla* editor, const QList<QKeySequence>& keys) {
    for (QsciCommand* command : editor->standardCommands()->commands())
        for (const QKeySequence& k : keys) {
            const int key = k[0].toCombined();
            if (command->key() == key) command->setKey(0);
            if (command->alternateKey() == key) command->setAlternateKey(0);
        }
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
    BaseView = MergeView(true);
    LocalView = MergeView(true);
    RemoteView = MergeView(true);
    ResultView = MergeView(false);
    BaseCaption = new QLabel(tr("Base"));
    LocalCaption = new QLabel(tr("Local"));
    RemoteCaption = new QLabel(tr("Remote"));

    auto* versions = new QSplitter(Qt::Horizontal);
    versions->addWidget(Captioned(BaseCaption, BaseView));
    versions->addWidget(Captioned(LocalCaption, LocalView));
    versions->addWidget(Captioned(RemoteCaption, RemoteView));

    ConflictList = new QListWidget;
    CountsLabel = new QLabel;
    CountsLabel->setWordWrap(true);
    NotesLabel = new QLabel;
    NotesLabel->setWordWrap(true);
    NotesLabel->hide();
    UseBase = new QPushButton(tr("&Base  (Ctrl+1)"));
    UseLocal = new QPushButton(tr("&Local  (Ctrl+2)"));
    UseRemote = new QPushButton(tr("&Remote  (Ctrl+3)"));
    UseLocalThenRemote = new QPushButton(tr("Both, l&ocal first  (Ctrl+4)"));
    UseRemoteThenLocal = new QPushButton(tr("Both, r&emote first  (Ctrl+5)"));
    EditHand = new QPushButton(tr("Edit by &hand"));
    PreviousButton = new QPushButton(tr("&Previous  (Alt+Up)"));
    NextButton = new QPushButton(tr("&Next  (Alt+Down)"));
    UndoButton = new QPushButton(tr("&Undo  (Ctrl+Z)"));
    RedoButton = new QPushButton(tr("Re&do  (Ctrl+Y)"));
    EncodingBox = new QComboBox;
    for (const merge3::OutputEncoding& e : merge3::OutputEncodings())
        EncodingBox->addItem(QString::fromLatin1(e.Name));
    LineEndBox = new QComboBox;
    LineEndBox->addItems({tr("CR LF (Windows)"), tr("LF (Unix)")});
    SaveButton = new QPushButton(tr("&Save  (Ctrl+S)"));
    CloseButton = new QPushButton(tr("&Close"));

    auto* side = new QWidget;
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(new QLabel(tr("Conflicts")));
    sideLayout->addWidget(ConflictList, 1);
    sideLayout->addWidget(CountsLabel);
    sideLayout->addWidget(NotesLabel);
    auto* steps = new QGridLayout;
    steps->addWidget(PreviousButton, 0, 0);
    steps->addWidget(NextButton, 0, 1);
    steps->addWidget(UndoButton, 1, 0);
    steps->addWidget(RedoButton, 1, 1);
    sideLayout->addLayout(steps);
    for (QPushButton* b :
         {UseBase, UseLocal, UseRemote, UseLocalThenRemote, UseRemoteThenLocal, EditHand})
        sideLayout->addWidget(b);
    auto* format = new QGridLayout;
    format->addWidget(new QLabel(tr("Encoding")), 0, 0);
    format->addWidget(EncodingBox, 0, 1);
    format->addWidget(new QLabel(tr("Line ends")), 1, 0);
    format->addWidget(LineEndBox, 1, 1);
    sideLayout->addLayout(format);
    auto* ends = new QHBoxLayout;
    ends->addWidget(SaveButton);
    ends->addWidget(CloseButton);
    sideLayout->addLayout(ends);

    auto* lower = new QSplitter(Qt::Horizontal);
    lower->addWidget(side);
    lower->addWidget(Captioned(new QLabel(tr("Result")), ResultView));
    lower->setStretchFactor(1, 1);
    // Wide enough for a method's name with "(body)".
    lower->setSizes({340, 940});

    auto* whole = new QSplitter(Qt::Vertical);
    whole->addWidget(versions);
    whole->addWidget(lower);
    whole->setStretchFactor(0, 4);
    whole->setStretchFactor(1, 5);
    whole->setSizes({380, 480});
    setCentralWidget(whole);
    StatusLabel = new QLabel;
    statusBar()->addWidget(StatusLabel, 1);
    resize(1280, 860);

    const std::pair<QPushButton*, merge3::Merge3Choice> choices[] = {
        {UseBase, merge3::Merge3Choice::Base},
        {UseLocal, merge3::Merge3Choice::Local},
        {UseRemote, merge3::Merge3Choice::Remote},
        {UseLocalThenRemote, merge3::Merge3Choice::LocalThenRemote},
        {UseRemoteThenLocal, merge3::Merge3Choice::RemoteThenLocal},
    };
    int digit = 1;
    for (const auto& [button, choice] : choices) {
        connect(button, &QPushButton::clicked, this, [this, c = choice] { Choose(c); });
        auto* action = new QAction(this);
        action->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + digit++)));
        connect(action, &QAction::triggered, button, &QPushButton::click);
        addAction(action);
    }
    AddKeys({QKeySequence(Qt::ALT | Qt::Key_Down), QKeySequence(Qt::Key_F8)},
            [this] { StepConflict(true); });
    AddKeys({QKeySequence(Qt::ALT | Qt::Key_Up), QKeySequence(Qt::SHIFT | Qt::Key_F8)},
            [this] { StepConflict(false); });
    const QList<QKeySequence> undoKeys = {QKeySequence::Undo};
    const QList<QKeySequence> redoKeys = {QKeySequence(Qt::CTRL | Qt::Key_Y),
                                          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)};
    const QList<QKeySequence> closeKeys = {QKeySequence(Qt::CTRL | Qt::Key_W),
                                           QKeySequence(Qt::Key_Escape),
                                           QKeySequence(Qt::CTRL | Qt::Key_Q)};
    AddKeys(undoKeys, [this] { Undo(); });
    AddKeys(redoKeys, [this] { Redo(); });
    AddKeys({QKeySequence::Save}, [this] { Save(); });
    AddKeys(closeKeys, [this] { close(); });
    ReleaseKeys(ResultView, undoKeys + redoKeys + closeKeys +
                                QList<QKeySequence>{QKeySequence(Qt::ALT | Qt::Key_Down),
                                                    QKeySequence(Qt::ALT | Qt::Key_Up)});

    connect(EditHand, &QPushButton::clicked, this, &TMerge3Window::EditByHand);
    connect(PreviousButton, &QPushButton::clicked, this, [this] { StepConflict(false); });
    connect(NextButton, &QPushButton::clicked, this, [this] { StepConflict(true); });
    connect(UndoButton, &QPushButton::clicked, this, &TMerge3Window::Undo);
    connect(RedoButton, &QPushButton::clicked, this, &TMerge3Window::Redo);
    connect(SaveButton, &QPushButton::clicked, this, &TMerge3Window::Save);
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
    connect(ConflictList, &QListWidget::currentRowChanged, this, [this](int row) {
        UpdateButtons();
        if (row >= 0 && row < static_cast<int>(session_.Conflicts().size())) ShowConflict(row);
    });
    connect(ResultView, &QsciScintilla::textChanged, this, &TMerge3Window::ResultEdited);
    // Typing reads the conflicts and colours again once it pauses: on a large result with
    // many conflicts that takes a noticeable part of a second.
    editPause_ = new QTimer(this);
    editPause_->setSingleShot(true);
    editPause_->setInterval(250);
    connect(editPause_, &QTimer::timeout, this, [this] { TextReplaced(ResultView->caretLine()); });
    SourceEditor* views[] = {BaseView, LocalView, RemoteView, ResultView};
    for (int k = 0; k < 4; ++k)
        connect(views[k], &SourceEditor::scrolled, this, [this, k] { Follow(k); });
    UpdateButtons();
}

TMerge3Window::~TMerge3Window() = default;

QAction* TMerge3Window::AddKeys(const QList<QKeySequence>& keys, std::function<void()> command) {
    auto* action = new QAction(this);
    action->setShortcuts(keys);
    connect(action, &QAction::triggered, this, std::move(command));
    addAction(action);
    return action;
}

void TMerge3Window::Open(const QString& base, const QString& local, const QString& remote,
                         const QString& output) {
    const QString paths[] = {base, local, remote};
    const char* labels[] = {"BASE", "LOCAL", "REMOTE"};
    const std::string files[] = {LocalPath(base), LocalPath(local), LocalPath(remote)};
    // Forms merge by objects and properties; a binary form is shown and merged as its text.
    forms_ = viewrules::IsFormMerge(files);
    merge3::Merge3Version v[3];
    bool binary[3] = {false, false, false};
    for (int k = 0; k < 3; ++k)
        v[k] = forms_ ? viewrules::ReadFormMergeVersion(files[k], labels[k], binary[k])
                      : merge3::ReadMerge3Version(files[k], labels[k]);
    binaryLocal_ = binary[1];
    encoding_ = merge3::AlignMerge3Versions(v);
    merge3::RefuseOutputOverInputs(LocalPath(output), v[0].input.fileName, v[2].input.fileName);
    merge3::ThreeWayResult result = forms_
                                        ? viewrules::MergeFormVersions(v, formNoise_)
                                        : merge3::MergeThreeWay(v[0].input, v[1].input, v[2].input);
    lineConflicts_ = merge3::MergeLines(v[0].input, v[1].input, v[2].input).conflicts;
    structural_ = result.conflicts;
    SourceEditor* views[] = {BaseView, LocalView, RemoteView};
    QLabel* captions[] = {BaseCaption, LocalCaption, RemoteCaption};
    const QString names[] = {tr("Base"), tr("Local"), tr("Remote")};
    for (int k = 0; k < 3; ++k) {
        const std::string_view text = merge3::WithoutUtf8Mark(v[k].input.bytes);
        versionLines_[k] = io::SplitLines(text);
        views[k]->setLines(versionLines_[k], v[k].encoding);
        outlines_[k] = forms_
                           ? viewrules::OutlineForm(versionLines_[k], v[k].input.fileName)
                           : viewrules::OutlineDeclarations(versionLines_[k], v[k].input.fileName);
        const bool crlf = merge3::LineEndsOf(text) == merge3::LineEnds::CrLf;
        captions[k]->setText(
            QStringLiteral("<b>%1</b>: %2 &nbsp; <small>%3, %4</small>")
                .arg(names[k], QFileInfo(paths[k]).fileName().toHtmlEscaped(),
                     QString::fromLatin1(EncodingName(v[k].encoding, views[k]->charset())),
                     crlf ? QStringLiteral("CR LF") : QStringLiteral("LF")));
        captions[k]->setToolTip(paths[k]);
    }
    layout_ = viewrules::LayOutMerge3(versionLines_);
    for (int k = 0; k < 3; ++k)
        views[k]->setFillers(layout_.Fillers[k]);
    localEncoding_ = v[1].encoding;
    output_ = output;
    notes_.clear();
    if (auto note = merge3::EncodeMerge3Result(result.text, encoding_).note; !note.empty())
        result.notes.push_back(std::move(note));
    for (const auto& note : result.notes)
        notes_ += QString::fromStdString(note) + QLatin1Char('\n');
    ResultView->setToolTip(notes_.trimmed());
    // A form merge says what it decided alone (noise taken from LOCAL, lines merged as lines).
    NotesLabel->setText(notes_.trimmed());
    NotesLabel->setVisible(forms_ && !notes_.isEmpty());
    setWindowTitle(tr("Three-way merge - %1").arg(QFileInfo(output).fileName()));
    format_ = io::DetectTextFormat(result.text);
    LineEndBox->setCurrentIndex(merge3::LineEndsOf(result.text) == merge3::LineEnds::CrLf ? 0 : 1);
    history_.Reset(result.text);
    session_.SetText(std::move(result.text));
    saved_ = savedClean_ = false;
    ShowResult(0);
    EncodingBox->setCurrentIndex(
        static_cast<int>(merge3::OutputEncodingOf(localEncoding_, ResultView->charset())));
    if (!session_.Conflicts().empty()) ShowConflict(0);
}

// The result and the versions scrolled to the conflict, a few lines above it.
void TMerge3Window::ShowConflict(int row) {
    const merge3::Merge3Conflict& c = session_.Conflicts()[row];
    following_ = true;
    LocalView->scrollToLine(
        std::max(0, viewrules::ConflictLineIn(resultMap_, c, viewrules::kLocalPane) - 3));
    ResultView->scrollToLine(std::max(0, c.firstLine - 3));
    rowGiven_[viewrules::kLocalPane] = LocalView->firstVisibleLine();
    rowGiven_[3] = ResultView->firstVisibleLine();
    following_ = false;
    const int top = LocalView->firstVisibleLine();
    SourceEditor* views[] = {BaseView, LocalView, RemoteView};
    for (int k : {viewrules::kBasePane, viewrules::kRemotePane}) {
        const int target = viewrules::FollowingRow(layout_, viewrules::kLocalPane, top, k);
        following_ = true;
        views[k]->setFirstVisibleLine(target);
        following_ = false;
        rowGiven_[k] = target;
    }
}

void TMerge3Window::Follow(int from) {
    if (following_ || resultMap_.Row.empty()) return;
    SourceEditor* views[] = {BaseView, LocalView, RemoteView, ResultView};
    const int first = views[from]->firstVisibleLine();
    // A view reports the row it was given when it next paints; following back from there
    // would undo the shift for fillers above a first line.
    const bool echo = first == rowGiven_[from];
    rowGiven_[from] = -1;
    if (echo) return;
    int row;
    if (from < 3) {
        row = first + viewrules::TopFillerRows(layout_, from);
    } else {
        const int line = std::min<int>(views[3]->firstVisibleTextLine(),
                                       static_cast<int>(resultMap_.Row.size()) - 1);
        row = resultMap_.Row[static_cast<size_t>(line)];
    }
    following_ = true;
    for (int k = 0; k < 3; ++k) {
        if (k == from) continue;
        const int target = std::max(0, row - viewrules::TopFillerRows(layout_, k));
        views[k]->setFirstVisibleLine(target);
        rowGiven_[k] = target;
        if (from < 3)
            views[k]->horizontalScrollBar()->setValue(views[from]->horizontalScrollBar()->value());
    }
    if (from < 3) {
        ResultView->setFirstVisibleLine(viewrules::ResultLineAtRow(resultMap_, row));
        rowGiven_[3] = ResultView->firstVisibleLine();
    }
    following_ = false;
}

void TMerge3Window::ShowResult(int caretLine) {
    editPause_->stop();
    showing_ = true;
    ResultView->setLines(io::SplitLines(session_.Text()), localEncoding_);
    showing_ = false;
    ResultView->setCursorPosition(std::max(0, caretLine), 0);
    TextReplaced(caretLine);
}

// After any change of the result: its conflicts, colours and counts read again.
void TMerge3Window::TextReplaced(int caretLine) {
    resultMap_ = viewrules::MapMerge3Result(versionLines_, layout_, io::SplitLines(session_.Text()),
                                            session_.Conflicts());
    ApplyTints();
    FillConflictList();
    // The conflict at or after the caret is the one the choices apply to.
    const int next = viewrules::StepConflict(session_.Conflicts(), -1, caretLine, true);
    if (next >= 0 && next != ConflictList->currentRow()) {
        ConflictList->blockSignals(true);
        ConflictList->setCurrentRow(next);
        ConflictList->blockSignals(false);
        UpdateButtons();
    }
}

void TMerge3Window::ApplyTints() {
    const viewrules::Merge3Tints& tints = viewrules::Merge3TintsFor(ResultView->viewPalette().Dark);
    SourceEditor* views[] = {BaseView, LocalView, RemoteView};
    for (int k = 0; k < 3; ++k) {
        std::vector<uint32_t> lines(versionLines_[k].size(), 0);
        for (const viewrules::Merge3Span& s : layout_.Spans[k])
            for (int32_t i = s.First; i <= s.Last; ++i)
                lines[static_cast<size_t>(i)] = viewrules::TintOf(tints, s.Change);
        views[k]->setLineTints(lines);
    }
    std::vector<uint32_t> lines;
    lines.reserve(resultMap_.Origin.size());
    for (viewrules::Merge3Origin origin : resultMap_.Origin)
        lines.push_back(viewrules::TintOf(tints, origin));
    ResultView->setLineTints(lines);
}

void TMerge3Window::ResultEdited() {
    if (showing_) return;
    session_.SetText(io::AssembleSourceText(ResultView->lines(), format_));
    history_.Edit(session_.Text(), ResultView->caretLine());
    editPause_->start();
    UpdateButtons();
}

void TMerge3Window::FlushEdits() {
    if (!editPause_->isActive()) return;
    editPause_->stop();
    TextReplaced(ResultView->caretLine());
}

void TMerge3Window::FillConflictList() {
    const int row = std::max(0, ConflictList->currentRow());
    ConflictList->blockSignals(true);
    ConflictList->clear();
    const auto& conflicts = session_.Conflicts();
    const std::vector<std::string> names =
        viewrules::NameConflicts(conflicts, resultMap_, outlines_);
    for (size_t i = 0; i < conflicts.size(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(names[i]), ConflictList);
        item->setToolTip(tr("Lines %1-%2 of the result")
                             .arg(conflicts[i].firstLine + 1)
                             .arg(conflicts[i].lastLine + 1));
    }
    const int count = ConflictList->count();
    if (count > 0) ConflictList->setCurrentRow(std::min(row, count - 1));
    ConflictList->blockSignals(false);
    const int unresolved = session_.Unresolved();
    const viewrules::Merge3Counts counts =
        viewrules::CountMerge3(lineConflicts_, structural_, unresolved);
    CountsLabel->setText(
        (counts.ByLines == 1 ? tr("1 conflict by lines")
                             : tr("%1 conflicts by lines").arg(counts.ByLines)) +
        tr(", %1 solved by the declarations, %2 left").arg(counts.Solved).arg(counts.Left));
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
    UseBase->setEnabled(any && session_.Conflicts()[static_cast<size_t>(row)].hasBase);
    const int count = ConflictList->count();
    PreviousButton->setEnabled(count > 0 && row != 0);
    NextButton->setEnabled(count > 0 && row + 1 < count);
    UndoButton->setEnabled(history_.CanUndo());
    RedoButton->setEnabled(history_.CanRedo());
    SaveButton->setEnabled(!output_.isEmpty());
}

void TMerge3Window::Choose(merge3::Merge3Choice choice) {
    FlushEdits();
    const int row = ConflictList->currentRow();
    if (row < 0 || row >= static_cast<int>(session_.Conflicts().size())) return;
    if (choice == merge3::Merge3Choice::Base &&
        !session_.Conflicts()[static_cast<size_t>(row)].hasBase)
        return;
    RunCommand(dialogs_, this, [&] {
        const int line = session_.Resolve(static_cast<size_t>(row), choice);
        history_.Choose(session_.Text());
        ShowResult(line);
        if (ConflictList->currentRow() >= 0) ShowConflict(ConflictList->currentRow());
    });
}

void TMerge3Window::StepConflict(bool forward) {
    FlushEdits();
    const int to = viewrules::StepConflict(session_.Conflicts(), ConflictList->currentRow(),
                                           ResultView->caretLine(), forward);
    if (to < 0) return;
    ConflictList->setCurrentRow(to);
    ResultView->setCursorPosition(session_.Conflicts()[static_cast<size_t>(to)].firstLine, 0);
}

void TMerge3Window::Undo() {
    if (!history_.CanUndo()) return;
    const std::string before = session_.Text();
    session_.SetText(history_.Undo());
    ShowResult(std::max(0, viewrules::FirstDifferentLine(before, session_.Text())));
}

void TMerge3Window::Redo() {
    if (!history_.CanRedo()) return;
    const std::string before = session_.Text();
    session_.SetText(history_.Redo());
    ShowResult(std::max(0, viewrules::FirstDifferentLine(before, session_.Text())));
}

void TMerge3Window::EditByHand() {
    FlushEdits();
    const int row = ConflictList->currentRow();
    if (row < 0 || row >= static_cast<int>(session_.Conflicts().size())) return;
    ResultView->setCursorPosition(session_.Conflicts()[static_cast<size_t>(row)].firstLine, 0);
    ResultView->setFocus();
}

bool TMerge3Window::Save() {
    FlushEdits();
    const int unresolved = session_.Unresolved();
    if (unresolved > 0 && !prompts_->SaveUnresolved(this, unresolved)) return false;
    bool written = false;
    RunCommand(dialogs_, this, [&] {
        const std::string path = LocalPath(output_);
        const auto& encoding = merge3::OutputEncodings()[static_cast<size_t>(
            std::max(0, EncodingBox->currentIndex()))];
        const auto ends =
            LineEndBox->currentIndex() == 1 ? merge3::LineEnds::Lf : merge3::LineEnds::CrLf;
        io::WriteFileAtomically(
            path, binaryLocal_ ? viewrules::BinaryFormOf(session_.Text(), path)
                               : merge3::EncodeMergeOutput(session_.Text(), ResultView->charset(),
                                                           encoding, ends, path));
        written = true;
    });
    if (!written) return false;
    saved_ = true;
    savedClean_ = unresolved == 0;
    history_.MarkSaved();
    ResultView->setModified(false);
    StatusLabel->setText(tr("Saved %1").arg(output_));
    return true;
}

void TMerge3Window::closeEvent(QCloseEvent* event) {
    if (history_.Changed() && !prompts_->DiscardChanges(this))
        event->ignore();
    else
        event->accept();
}

void TMerge3Window::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && !resultMap_.Origin.empty()) ApplyTints();
}

} // namespace quennet::gui
