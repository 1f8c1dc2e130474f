// The merge setup dialog: whether the lines of the left-out colour are removed or written as
// comments, and with which text after "//". The last confirmed choice is kept per prompt.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QRadioButton;

namespace quennet::gui {

class TAppRegistry;

class TMergeSetupDlgForm : public QDialog {
    Q_OBJECT
public:
    explicit TMergeSetupDlgForm(const QString& prompt, QWidget* parent = nullptr);

    QLabel* PromptLabel;
    QRadioButton* RemoveButton;
    QRadioButton* CommentButton;
    QLineEdit* CommentEdit;

    bool CommentSelected() const;
    QString CommentText() const;
    void SetChoice(bool comment, const QString& text);

protected:
    void showEvent(QShowEvent* event) override;
};

// Runs the dialog modally; true for OK. Tests replace it to answer without a modal loop.
using TMergeSetupRunner = std::function<bool(TMergeSetupDlgForm&)>;
bool ExecMergeSetupDialog(TMergeSetupDlgForm& dialog);

// Shows the dialog with the choice remembered under the prompt's settings subkey; on OK
// stores the new choice there and returns the comment prefix ("" for Remove, else "//" and
// the edit box's text). Nothing on Cancel.
std::optional<std::string> MergeSetup(TAppRegistry* registry, const QString& prompt,
                                      QWidget* parent, const TMergeSetupRunner& run);

} // namespace quennet::gui
