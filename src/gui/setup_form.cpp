// Setup dialog.
#include "setup_form.h"

#include "app_registry.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFontComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "forms/form_compare.h"
#include "model/reading_settings.h"
#include "model/target.h"
#include "viewrules/theme.h"

namespace quennet::gui {

const std::vector<std::pair<QString, int>>& FontCharsets() {
    static const std::vector<std::pair<QString, int>> sets = {
        {QStringLiteral("ANSI"), 0},          {QStringLiteral("DEFAULT"), 1},
        {QStringLiteral("SYMBOL"), 2},        {QStringLiteral("MAC"), 77},
        {QStringLiteral("SHIFTJIS"), 128},    {QStringLiteral("HANGEUL"), 129},
        {QStringLiteral("JOHAB"), 130},       {QStringLiteral("GB2312"), 134},
        {QStringLiteral("CHINESEBIG5"), 136}, {QStringLiteral("GREEK"), 161},
        {QStringLiteral("TURKISH"), 162},     {QStringLiteral("VIETNAMESE"), 163},
        {QStringLiteral("HEBREW"), 177},      {QStringLiteral("ARABIC"), 178},
        {QStringLiteral("BALTIC"), 186},      {QStringLiteral("RUSSIAN"), 204},
        {QStringLiteral("THAI"), 222},        {QStringLiteral("EASTEUROPE"), 238},
        {QStringLiteral("OEM"), 255},
    };
    return sets;
}

TFormNoiseValues DefaultFormNoise() {
    TFormNoiseValues values;
    for (const std::string& name : forms::DefaultNoiseRules().Names)
        values.Names << QString::fromStdString(name);
    return values;
}

forms::NoiseRules NoiseRulesOf(const TFormNoiseValues& values) {
    forms::NoiseRules rules = forms::DefaultNoiseRules();
    rules.Names.clear();
    for (const QString& name : values.Names)
        rules.Names.push_back(name.toStdString());
    return rules;
}

TFormNoiseValues ReadFormNoise(TAppRegistry* registry) {
    TFormNoiseValues values = DefaultFormNoise();
    if (!registry || !registry->OpenSettingsKey(QString(), false)) return values;
    values.Mode = registry->ReadString(QStringLiteral("FormNoise"), values.Mode);
    registry->ReadStringList(QStringLiteral("FormNoiseNames"), values.Names);
    registry->CloseKey();
    return values;
}

QStringList MemoLines(const QPlainTextEdit* memo) {
    QString text = memo->toPlainText();
    if (text.isEmpty()) return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    // A final line break ends the last line; it does not start another.
    if (lines.size() > 1 && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

namespace {
QPlainTextEdit* MakeMemo(QWidget* parent) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    return memo;
}
} // namespace

TSetupForm::TSetupForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Setup"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    Pages = new QTabWidget(this);

    auto* definesPage = new QWidget;
    auto* dl = new QVBoxLayout(definesPage);
    dl->addWidget(new QLabel(tr("One compiler symbol per line:"), definesPage));
    DefinesMemo = MakeMemo(definesPage);
    dl->addWidget(DefinesMemo);
    ReadingBox = new QWidget(definesPage);
    auto* readingRows = new QFormLayout(ReadingBox);
    readingRows->setContentsMargins(0, 0, 0, 0);
    auto* note = new QLabel(tr("With VER130, WIN32 and CPU386 all listed, the target's own "
                               "symbols stand in their place."),
                            ReadingBox);
    note->setWordWrap(true);
    readingRows->addRow(note);
    DialectCombo = new QComboBox(ReadingBox);
    for (const char* name : {"auto", "delphi", "fpc", "classic"})
        DialectCombo->addItem(QString::fromLatin1(name));
    readingRows->addRow(tr("Dialect"), DialectCombo);
    TargetCombo = new QComboBox(ReadingBox);
    TargetCombo->addItem(QString::fromLatin1(model::kAutoTarget));
    for (const auto& t : model::Targets())
        TargetCombo->addItem(QString::fromStdString(t.Name));
    readingRows->addRow(tr("Target"), TargetCombo);
    dl->addWidget(ReadingBox);
    Pages->addTab(definesPage, tr("Compiler definitions"));

    IncludePage = new QWidget;
    auto* il = new QVBoxLayout(IncludePage);
    auto* includeNote =
        new QLabel(tr("Folders searched for include files, in this order, after the folder of "
                      "the file that includes them:"),
                   IncludePage);
    includeNote->setWordWrap(true);
    il->addWidget(includeNote);
    auto* listRow = new QHBoxLayout;
    IncludeList = new QListWidget(IncludePage);
    listRow->addWidget(IncludeList);
    auto* buttonColumn = new QVBoxLayout;
    AddFolderButton = new QPushButton(tr("Add..."), IncludePage);
    RemoveFolderButton = new QPushButton(tr("Remove"), IncludePage);
    UpButton = new QPushButton(tr("Move up"), IncludePage);
    DownButton = new QPushButton(tr("Move down"), IncludePage);
    for (QPushButton* b : {AddFolderButton, RemoveFolderButton, UpButton, DownButton}) {
        b->setAutoDefault(false);
        buttonColumn->addWidget(b);
    }
    buttonColumn->addStretch();
    listRow->addLayout(buttonColumn);
    il->addLayout(listRow);
    Pages->addTab(IncludePage, tr("Include folders"));

    auto* extPage = new QWidget;
    auto* el = new QVBoxLayout(extPage);
    el->addWidget(new QLabel(tr("One filter per line: description|patterns"), extPage));
    ExtensionsMemo = MakeMemo(extPage);
    el->addWidget(ExtensionsMemo);
    Pages->addTab(extPage, tr("Extensions"));

    auto* fontPage = new QWidget;
    auto* fl = new QFormLayout(fontPage);
    FontCombo = new QFontComboBox(fontPage);
    FontCombo->setFontFilters(QFontComboBox::MonospacedFonts);
    FontCombo->setEditable(false);
    SizeEdit = new QSpinBox(fontPage);
    SizeEdit->setRange(7, 20);
    SizeEdit->setValue(10);
    CharsetCombo = new QComboBox(fontPage);
    for (const auto& [name, value] : FontCharsets())
        CharsetCombo->addItem(name, value);
    SelectCharset(1);
    SampleMemo = new QPlainTextEdit(tr("This is the sample text"), fontPage);
    ThemeCombo = new QComboBox(fontPage);
    for (viewrules::Theme t :
         {viewrules::Theme::System, viewrules::Theme::Light, viewrules::Theme::Dark})
        ThemeCombo->addItem(QString::fromLatin1(viewrules::ThemeName(t)));
    fl->addRow(tr("Editor Font"), FontCombo);
    fl->addRow(tr("Size"), SizeEdit);
    fl->addRow(tr("Charset"), CharsetCombo);
    fl->addRow(tr("Sample Text"), SampleMemo);
    fl->addRow(tr("Theme"), ThemeCombo);
    Pages->addTab(fontPage, tr("Font"));

    FormsPage = new QWidget;
    auto* formRows = new QFormLayout(FormsPage);
    NoiseModeCombo = new QComboBox(FormsPage);
    NoiseModeCombo->addItem(tr("Show apart, dimmed"), QStringLiteral("show"));
    NoiseModeCombo->addItem(tr("Hide, count only"), QStringLiteral("hide"));
    NoiseModeCombo->addItem(tr("Ignore"), QStringLiteral("ignore"));
    formRows->addRow(tr("Designer noise"), NoiseModeCombo);
    auto* noiseNote = new QLabel(tr("Properties the form designer rewrites by itself, one per "
                                    "line (Name* for every name that begins so):"),
                                 FormsPage);
    noiseNote->setWordWrap(true);
    formRows->addRow(noiseNote);
    NoiseNamesMemo = MakeMemo(FormsPage);
    formRows->addRow(NoiseNamesMemo);
    RestoreNoiseButton = new QPushButton(tr("Restore defaults"), FormsPage);
    RestoreNoiseButton->setAutoDefault(false);
    formRows->addRow(RestoreNoiseButton);
    Pages->addTab(FormsPage, tr("Form files"));
    connect(RestoreNoiseButton, &QPushButton::clicked, this,
            [this] { SetFormNoise(DefaultFormNoise()); });

    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Pages);
    layout->addWidget(Buttons);

    connect(FontCombo, &QFontComboBox::currentFontChanged, this, [this] { UpdateSample(); });
    connect(SizeEdit, &QSpinBox::valueChanged, this, [this] { UpdateSample(); });
    connect(CharsetCombo, &QComboBox::currentIndexChanged, this, [this] { UpdateSample(); });
    connect(AddFolderButton, &QPushButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, tr("Include folder"));
        if (!folder.isEmpty()) AddIncludeFolder(QDir::toNativeSeparators(folder));
    });
    connect(RemoveFolderButton, &QPushButton::clicked, this,
            [this] { delete IncludeList->currentItem(); });
    connect(UpButton, &QPushButton::clicked, this, [this] { MoveIncludeFolder(-1); });
    connect(DownButton, &QPushButton::clicked, this, [this] { MoveIncludeFolder(1); });
    connect(IncludeList, &QListWidget::currentRowChanged, this, [this] { UpdateFolderButtons(); });
    UpdateSample();
    UpdateFolderButtons();
    setFixedSize(460, 340);
}

void TSetupForm::SelectCharset(int value) {
    CharsetCombo->setCurrentIndex(CharsetCombo->findData(value));
}

int TSetupForm::SelectedCharset() const {
    return CharsetCombo->currentIndex() >= 0 ? CharsetCombo->currentData().toInt() : -1;
}

void TSetupForm::SetReading(const TReadingValues& values) {
    DialectCombo->setCurrentIndex(std::max(0, DialectCombo->findText(values.Dialect)));
    // An unknown stored target shows, and is kept, as auto.
    TargetCombo->setCurrentIndex(
        std::max(0, TargetCombo->findText(values.Target, Qt::MatchFixedString)));
    IncludeList->clear();
    for (const QString& folder : values.IncludeDirs)
        AddIncludeFolder(folder);
    IncludeList->setCurrentRow(-1);
}

TReadingValues TSetupForm::Reading() const {
    TReadingValues values;
    values.Dialect = DialectCombo->currentText();
    values.Target = TargetCombo->currentText();
    for (int i = 0; i < IncludeList->count(); ++i)
        values.IncludeDirs << IncludeList->item(i)->text();
    return values;
}

void TSetupForm::SetFormNoise(const TFormNoiseValues& values) {
    NoiseModeCombo->setCurrentIndex(std::max(0, NoiseModeCombo->findData(values.Mode)));
    NoiseNamesMemo->setPlainText(values.Names.join(QLatin1Char('\n')));
}

TFormNoiseValues TSetupForm::FormNoise() const {
    TFormNoiseValues values;
    values.Mode = NoiseModeCombo->currentData().toString();
    // Blank lines name nothing.
    for (const QString& line : MemoLines(NoiseNamesMemo))
        if (!line.trimmed().isEmpty()) values.Names << line.trimmed();
    return values;
}

void TSetupForm::AddIncludeFolder(const QString& folder) {
    auto* item = new QListWidgetItem(folder, IncludeList);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    IncludeList->setCurrentItem(item);
}

void TSetupForm::MoveIncludeFolder(int delta) {
    const int from = IncludeList->currentRow();
    const int to = from + delta;
    if (from < 0 || to < 0 || to >= IncludeList->count()) return;
    IncludeList->insertItem(to, IncludeList->takeItem(from));
    IncludeList->setCurrentRow(to);
}

void TSetupForm::UpdateFolderButtons() {
    const int row = IncludeList->currentRow();
    RemoveFolderButton->setEnabled(row >= 0);
    UpButton->setEnabled(row > 0);
    DownButton->setEnabled(row >= 0 && row + 1 < IncludeList->count());
}

void TSetupForm::UpdateSample() {
    // Qt chooses glyphs by Unicode, so the character set has no effect on the sample's look.
    QFont f = FontCombo->currentFont();
    f.setPointSize(SizeEdit->value());
    SampleMemo->setFont(f);
}

bool ExecuteSetup(QWidget* parent, QStringList& defines, QStringList& extensions, QString& fontName,
                  int& fontCharset, int& fontSize, TReadingValues* reading, QString* theme,
                  TFormNoiseValues* formNoise) {
    TSetupForm form(parent);
    if (formNoise)
        form.SetFormNoise(*formNoise);
    else
        form.Pages->setTabVisible(form.Pages->indexOf(form.FormsPage), false);
    form.ReadingBox->setVisible(reading != nullptr);
    if (reading)
        form.SetReading(*reading);
    else
        form.Pages->setTabVisible(form.Pages->indexOf(form.IncludePage), false);
    form.DefinesMemo->setPlainText(defines.join(QLatin1Char('\n')));
    form.ExtensionsMemo->setPlainText(extensions.join(QLatin1Char('\n')));
    form.FontCombo->setCurrentFont(QFont(fontName));
    // A stored font that is not installed stays as it is unless another one is picked.
    const QString shownFamily = form.FontCombo->currentFont().family();
    form.SizeEdit->setValue(fontSize);
    form.SelectCharset(fontCharset);
    form.ThemeCombo->setVisible(theme != nullptr);
    if (theme)
        form.ThemeCombo->setCurrentIndex(
            std::max(0, form.ThemeCombo->findText(*theme, Qt::MatchFixedString)));
    if (form.exec() != QDialog::Accepted) return false;
    if (theme) *theme = form.ThemeCombo->currentText();
    defines = MemoLines(form.DefinesMemo);
    extensions = MemoLines(form.ExtensionsMemo);
    const QString family = form.FontCombo->currentFont().family();
    if (family != shownFamily || family.compare(fontName, Qt::CaseInsensitive) == 0)
        fontName = family;
    fontSize = form.SizeEdit->value();
    if (form.SelectedCharset() >= 0) fontCharset = form.SelectedCharset();
    if (reading) *reading = form.Reading();
    if (formNoise) *formNoise = form.FormNoise();
    return true;
}

} // namespace quennet::gui
