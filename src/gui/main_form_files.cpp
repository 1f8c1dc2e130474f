// Main window: the file commands of the two views, dropped files, the navigator's pair, Help
// and the about box. Saving goes through the core so line ends survive and nothing is lost.
#include "about_box.h"
#include "filename_edit.h"
#include "help_links.h"
#include "main_form.h"
#include "source_editor.h"
#include "user_dialogs.h"

#include "io/source_save.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>

namespace quennet::gui {

namespace {

std::string LocalName(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

QStringList LocalFiles(const QMimeData* mime) {
    QStringList names;
    if (!mime || !mime->hasUrls()) return names;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile()) names << url.toLocalFile();
    return names;
}

// Clears the busy flag however the command ends.
struct BusyScope {
    explicit BusyScope(bool& flag) : Flag(flag) { Flag = true; }
    ~BusyScope() { Flag = false; }
    bool& Flag;
};

} // namespace

void TMainForm::ConnectFileCommands() {
    for (bool old : {true, false}) {
        TSourcePane& pane = ui_.Pane(old);
        SourceEditor* editor = pane.Editor;
        auto save = [this, old] { RunCommand(dialogs_, this, [this, old] { SaveChanges(old); }); };
        connect(pane.SaveButton, &QPushButton::clicked, this, save);
        connect(pane.PopupSave, &QAction::triggered, this, save);
        connect(pane.PopupUndo, &QAction::triggered, editor, [editor] { editor->undo(); });
        connect(pane.PopupRedo, &QAction::triggered, editor, [editor] { editor->redo(); });
        // Files dropped onto a view go to that view, not into its text.
        editor->viewport()->installEventFilter(this);
    }
    connect(ui_.SaveOldAs, &QAction::triggered, this,
            [this] { RunCommand(dialogs_, this, [this] { SaveAs(true); }); });
    connect(ui_.SaveNewAs, &QAction::triggered, this,
            [this] { RunCommand(dialogs_, this, [this] { SaveAs(false); }); });
    connect(ui_.HelpContents, &QAction::triggered, this,
            [this] { RunCommand(dialogs_, this, [this] { HelpContents(); }); });
    connect(ui_.HomePage, &QAction::triggered, this,
            [this] { RunCommand(dialogs_, this, [this] { HomePage(); }); });
    setAcceptDrops(true);
}

void TMainForm::SaveChanges(bool old) {
    SourceEditor* view = old ? ui_.Old.Editor : ui_.New.Editor;
    if (!view->isModified()) return;
    const QString name = old ? oldFileName_ : newFileName_;
    // A view that never had a file is saved under a name the user gives.
    if (name.isEmpty()) {
        SaveAs(old);
        return;
    }
    const std::string bytes = io::AssembleSourceText(view->lines(), view->textFormat());
    // Throws with the file and the reason; the modified mark then stays.
    const io::BackupSaveResult result = io::SaveWithNumberedBackup(LocalName(name), bytes);
    view->setModified(false);
    if (result.FileWasMissing)
        dialogs_.Information(this, tr("\"%1\" was no longer on disk. The text has "
                                      "been saved under that name; no backup was "
                                      "made.")
                                       .arg(name));
}

void TMainForm::SaveAs(bool old) {
    SourceEditor* view = old ? ui_.Old.Editor : ui_.New.Editor;
    TFilenameEdit* box = old ? ui_.Old.FilenameEdit : ui_.New.FilenameEdit;
    SaveDialogOptions options;
    options.Title = tr("Save as...");
    options.DefaultSuffix = QStringLiteral("pas");
    options.Filter = JoinedExtensions();
    const QString shown = box->FileName();
    if (!shown.isEmpty()) {
        const QFileInfo info(QDir::fromNativeSeparators(shown));
        options.FileName = info.fileName();
        options.InitialDir = info.absolutePath();
    } else {
        options.InitialDir = old ? oldFolder_ : newFolder_;
    }
    const QString chosen = dialogs_.SaveFileName(this, options);
    if (chosen.isEmpty()) return;
    io::WriteSourceFile(LocalName(chosen),
                        io::AssembleSourceText(view->lines(), view->textFormat()));
    (old ? oldFileName_ : newFileName_) = QDir::toNativeSeparators(chosen);
    box->SetFileName(old ? oldFileName_ : newFileName_);
}

void TMainForm::DropFiles(const QStringList& names, QWidget* target) {
    if (names.size() >= 2) {
        if (!QFileInfo(names[0]).isFile() || !QFileInfo(names[1]).isFile()) return;
        {
            BusyScope busy(busy_);
            ui_.DiffTree->clear();
            comparison_.reset();
            LoadOldFile(names[0]);
            LoadNewFile(names[1]);
        }
        RunDiff();
        return;
    }
    if (names.size() != 1 || !QFileInfo(names[0]).isFile() || !target) return;
    auto over = [target](QWidget* view) { return view == target || view->isAncestorOf(target); };
    const bool old = over(ui_.Old.Editor);
    if (!old && !over(ui_.New.Editor)) return;
    BusyScope busy(busy_);
    ui_.DiffTree->clear();
    comparison_.reset();
    old ? LoadOldFile(names[0]) : LoadNewFile(names[0]);
}

void TMainForm::OpenPair(const QString& oldFile, const QString& newFile, const QString& oldFolder,
                         const QString& newFolder) {
    if (oldFile.isEmpty() && newFile.isEmpty()) return;
    {
        BusyScope busy(busy_);
        ui_.DiffTree->clear();
        comparison_.reset();
        if (!oldFile.isEmpty()) {
            LoadOldFile(oldFile);
            oldFolder_ = oldFolder;
        }
        if (!newFile.isEmpty()) {
            LoadNewFile(newFile);
            newFolder_ = newFolder;
        }
    }
    if (!oldFile.isEmpty() && !newFile.isEmpty()) RunDiff();
}

void TMainForm::HelpContents() {
    const QString manual = LocateHelpFile(QCoreApplication::applicationDirPath());
    if (manual.isEmpty()) {
        dialogs_.Information(this, tr("The user manual was not found next to the "
                                      "program (quennet.chm or manual.html)."));
        return;
    }
    if (!dialogs_.OpenUrl(QUrl::fromLocalFile(manual)))
        dialogs_.Information(this, tr("No program could open the user manual \"%1\".")
                                       .arg(QDir::toNativeSeparators(manual)));
}

void TMainForm::HomePage() {
    const QString address = WithHttpScheme(kHomePageAddress);
    if (!dialogs_.OpenUrl(QUrl(address)))
        dialogs_.Information(this, tr("No program could open \"%1\".").arg(address));
}

void TMainForm::ShowAboutBox() {
    TAboutBox box(this);
    dialogs_.ExecDialog(box);
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
    const QStringList names = LocalFiles(event->mimeData());
    if (names.isEmpty()) return;
    event->acceptProposedAction();
    QWidget* target = childAt(event->position().toPoint());
    RunCommand(dialogs_, this, [this, &names, target] { DropFiles(names, target); });
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList names = LocalFiles(drop->mimeData());
        if (!names.isEmpty()) {
            drop->acceptProposedAction();
            if (type == QEvent::Drop) {
                QWidget* target = qobject_cast<QWidget*>(watched);
                RunCommand(dialogs_, this, [this, &names, target] { DropFiles(names, target); });
            }
            return true;
        }
    }
    return TAdvForm::eventFilter(watched, event);
}

} // namespace quennet::gui
