// The main window as its tests see it: each part found by the object name the window gives it.
// A part that is missing (or named twice) fails the test with its name rather than handing back
// null: the failure is recorded, then an exception ends the test.
#pragma once

#include "filename_edit.h"
#include "main_form.h"
#include "progress_dialog.h"
#include "source_editor.h"

#include <QAction>
#include <QLabel>
#include <QSplitter>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

namespace quennet::gui {

class MainFormFace {
public:
    explicit MainFormFace(const TMainForm& form) : form_(form) {}

    QTreeWidget* Tree() const { return Part<QTreeWidget>(QStringLiteral("diffTree")); }
    SourceEditor* Editor(bool old) const { return Pane<SourceEditor>(old, "Editor"); }
    SourceEditor* DiffEditor() const { return Part<SourceEditor>(QStringLiteral("diffEditor")); }
    TFilenameEdit* FileBox(bool old) const { return Pane<TFilenameEdit>(old, "FilenameEdit"); }
    // A part of one side's pane by its field name: Pane<QLabel>(true, "CaretPanel").
    template <class T> T* Pane(bool old, const char* part) const {
        return Part<T>((old ? QStringLiteral("old") : QStringLiteral("new")) + QLatin1String(part));
    }
    // A command: Action("editMerged"), Action("oldPopupSave").
    QAction* Action(const char* name) const {
        return Part<QAction>(QStringLiteral("action.") + QLatin1String(name));
    }
    QSplitter* MainSplitter() const { return Part<QSplitter>(QStringLiteral("mainSplitter")); }
    QSplitter* SourceSplitter() const { return Part<QSplitter>(QStringLiteral("sourceSplitter")); }
    TProgressDialog* Progress() const { return Part<TProgressDialog>(QStringLiteral("progress")); }
    // The message at the left of the window's status bar.
    QString Status() const { return Part<QLabel>(QStringLiteral("statusMessage"))->text(); }

    // Any part by its full name: "pages", "recentMenu", "findDialog", "nextButton", ...
    template <class T> T* Part(const QString& name) const {
        const QList<T*> found = form_.findChildren<T*>(name);
        if (found.size() == 1) return found.front();
        const std::string count = found.isEmpty() ? "no" : std::to_string(found.size());
        const std::string what = "the main window has " + count + " " +
                                 T::staticMetaObject.className() + " named \"" +
                                 name.toStdString() + "\"";
        ADD_FAILURE() << what; // recorded even where a command catches the exception
        throw std::logic_error(what);
    }

private:
    const TMainForm& form_;
};

} // namespace quennet::gui
