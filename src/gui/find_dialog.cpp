// The find dialog's layout.
#include "find_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quennet::gui {

TFindDialog::TFindDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Find"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setModal(false);
    auto* label = new QLabel(tr("Fi&nd what:"));
    FindText = new QLineEdit;
    label->setBuddy(FindText);
    WholeWord = new QCheckBox(tr("Match &whole word only"));
    MatchCase = new QCheckBox(tr("Match &case"));
    FindNextButton = new QPushButton(tr("&Find Next"));
    FindNextButton->setDefault(true);
    FindNextButton->setEnabled(false);
    auto* cancel = new QPushButton(tr("Cancel"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(FindText, 0, 1);
    layout->addWidget(FindNextButton, 0, 2);
    layout->addWidget(WholeWord, 1, 0, 1, 2);
    layout->addWidget(cancel, 1, 2);
    layout->addWidget(MatchCase, 2, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(FindText, &QLineEdit::textChanged, this,
            [this](const QString& t) { FindNextButton->setEnabled(!t.isEmpty()); });
    connect(FindNextButton, &QPushButton::clicked, this, &TFindDialog::FindNext);
    connect(cancel, &QPushButton::clicked, this, &QDialog::hide);
}

} // namespace quennet::gui
