// The three-way merge window: BASE, LOCAL and REMOTE side by side and kept level above the
// editable result, the conflicts named by declaration beside it, a choice per conflict by
// button or key, undo and redo, and saving in the encoding and line ends chosen.
#pragma once

#include <QMainWindow>
#include <QString>
#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "forms/form_compare.h"
#include "io/source_save.h"
#include "merge3/merge3_files.h"
#include "merge3/merge3_session.h"
#include "viewrules/merge3_history.h"
#include "viewrules/merge3_layout.h"
#include "viewrules/merge3_names.h"

class QAction;
class QCloseEvent;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTimer;

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

    // The designer-noise names a form merge applies (the engine's own list until set).
    void SetFormNoise(forms::NoiseRules rules) { formNoise_ = std::move(rules); }
    // Reads and merges the three files; throws naming a file that cannot be read, or an
    // output that would replace BASE or REMOTE.
    void Open(const QString& base, const QString& local, const QString& remote,
              const QString& output);

    // Applies a choice to the conflict selected in the list.
    void Choose(merge3::Merge3Choice choice);
    // Selects the next or previous conflict and shows it.
    void StepConflict(bool forward);
    void Undo();
    void Redo();
    // Puts the caret on the selected conflict in the result, for editing by hand.
    void EditByHand();
    // Writes the result; false when the user declined or the write failed (shown).
    bool Save();
    // Reads the conflicts and colours of the result again now rather than when typing pauses.
    void FlushEdits();

    const merge3::TMerge3Session& Session() const { return session_; }
    const viewrules::Merge3Layout& Layout() const { return layout_; }
    const viewrules::Merge3ResultMap& ResultMap() const { return resultMap_; }
    // Saved at least once, and whether that save left conflicts.
    bool Saved() const { return saved_; }
    bool SavedClean() const { return savedClean_; }
    // The result differs from what was opened or last saved.
    bool Changed() const { return history_.Changed(); }
    bool MergesForms() const { return forms_; }

    SourceEditor* BaseView = nullptr;
    SourceEditor* LocalView = nullptr;
    SourceEditor* RemoteView = nullptr;
    SourceEditor* ResultView = nullptr;
    QLabel* BaseCaption = nullptr;
    QLabel* LocalCaption = nullptr;
    QLabel* RemoteCaption = nullptr;
    QListWidget* ConflictList = nullptr;
    QLabel* CountsLabel = nullptr;
    QLabel* NotesLabel = nullptr; // the notes of a form merge
    QPushButton* UseBase = nullptr;
    QPushButton* UseLocal = nullptr;
    QPushButton* UseRemote = nullptr;
    QPushButton* UseLocalThenRemote = nullptr;
    QPushButton* UseRemoteThenLocal = nullptr;
    QPushButton* EditHand = nullptr;
    QPushButton* PreviousButton = nullptr;
    QPushButton* NextButton = nullptr;
    QPushButton* UndoButton = nullptr;
    QPushButton* RedoButton = nullptr;
    QComboBox* EncodingBox = nullptr;
    QComboBox* LineEndBox = nullptr;
    QPushButton* SaveButton = nullptr;
    QPushButton* CloseButton = nullptr;
    QLabel* StatusLabel = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QAction* AddKeys(const QList<QKeySequence>& keys, std::function<void()> command);
    void ShowResult(int caretLine);
    void ShowConflict(int row);
    void ResultEdited();
    void TextReplaced(int caretLine);
    void FillConflictList();
    void UpdateButtons();
    void ApplyTints();
    // Keeps the other views level with view `from` (0-2 the versions, 3 the result).
    void Follow(int from);

    TUserDialogs& dialogs_;
    TMerge3Prompts* prompts_;
    TMerge3Prompts standardPrompts_;
    merge3::TMerge3Session session_;
    viewrules::TMerge3History history_;
    viewrules::Merge3Lines versionLines_; // BASE, LOCAL, REMOTE
    viewrules::Merge3Layout layout_;
    viewrules::Merge3ResultMap resultMap_;
    std::array<std::vector<viewrules::NamedSpan>, 3> outlines_;
    int lineConflicts_ = 0; // what a merge by lines leaves
    int structural_ = 0;    // what the merge left when opened
    io::SourceTextFormat format_;
    io::TextEncoding localEncoding_ = io::TextEncoding::Bytes;
    merge3::Merge3Encoding encoding_; // how the merged text goes back to bytes
    QString output_;
    QString notes_;
    bool showing_ = false;   // the result view is being filled, not edited
    bool following_ = false; // views are being scrolled to keep level
    std::array<int, 4> rowGiven_{-1, -1, -1, -1};
    QTimer* editPause_ = nullptr;
    bool saved_ = false;
    bool savedClean_ = false;
    bool forms_ = false; // a merge of form files
    forms::NoiseRules formNoise_ = forms::DefaultNoiseRules();
    bool binaryLocal_ = false; // LOCAL is a binary form: the result is saved as binary
};

} // namespace quennet::gui
