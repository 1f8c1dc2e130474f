// A modeless find dialog: the text, whole word, match case and Find Next. It always searches
// towards the end, so it offers no direction.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace quennet::gui {

class TFindDialog : public QDialog {
    Q_OBJECT
public:
    explicit TFindDialog(QWidget* parent = nullptr);

    QLineEdit* FindText;
    QCheckBox* WholeWord;
    QCheckBox* MatchCase;
    QPushButton* FindNextButton;

signals:
    void FindNext();
};

} // namespace quennet::gui
