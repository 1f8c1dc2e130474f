// Main window: the file commands of the two views, dropped files, the navigator's pair, Help
// and the about box. Saving goes through the core so line ends survive and nothing is lost.
#include "about_box.h"
#include "app_registry.h"
#include "filename_edit.h"
#include "help_links.h"
#include "main_form.h"
#include "source_editor.h"
#include "user_dialogs.h"

#include "io/source_save.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>

#include <stdexcept>

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
    const QString name = FileName(old);
    if (binaryForm_[old ? 0 : 1])
        throw std::runtime_error(tr("\"%1\" is a binary form, shown as its text; the text is "
                                    "not saved over it.")
                                     .arg(name)
                                     .toStdString());
    // A view that never had a file is saved under a name the user gives.
    if (name.isEmpty()) {
        SaveAs(old);
        return;
    }
    // Someone else's change on disk is not overwritten without a question.
    if (doc_.ChangedOnDisk(old) &&
        !dialogs_.Confirm(
            this, tr("\"%1\" was changed on disk since it was loaded. Save over it?").arg(name),
            tr("Save")))
        return;
    const std::string bytes = view->fileBytes(LocalName(name));
    // Throws with the file and the reason; the modified mark then stays.
    const io::BackupSaveResult result = io::SaveWithNumberedBackup(LocalName(name), bytes);
    view->setModified(false);
    doc_.Restamp(old, io::StampOfLoaded(LocalName(name), bytes));
    ui_.Pane(old).ChangedBar->hide();
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
    io::WriteSourceFile(LocalName(chosen), view->fileBytes(LocalName(chosen)));
    doc_.Loaded(old, QDir::toNativeSeparators(chosen).toStdString(),
                io::StampOf(LocalName(chosen)));
    box->SetFileName(FileName(old));
    ui_.Pane(old).ChangedBar->hide();
    RememberFile(old, chosen);
}

void TMainForm::DropFiles(const QStringList& names, QWidget* target) {
    if (names.size() >= 2) {
        if (!QFileInfo(names[0]).isFile() || !QFileInfo(names[1]).isFile()) return;
        if (!MayDiscardEdits(true, true)) return;
        LoadDroppingComparison(true, names[0]);
        LoadDroppingComparison(false, names[1]);
        RunDiff();
        return;
    }
    if (names.size() != 1 || !QFileInfo(names[0]).isFile() || !target) return;
    auto over = [target](QWidget* view) { return view == target || view->isAncestorOf(target); };
    const bool old = over(ui_.Old.Editor);
    if (!old && !over(ui_.New.Editor)) return;
    if (!MayDiscardEdits(old)) return;
    LoadDroppingComparison(old, names[0]);
}

void TMainForm::OpenPair(const QString& oldFile, const QString& newFile, const QString& oldFolder,
                         const QString& newFolder) {
    if (oldFile.isEmpty() && newFile.isEmpty()) return;
    const bool both = !oldFile.isEmpty() && !newFile.isEmpty();
    if (!MayDiscardEdits(!oldFile.isEmpty(), both)) return;
    if (!oldFile.isEmpty()) {
        LoadDroppingComparison(true, oldFile);
        oldFolder_ = oldFolder;
    }
    if (!newFile.isEmpty()) {
        LoadDroppingComparison(false, newFile);
        newFolder_ = newFolder;
    }
    if (!oldFile.isEmpty() && !newFile.isEmpty()) RunDiff();
}

bool TMainForm::MayDiscardEdits(bool old, bool alsoOther) {
    QStringList edited;
    for (bool side : {old, !old})
        if ((side == old || alsoOther) && ui_.Pane(side).Editor->isModified())
            edited << (side ? tr("old") : tr("new"));
    if (edited.isEmpty()) return true;
    const QString text =
        edited.size() == 2
            ? tr("The old and the new view hold changes that are not saved.\nDiscard them?")
            : tr("The %1 view holds changes that are not saved.\nDiscard them?").arg(edited[0]);
    return dialogs_.Confirm(this, text, tr("Discard"));
}

void TMainForm::CheckDiskChanges() {
    for (bool old : {true, false}) {
        TSourcePane& pane = ui_.Pane(old);
        const QString name = FileName(old);
        const bool changed = doc_.ChangedOnDisk(old);
        if (changed)
            pane.ChangedText->setText(
                QFileInfo(name).exists()
                    ? tr("\"%1\" was changed on disk since it was loaded.").arg(name)
                    : tr("\"%1\" is no longer on disk.").arg(name));
        pane.ChangedBar->setVisible(changed);
    }
}

bool TMainForm::FocusedSide() const {
    const QWidget* focus = QApplication::focusWidget();
    return !(focus && ui_.New.Panel->isAncestorOf(focus));
}

void TMainForm::changeEvent(QEvent* event) {
    TAdvForm::changeEvent(event);
    // Coming back to the window is when files edited elsewhere are noticed.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) CheckDiskChanges();
    if (event->type() == QEvent::PaletteChange && doc_.Forms()) DimFormRows();
}

namespace {
const QString kRecentKey = QStringLiteral("TMainForm\\Recent");
const QString kRecentOld = QStringLiteral("PairOld");
const QString kRecentNew = QStringLiteral("PairNew");
QString RecentFilesValue(bool old) {
    return old ? QStringLiteral("FilesOld") : QStringLiteral("FilesNew");
}
QStringList ToQt(const std::vector<std::string>& list) {
    QStringList out;
    for (const std::string& s : list)
        out << QString::fromStdString(s);
    return out;
}
std::vector<std::string> FromQt(const QStringList& list) {
    std::vector<std::string> out;
    for (const QString& s : list)
        out.push_back(s.toStdString());
    return out;
}
} // namespace

void TMainForm::ReadRecent() {
    TAppRegistry* reg = Registry();
    if (!reg || !reg->OpenSettingsKey(kRecentKey, false)) return;
    QStringList olds, news;
    reg->ReadStringList(kRecentOld, olds);
    reg->ReadStringList(kRecentNew, news);
    // Read oldest first so the rules of the list apply as when they were added.
    for (qsizetype i = std::min(olds.size(), news.size()) - 1; i >= 0; --i)
        recentPairs_ =
            viewrules::AddRecent(recentPairs_, {olds[i].toStdString(), news[i].toStdString()});
    for (bool old : {true, false}) {
        QStringList files;
        reg->ReadStringList(RecentFilesValue(old), files);
        const std::vector<std::string> stored = FromQt(files);
        for (auto f = stored.rbegin(); f != stored.rend(); ++f)
            recentFiles_[old] = viewrules::AddRecent(recentFiles_[old], *f);
        ui_.Pane(old).FilenameEdit->SetRecent(ToQt(recentFiles_[old]));
    }
    reg->CloseKey();
}

void TMainForm::WriteRecent() {
    TAppRegistry* reg = Registry();
    if (!reg || !reg->OpenSettingsKey(kRecentKey, true)) return;
    QStringList olds, news;
    for (const viewrules::RecentPair& p : recentPairs_) {
        olds << QString::fromStdString(p.Old);
        news << QString::fromStdString(p.New);
    }
    reg->WriteStringList(kRecentOld, olds);
    reg->WriteStringList(kRecentNew, news);
    for (bool old : {true, false})
        reg->WriteStringList(RecentFilesValue(old), ToQt(recentFiles_[old]));
    reg->CloseKey();
}

void TMainForm::RememberFile(bool old, const QString& fileName) {
    const QString shown = QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath());
    recentFiles_[old] = viewrules::AddRecent(recentFiles_[old], shown.toStdString());
    ui_.Pane(old).FilenameEdit->SetRecent(ToQt(recentFiles_[old]));
    WriteRecent();
}

void TMainForm::FillRecentMenu() {
    ui_.RecentMenu->clear();
    for (size_t i = 0; i < recentPairs_.size(); ++i) {
        const viewrules::RecentPair& p = recentPairs_[i];
        const QString oldName = QString::fromStdString(p.Old);
        const QString newName = QString::fromStdString(p.New);
        // Underlines the digit for the keyboard; "&&" keeps a file's own ampersands.
        QAction* a = ui_.RecentMenu->addAction(
            QStringLiteral("&%1 %2  \u2192  %3")
                .arg(i + 1)
                .arg(QFileInfo(oldName).fileName().replace('&', QStringLiteral("&&")),
                     QFileInfo(newName).fileName().replace('&', QStringLiteral("&&"))));
        a->setToolTip(oldName + QLatin1Char('\n') + newName);
        a->setStatusTip(oldName + QStringLiteral(" \u2192 ") + newName);
        connect(a, &QAction::triggered, this,
                [this, i] { RunCommand(dialogs_, this, [this, i] { OpenRecentPair(i); }); });
    }
    ui_.RecentMenu->setEnabled(!recentPairs_.empty());
}

void TMainForm::OpenRecentPair(size_t index) {
    if (index >= recentPairs_.size()) return;
    const viewrules::RecentPair pair = recentPairs_[index];
    const QString oldFile = QString::fromStdString(pair.Old);
    const QString newFile = QString::fromStdString(pair.New);
    for (const QString& f : {oldFile, newFile})
        if (!QFileInfo(f).isFile())
            throw std::runtime_error(tr("\"%1\" is no longer on disk.").arg(f).toStdString());
    auto folder = [](const QString& f) {
        return QDir::toNativeSeparators(QFileInfo(f).absolutePath() + QLatin1Char('/'));
    };
    OpenPair(oldFile, newFile, folder(oldFile), folder(newFile));
}

void TMainForm::HelpContents() {
    const QString manual = LocateHelpFile(QCoreApplication::applicationDirPath());
    if (manual.isEmpty()) {
        dialogs_.Information(
            this, MissingManualMessage(HelpFileCandidates(QCoreApplication::applicationDirPath())));
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
