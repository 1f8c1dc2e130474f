// The setup dialog: compiler symbols and dialect, file-dialog filters and the editor font.
#pragma once

#include <QDialog>
#include <QStringList>
#include <utility>
#include <vector>

class QComboBox;
class QDialogButtonBox;
class QFontComboBox;
class QPlainTextEdit;
class QSpinBox;
class QTabWidget;

namespace quennet::gui {

// Character sets offered, in list order: name shown, value stored.
const std::vector<std::pair<QString, int>>& FontCharsets();

class TSetupForm : public QDialog {
    Q_OBJECT
public:
    explicit TSetupForm(QWidget* parent = nullptr);

    QTabWidget* Pages;
    QPlainTextEdit* DefinesMemo;
    QComboBox* DialectCombo; // "auto", "delphi", "fpc", "classic"

    QPlainTextEdit* ExtensionsMemo;
    QFontComboBox* FontCombo;
    QSpinBox* SizeEdit;
    QComboBox* CharsetCombo;
    QPlainTextEdit* SampleMemo;
    QDialogButtonBox* Buttons;

    // Selects the entry of that value, or none.
    void SelectCharset(int value);
    // -1 when none is selected.
    int SelectedCharset() const;

private:
    void UpdateSample();
};

// Shows the dialog modally with the given values; on OK replaces them and returns true.
// With dialect given, the dialog also shows and returns the dialect name.
bool ExecuteSetup(QWidget* parent, QStringList& defines, QStringList& extensions, QString& fontName,
                  int& fontCharset, int& fontSize, QString* dialect = nullptr);

// A memo's text as lines, empty lines included; an empty memo has none.
QStringList MemoLines(const QPlainTextEdit* memo);

} // namespace quennet::gui
