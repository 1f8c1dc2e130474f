// The setup dialog: compiler symbols, dialect, target and include folders, file-dialog filters
// and the editor font.
#pragma once

#include <QDialog>
#include <QStringList>
#include <utility>
#include <vector>

#include "forms/form_compare.h"

class QComboBox;
class QDialogButtonBox;
class QFontComboBox;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace quennet::gui {

class TAppRegistry;

// How the main window's compares read the files; stored beside the symbols. Names as stored:
// what they mean is decided by model::StoredReading.
struct TReadingValues {
    QString Dialect = QStringLiteral("auto");
    QString Target = QStringLiteral("auto");
    QStringList IncludeDirs;
};

// How form pairs treat the properties the designer rewrites by itself: "show", "hide" or
// "ignore", and the property names (a trailing '*' for a prefix).
struct TFormNoiseValues {
    QString Mode = QStringLiteral("show");
    QStringList Names;
};
// The engine's own list, for the first start and "Restore defaults".
TFormNoiseValues DefaultFormNoise();
// The rules the engine applies for these values.
forms::NoiseRules NoiseRulesOf(const TFormNoiseValues& values);
// The stored values ("FormNoise", "FormNoiseNames"); the defaults where none are stored.
TFormNoiseValues ReadFormNoise(TAppRegistry* registry);

// Character sets offered, in list order: name shown, value stored.
const std::vector<std::pair<QString, int>>& FontCharsets();

class TSetupForm : public QDialog {
    Q_OBJECT
public:
    explicit TSetupForm(QWidget* parent = nullptr);

    QTabWidget* Pages;
    QPlainTextEdit* DefinesMemo;
    QWidget* ReadingBox;     // dialect and target, shown only for the main window's setup
    QComboBox* DialectCombo; // "auto", "delphi", "fpc", "classic"
    QComboBox* TargetCombo;  // "auto", then the targets by name

    QWidget* IncludePage;
    QListWidget* IncludeList; // entries editable in place
    QPushButton* AddFolderButton;
    QPushButton* RemoveFolderButton;
    QPushButton* UpButton;
    QPushButton* DownButton;

    QPlainTextEdit* ExtensionsMemo;
    QFontComboBox* FontCombo;
    QSpinBox* SizeEdit;
    QComboBox* CharsetCombo;
    QComboBox* ThemeCombo; // "System", "Light", "Dark"
    QPlainTextEdit* SampleMemo;

    QWidget* FormsPage;        // shown only for the main window's setup
    QComboBox* NoiseModeCombo; // data: "show", "hide", "ignore"
    QPlainTextEdit* NoiseNamesMemo;
    QPushButton* RestoreNoiseButton;
    QDialogButtonBox* Buttons;

    // Selects the entry of that value, or none.
    void SelectCharset(int value);
    // -1 when none is selected.
    int SelectedCharset() const;

    void SetReading(const TReadingValues& values);
    TReadingValues Reading() const;
    void SetFormNoise(const TFormNoiseValues& values);
    TFormNoiseValues FormNoise() const;
    // Appends a folder and selects it; the Add button asks for one first.
    void AddIncludeFolder(const QString& folder);
    // Moves the selected folder by delta places, within the list.
    void MoveIncludeFolder(int delta);

private:
    void UpdateSample();
    void UpdateFolderButtons();
};

// Shows the dialog modally with the given values; on OK replaces them and returns true.
// With reading given, the dialog also shows and returns dialect, target and include folders.
bool ExecuteSetup(QWidget* parent, QStringList& defines, QStringList& extensions, QString& fontName,
                  int& fontCharset, int& fontSize, TReadingValues* reading = nullptr,
                  QString* theme = nullptr, TFormNoiseValues* formNoise = nullptr);

// A memo's text as lines, empty lines included; an empty memo has none.
QStringList MemoLines(const QPlainTextEdit* memo);

} // namespace quennet::gui
