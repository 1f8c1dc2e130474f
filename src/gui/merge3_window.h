// The three-way merge window: BASE, LOCAL and REMOTE side by side above the editable result,
// the list of conflicts beside it, a choice per conflict, and saving to the output file.
#pragma once

#include <QMainWindow>
#include <QString>
#include <string>
#include <vector>

#include "io/source_save.h"
#include "merge3/merge3_files.h"
#include "merge3/merge3_session.h"

class QCloseEvent;
class QLabel;
class QListWidget;
class QPushButton;

namespace quennet::gui {

class SourceEditor;
class TUserDialogs;

// The question this window asks beyond the common dialogs; tests answer it directly.
class TMerge3Prompts {
public:
    virtual ~TMerge3Prompts() = default;
    // Whether to save although `unresolved` conflicts are left.
    virtual bool SaveUnresolved(QWidget* parent, int unresolved);
    // Whether to close although the result changed since it was saved.
    virtual bool DiscardChanges(QWidget* parent);
};

class TMerge3Window : public QMainWindow {
    Q_OBJECT
public:
    // prompts: null for the standard message box.
    explicit TMerge3Window(TUserDialogs& dialogs, TMerge3Prompts* prompts = nullptr,
                           QWidget* parent = nullptr);
    ~TMerge3Window() override;

    // Reads and merges the three files; throws naming a file that cannot be read, or an
    // output that would replace BASE or REMOTE.
    void Open(const QString& base, const QString& local, const QString& remote,
              const QString& output);

    // Applies a choice to the conflict selected in the list.
    void Choose(merge3::Merge3Choice choice);
    // Puts the caret on the selected conflict in the result, for editing by hand.
    void EditByHand();
    // Writes the result; false when the user declined or the write failed (shown).
    bool Save();

    const merge3::TMerge3Session& Session() const { return session_; }
    // Saved at least once, and whether that save left conflicts.
    bool Saved() const { return saved_; }
    bool SavedClean() const { return savedClean_; }

    SourceEditor* BaseView = nullptr;
    SourceEditor* LocalView = nullptr;
    SourceEditor* RemoteView = nullptr;
    SourceEditor* ResultView = nullptr;
    QListWidget* ConflictList = nullptr;
    QPushButton* UseLocal = nullptr;
    QPushButton* UseRemote = nullptr;
    QPushButton* UseLocalThenRemote = nullptr;
    QPushButton* UseRemoteThenLocal = nullptr;
    QPushButton* UseBase = nullptr;
    QPushButton* EditHand = nullptr;
    QPushButton* SaveButton = nullptr;
    QLabel* StatusLabel = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowResult(int caretLine);
    void ShowConflict(int row);
    void ResultEdited();
    void FillConflictList();
    void UpdateButtons();

    TUserDialogs& dialogs_;
    TMerge3Prompts* prompts_;
    TMerge3Prompts standardPrompts_;
    merge3::TMerge3Session session_;
    io::SourceTextFormat format_;
    io::TextEncoding localEncoding_ = io::TextEncoding::Bytes; // the result is saved in it
    merge3::Merge3Encoding encoding_;           // how the merged text goes back to bytes
    std::vector<std::string> versionLines_[3]; // BASE, LOCAL, REMOTE
    QString output_;
    QString notes_;
    bool showing_ = false; // the result view is being filled, not edited
    bool changed_ = false; // since opened or saved
    bool saved_ = false;
    bool savedClean_ = false;
};

} // namespace quennet::gui
