// Main window: find in the source views. The dialog is modeless and shared; F3 and Shift+F3
// repeat the last search in the view it ran in.
#include "find_dialog.h"
#include "main_form.h"
#include "source_editor.h"
#include "user_dialogs.h"

#include "viewrules/difference_marks.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace quennet::gui {

namespace {
bool Holds(const QWidget* view, const QWidget* focus) {
    return focus && (focus == view || view->isAncestorOf(focus));
}
} // namespace

void TMainForm::ShowFind() {
    const QWidget* focus = QApplication::focusWidget();
    if (Holds(ui_.DiffEditor, focus))
        findTarget_ = ui_.DiffEditor;
    else if (Holds(ui_.New.Editor, focus) || Holds(ui_.Old.Editor, focus) || !findTarget_)
        findTarget_ = &Editor(FocusedSide());
    if (!ui_.FindDialog) {
        ui_.FindDialog = new TFindDialog(this);
        ui_.FindDialog->setObjectName(QStringLiteral("findDialog"));
        connect(ui_.FindDialog, &TFindDialog::FindNext, this, [this] { FindAgain(true); });
    }
    // A selection within one line is what the user most likely looks for.
    if (findTarget_->hasSelectedText() && !findTarget_->selectedText().contains('\n'))
        ui_.FindDialog->FindText->setText(findTarget_->selectedText());
    ui_.FindDialog->show();
    ui_.FindDialog->raise();
    ui_.FindDialog->activateWindow();
    ui_.FindDialog->FindText->selectAll();
    ui_.FindDialog->FindText->setFocus();
}

void TMainForm::GoToLine() {
    const bool old = FocusedSide();
    SourceEditor& view = Editor(old);
    const int count = view.lineCount();
    if (count == 0) return;
    const std::optional<int> typed = dialogs_.AskInteger(
        this, tr("Go to line"),
        (old ? tr("Line of the old file (1 - %1):") : tr("Line of the new file (1 - %1):"))
            .arg(count),
        view.caretLine() + 1, 1, count);
    if (!typed) return;
    const int line = viewrules::GoToLineTarget(*typed, count);
    view.scrollToLine(
        viewrules::GoToLineTop(line, view.firstVisibleTextLine(), view.visibleRows()));
    view.setCursorPosition(line, 0);
    view.setFocus();
}

bool TMainForm::FindAgain(bool forward) {
    if (!ui_.FindDialog || ui_.FindDialog->FindText->text().isEmpty() || !findTarget_) {
        ShowFind();
        return false;
    }
    SourceEditor& view = *findTarget_;
    const QString text = ui_.FindDialog->FindText->text();
    const bool matchCase = ui_.FindDialog->MatchCase->isChecked();
    const bool wholeWord = ui_.FindDialog->WholeWord->isChecked();
    bool found;
    if (forward) {
        found = view.findFirst(text, false, matchCase, wholeWord, true, true);
    } else {
        // Backwards from the start of the current match, so it is not found again.
        int line, index, endLine, endIndex;
        view.getSelection(&line, &index, &endLine, &endIndex);
        if (line < 0) view.getCursorPosition(&line, &index);
        found = view.findFirst(text, false, matchCase, wholeWord, true, false, line, index);
    }
    ui_.StatusMessage->setText(found ? QString() : tr("\"%1\" not found.").arg(text));
    return found;
}

} // namespace quennet::gui
