// Main window: layout, program start with a command line, the Diff command and the settings.
#include "main_form.h"

#include "app_registry.h"
#include "app_theme.h"
#include "diff_rpt_form.h"
#include "filename_edit.h"
#include "find_dialog.h"
#include "navigator_form.h"
#include "overview_strip.h"
#include "setup_form.h"
#include "source_editor.h"
#include "source_views.h"
#include "user_dialogs.h"

#include "diff/compare_sources.h"
#include "diff/comparison_outcome.h"
#include "model/reading_settings.h"
#include "model/source_files.h"
#include "render/report_writer.h"
#include "viewrules/form_view.h"
#include "viewrules/window_placement.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <optional>
#include <utility>

namespace quennet::gui {

namespace {

const QStringList kDefaultDefines = {QStringLiteral("VER130"), QStringLiteral("WIN32"),
                                     QStringLiteral("CPU386")};
// The list earlier versions stored: read as "never changed", so it gives way to today's.
const QStringList kFormerExtensions = {QStringLiteral("Delphi source (*.pas;*.dpr)|*.pas;*.dpr"),
                                       QStringLiteral("Delphi backup (*.~pa;*.~dp)|*.~pa;*.~dp"),
                                       QStringLiteral("All files (*.*)|*.*")};
const QString kMainKey = QStringLiteral("TMainForm");
constexpr int kDefaultTreeWidth = 165; // the tree pane on first start
constexpr int kSplitterHandle = 4;

QStringList DefaultExtensions() {
    QStringList filters;
    for (const model::FileFilter& f : model::OpenDialogFilters()) {
        const QString patterns = QString::fromStdString(f.Patterns);
        filters
            << QStringLiteral("%1 (%2)|%2").arg(QString::fromStdString(f.Description), patterns);
    }
    return filters;
}

QString ExistingFile(const QString& name) {
    QFileInfo info(name);
    return info.isFile() ? QDir::toNativeSeparators(info.absoluteFilePath()) : QString();
}

std::vector<std::string> ToSymbols(const QStringList& defines) {
    std::vector<std::string> symbols;
    symbols.reserve(defines.size());
    for (const QString& d : defines)
        symbols.push_back(d.toLatin1().toStdString());
    return symbols;
}

std::vector<std::string> ToPaths(const QStringList& folders) {
    std::vector<std::string> paths;
    paths.reserve(folders.size());
    for (const QString& f : folders)
        paths.push_back(QFile::encodeName(f).toStdString());
    return paths;
}

// Small tool-bar pictures for commands the style has no standard icon for.
QIcon TreeIcon(bool plus) {
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setPen(QColor(90, 90, 90));
    g.setBrush(Qt::white);
    g.drawRect(2, 2, 11, 11);
    g.fillRect(5, 7, 6, 2, QColor(30, 30, 30));
    if (plus) g.fillRect(7, 5, 2, 6, QColor(30, 30, 30));
    return QIcon(p);
}

QIcon SplitIcon() {
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setPen(QColor(90, 90, 90));
    g.setBrush(Qt::white);
    g.drawRect(1, 2, 6, 11);
    g.drawRect(8, 2, 6, 11);
    return QIcon(p);
}

// Keeps the first pane's share of the splitter when the splitter itself is resized.
class TProportionalSplitter : public QSplitter {
public:
    using QSplitter::QSplitter;

protected:
    void resizeEvent(QResizeEvent* event) override {
        const bool horizontal = orientation() == Qt::Horizontal;
        const int before = horizontal ? event->oldSize().width() : event->oldSize().height();
        const int after = horizontal ? event->size().width() : event->size().height();
        const int first = sizes().value(0);
        QSplitter::resizeEvent(event);
        if (before <= 0 || after <= 0 || count() != 2 || before == after) return;
        const int scaled = static_cast<int>(static_cast<long long>(after) * first / before);
        setSizes({scaled, std::max(0, after - scaled - handleWidth())});
    }
};

// A pane's title row: caption and file name, then its buttons. When the pane is too narrow for
// a readable file name beside the buttons (side by side on a small screen), the buttons take a
// second row so the name keeps the pane's whole width.
class TPaneHeader : public QWidget {
public:
    TPaneHeader(QWidget* caption, QWidget* name, const QList<QWidget*>& buttons) {
        rows_ = new QBoxLayout(QBoxLayout::LeftToRight, this);
        rows_->setContentsMargins(4, 0, 4, 0);
        rows_->setSpacing(4);
        auto* nameRow = new QHBoxLayout;
        nameRow->setSpacing(4);
        nameRow->addWidget(caption);
        nameRow->addWidget(name, 1);
        buttonRow_ = new QHBoxLayout;
        buttonRow_->setSpacing(4);
        buttonRow_->addStretch(0);
        for (QWidget* b : buttons)
            buttonRow_->addWidget(b);
        rows_->addLayout(nameRow, 1);
        rows_->addLayout(buttonRow_);
        caption_ = caption;
        buttons_ = buttons;
    }

    bool TwoRows() const { return rows_->direction() == QBoxLayout::TopToBottom; }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        int buttons = 0;
        for (QWidget* b : buttons_)
            buttons += b->sizeHint().width() + rows_->spacing();
        const int nameRoom = event->size().width() - caption_->sizeHint().width() - buttons - 16;
        const bool twoRows = nameRoom < kReadableNameChars * fontMetrics().averageCharWidth();
        if (twoRows == TwoRows()) return;
        rows_->setDirection(twoRows ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
        buttonRow_->setStretch(0, twoRows ? 1 : 0);
        updateGeometry(); // the pane's layout must ask the new height
    }

private:
    static constexpr int kReadableNameChars = 40;
    QBoxLayout* rows_ = nullptr;
    QHBoxLayout* buttonRow_ = nullptr;
    QWidget* caption_ = nullptr;
    QList<QWidget*> buttons_;
};

// The names a part is found by (tests, the screenshot mode): its field name in lower camel case,
// after the side for a pane's parts ("oldEditor") and after "action." for an action
// ("action.editMerged", "action.oldPopupSave").
void NameParts(TMainFormWidgets& ui) {
    const std::pair<QObject*, const char*> parts[] = {
        {ui.DiffTree, "diffTree"},           {ui.Pages, "pages"},
        {ui.SourceTab, "sourceTab"},         {ui.DiffTab, "diffTab"},
        {ui.MainSplitter, "mainSplitter"},   {ui.SourceSplitter, "sourceSplitter"},
        {ui.DiffEditor, "diffEditor"},       {ui.PriorButton, "priorButton"},
        {ui.NextButton, "nextButton"},       {ui.Progress, "progress"},
        {ui.StatusMessage, "statusMessage"}, {ui.TreePopup, "treePopup"},
        {ui.RecentMenu, "recentMenu"},
    };
    for (const auto& [part, name] : parts)
        part->setObjectName(QLatin1String(name));
    const std::pair<QAction*, const char*> actions[] = {
        {ui.Expand, "expand"},
        {ui.Collapse, "collapse"},
        {ui.Diff, "diff"},
        {ui.ShowReport, "showReport"},
        {ui.EditMerged, "editMerged"},
        {ui.Navigator, "navigator"},
        {ui.SplitMode, "splitMode"},
        {ui.NextDeclaration, "nextDeclaration"},
        {ui.PriorDeclaration, "priorDeclaration"},
        {ui.SyncScroll, "syncScroll"},
        {ui.LineNumbers, "lineNumbers"},
        {ui.OpenOld, "openOld"},
        {ui.OpenNew, "openNew"},
        {ui.OpenWorkspace, "openWorkspace"},
        {ui.OpenFocused, "openFocused"},
        {ui.SaveFocused, "saveFocused"},
        {ui.Find, "find"},
        {ui.FindNext, "findNext"},
        {ui.FindPrior, "findPrior"},
        {ui.GoToLine, "goToLine"},
        {ui.SaveOldAs, "saveOldAs"},
        {ui.SaveNewAs, "saveNewAs"},
        {ui.Setup, "setup"},
        {ui.Exit, "exit"},
        {ui.HelpContents, "helpContents"},
        {ui.HomePage, "homePage"},
        {ui.About, "about"},
    };
    for (const auto& [action, name] : actions)
        action->setObjectName(QStringLiteral("action.") + QLatin1String(name));
    for (const bool old : {true, false}) {
        TSourcePane& pane = ui.Pane(old);
        const QString side = old ? QStringLiteral("old") : QStringLiteral("new");
        const std::pair<QObject*, const char*> paneParts[] = {
            {pane.Panel, "Panel"},
            {pane.Header, "Header"},
            {pane.FilenameEdit, "FilenameEdit"},
            {pane.EnableEditButton, "EnableEditButton"},
            {pane.ReloadButton, "ReloadButton"},
            {pane.SaveButton, "SaveButton"},
            {pane.Editor, "Editor"},
            {pane.Strip, "Strip"},
            {pane.ChangedBar, "ChangedBar"},
            {pane.ChangedText, "ChangedText"},
            {pane.ChangedReload, "ChangedReload"},
            {pane.StatusBar, "StatusBar"},
            {pane.CaretPanel, "CaretPanel"},
            {pane.ModifiedPanel, "ModifiedPanel"},
            {pane.WarningPanel, "WarningPanel"},
            {pane.Popup, "Popup"},
        };
        for (const auto& [part, name] : paneParts)
            part->setObjectName(side + QLatin1String(name));
        const std::pair<QAction*, const char*> popup[] = {
            {pane.PopupOpen, "PopupOpen"}, {pane.PopupReload, "PopupReload"},
            {pane.PopupSave, "PopupSave"}, {pane.PopupUndo, "PopupUndo"},
            {pane.PopupRedo, "PopupRedo"}, {pane.PopupEnableEdit, "PopupEnableEdit"},
        };
        for (const auto& [action, name] : popup)
            action->setObjectName(QStringLiteral("action.") + side + QLatin1String(name));
    }
}

} // namespace

QString BackupFileName(const QString& fileName) {
    qsizetype sep = -1;
    for (QChar c : {QLatin1Char('\\'), QLatin1Char('/'), QLatin1Char(':')})
        sep = std::max(sep, fileName.lastIndexOf(c));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    QString base = dot > sep ? fileName.left(dot) : fileName;
    return base + QStringLiteral(".~pa");
}

CommandLineFiles ResolveCommandLine(const QStringList& params) {
    CommandLineFiles files;
    if (params.isEmpty()) return files;
    QString newFile = ExistingFile(params[0]);
    if (newFile.isEmpty()) return files;
    QString oldFile;
    if (params.size() == 2) oldFile = ExistingFile(params[1]);
    if (oldFile.isEmpty()) oldFile = ExistingFile(BackupFileName(params[0]));
    if (oldFile.isEmpty()) return files;
    files.OldFileName = oldFile;
    files.NewFileName = newFile;
    return files;
}

QString ParseWarning(const QString& fileName, const model::ParseStatus& status) {
    return QString::fromStdString(diff::ParseStopNote(fileName.toStdString(), status));
}

QStringList ReportLines(const diff::ComparisonResult& result) {
    const render::ComparisonReport report = render::ReportOf(result);
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(report.lines.size()));
    for (size_t i = 0; i < report.lines.size(); ++i) {
        const std::string& l = report.lines[i];
        const bool body = i >= render::kReportHeadingLines && i < report.bodyEnd;
        lines << (body ? QString::fromLatin1(l.data(), static_cast<qsizetype>(l.size()))
                       : QString::fromStdString(l));
    }
    return lines;
}

int CountDifferences(const diff::TSourceDiffList& list) {
    int n = 0;
    for (size_t i = 0; i < list.Count(); ++i) {
        const diff::TSourceDiffItem* item = list.Items(i);
        if (item->State != diff::Group && item->Children.Count() == 0) ++n;
        n += CountDifferences(item->Children);
    }
    return n;
}

template <class F> void TMainForm::Command(F&& f) {
    RunCommand(dialogs_, this, f);
}

TMainForm::TMainForm(TAppRegistry* registry, TUserDialogs& dialogs, QWidget* parent)
    : TAdvForm(registry, parent), dialogs_(dialogs) {
    stateImages_ = MakeStateImages();
    ui_.Progress = new TProgressDialog(this);
    ui_.Progress->SetCaption(tr("Make Diff"));
    ui_.Progress->SetButtonCaption(tr("Abort"));
    ui_.Progress->SetMeterVisible(false);
    ui_.Progress->SetButtonEnabled(true); // Abort drops the comparison under way

    CreateActions();
    CreateMenus();
    CreateToolBar();

    ui_.DiffTree = new QTreeWidget;
    ui_.DiffTree->setAccessibleName(tr("Difference tree"));
    ui_.DiffTree->setHeaderHidden(true);
    ui_.DiffTree->setUniformRowHeights(true);
    ui_.DiffTree->setIndentation(14);
    ui_.DiffTree->setIconSize(QSize(16, 16));
    ui_.DiffTree->setSelectionMode(QAbstractItemView::SingleSelection);
    ui_.DiffTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui_.DiffTree->header()->setStretchLastSection(false);
    ui_.DiffTree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    ui_.DiffTree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui_.DiffTree, &QTreeWidget::currentItemChanged, this,
            [this] { Command([this] { onTreeSelectionChanged(); }); });
    // Opened nodes may bring longer captions.
    connect(ui_.DiffTree, &QTreeWidget::itemExpanded, this, [this] { WidenTreeForCaptions(); });
    connect(ui_.DiffTree, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        ui_.TreePopup->exec(ui_.DiffTree->viewport()->mapToGlobal(pos));
    });

    // Source View tab: old pane, splitter, new pane.
    ui_.SourceTab = new QWidget;
    auto* sourceLayout = new QVBoxLayout(ui_.SourceTab);
    sourceLayout->setContentsMargins(0, 0, 0, 0);
    ui_.SourceSplitter = new TProportionalSplitter(Qt::Vertical, ui_.SourceTab);
    ui_.SourceSplitter->setHandleWidth(kSplitterHandle);
    ui_.SourceSplitter->setChildrenCollapsible(false);
    ui_.SourceSplitter->addWidget(CreateSourcePane(ui_.Old, tr("Old File"), true));
    ui_.SourceSplitter->addWidget(CreateSourcePane(ui_.New, tr("New File"), false));
    views_ = new TSourceViews(ui_.Old.Editor, ui_.New.Editor, this);
    sourceLayout->addWidget(ui_.SourceSplitter);

    ui_.DiffTab = CreateDiffTab();

    ui_.Pages = new QTabWidget;
    ui_.Pages->setDocumentMode(true);
    ui_.Pages->addTab(ui_.SourceTab, tr("Source View"));
    ui_.Pages->addTab(ui_.DiffTab, tr("Diff View"));

    ui_.MainSplitter = new QSplitter(Qt::Horizontal);
    ui_.MainSplitter->setHandleWidth(kSplitterHandle);
    ui_.MainSplitter->setChildrenCollapsible(false);
    ui_.MainSplitter->addWidget(ui_.DiffTree);
    ui_.MainSplitter->addWidget(ui_.Pages);
    ui_.MainSplitter->setStretchFactor(0, 0);
    ui_.MainSplitter->setStretchFactor(1, 1);
    ui_.MainSplitter->setSizes({kDefaultTreeWidth, 1000});
    setCentralWidget(ui_.MainSplitter);

    ui_.StatusMessage = new QLabel;
    statusBar()->addWidget(ui_.StatusMessage, 1);

    setAcceptDrops(false);
    // A stored placement replaces this when the window is first shown.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const viewrules::ScreenRect r =
            viewrules::FirstWindowRect({area.x(), area.y(), area.width(), area.height()});
        setGeometry(r.X, r.Y, r.Width, r.Height);
    } else {
        resize(1100, 720);
    }

    // Creation order of the window's state: defaults, stored settings, filters, no selection.
    settings_.Defines = kDefaultDefines;
    settings_.Extensions = DefaultExtensions();
    ReadSettings();
    if (settings_.Extensions == kFormerExtensions) settings_.Extensions = DefaultExtensions();
    ReadViewSettings();
    // The actions start checked as stored; the views take that state once they exist.
    views_->SetLineNumbers(ui_.LineNumbers->isChecked());
    ApplyExtensions();
    // The font chosen in an earlier session is used from the start, not only after Setup.
    const QFont viewFont = ui_.Old.Editor->editorFont();
    if (settings_.FontName != viewFont.family() || settings_.FontSize != viewFont.pointSize())
        ApplyEditorFont();
    ui_.DiffTree->clear();
    ui_.Old.FilenameEdit->Clear();
    ui_.New.FilenameEdit->Clear();
    setWindowTitle(QStringLiteral("Quennet Pro"));
    ConnectFileCommands();
    // Ctrl+W closes secondary windows; here Ctrl+Q ends the program.
    SetCloseShortcut(false);
    ReadRecent();
    FillRecentMenu();
    NameParts(ui_);
}

void TMainForm::SetCompanions(TDiffRptForm* report, TNavigatorForm* form) {
    reportForm_ = report;
    navigatorForm_ = form;
    if (!form) return;
    form->SetDialogs(&dialogs_);
    form->SetReadingSource([this] { return CurrentReading(); });
    connect(form, &TNavigatorForm::PairChosen, this,
            [this](const QString& oldFile, const QString& newFile, const QString& oldFolder,
                   const QString& newFolder) {
                Command([&] { OpenPair(oldFile, newFile, oldFolder, newFolder); });
            });
}

TMainForm::~TMainForm() {
    if (WasShown()) {
        SavePlacement();
        SaveLayout();
    }
    FreeComparison();
}

void TMainForm::CreateActions() {
    auto make = [this](const QString& text, const QString& hint = QString()) {
        auto* a = new QAction(text, this);
        if (!hint.isEmpty()) a->setToolTip(hint);
        return a;
    };
    ui_.Expand = make(tr("Expand"), tr("Expand"));
    ui_.Expand->setIcon(TreeIcon(true));
    ui_.Collapse = make(tr("Collapse"), tr("Collapse"));
    ui_.Collapse->setIcon(TreeIcon(false));
    ui_.Diff = make(tr("&Diff"), tr("Diff"));
    ui_.Diff->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    ui_.Diff->setShortcut(QKeySequence(Qt::Key_F5));
    ui_.ShowReport = make(tr("Show diff &report..."), tr("Show Diff report..."));
    ui_.ShowReport->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    ui_.EditMerged = make(tr("Edit &merged text..."), tr("Edit merged text"));
    ui_.EditMerged->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    ui_.Navigator = make(tr("Show &Navigator"), tr("Navigator"));
    ui_.Navigator->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    ui_.SplitMode = make(tr("Split mode"), tr("Split mode"));
    ui_.SplitMode->setIcon(SplitIcon());
    ui_.SplitMode->setCheckable(true);
    ui_.NextDeclaration = make(tr("Next changed declaration"), tr("Next changed declaration"));
    ui_.NextDeclaration->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    ui_.NextDeclaration->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Down));
    ui_.PriorDeclaration = make(tr("Prior changed declaration"), tr("Prior changed declaration"));
    ui_.PriorDeclaration->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    ui_.PriorDeclaration->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Up));
    CreateViewActions();

    ui_.OpenOld = make(tr("Open first file (old)"));
    ui_.OpenNew = make(tr("Open second file (new)"));
    ui_.OpenWorkspace = make(tr("&Open merged workspace"));
    ui_.OpenFocused = make(tr("&Open..."), tr("Open a file into the focused view"));
    ui_.OpenFocused->setShortcut(QKeySequence::Open);
    ui_.SaveFocused = make(tr("&Save"), tr("Save the focused view"));
    ui_.SaveFocused->setShortcut(QKeySequence::Save);
    ui_.Find = make(tr("&Find..."));
    ui_.Find->setShortcut(QKeySequence::Find);
    ui_.FindNext = make(tr("Find &next"));
    ui_.FindNext->setShortcut(QKeySequence(Qt::Key_F3));
    ui_.FindPrior = make(tr("Find &previous"));
    ui_.FindPrior->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
    ui_.GoToLine = make(tr("&Go to line..."));
    ui_.GoToLine->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    ui_.SaveOldAs = make(tr("Save first file as..."));
    ui_.SaveNewAs = make(tr("Save second file as..."));
    ui_.Setup = make(tr("Setup"));
    ui_.Exit = make(tr("E&xit"));
    ui_.Exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    ui_.HelpContents = make(tr("Contents"));
    ui_.HelpContents->setShortcut(QKeySequence(Qt::Key_F1));
    ui_.HomePage = make(tr("Home Page"));
    ui_.About = make(tr("&About"));

    connect(ui_.Expand, &QAction::triggered, this, [this] { ui_.DiffTree->expandAll(); });
    connect(ui_.Collapse, &QAction::triggered, this, [this] { ui_.DiffTree->collapseAll(); });
    connect(ui_.Diff, &QAction::triggered, this, [this] { Command([this] { RunDiff(); }); });
    connect(ui_.NextDeclaration, &QAction::triggered, this,
            [this] { Command([this] { StepDeclaration(true); }); });
    connect(ui_.PriorDeclaration, &QAction::triggered, this,
            [this] { Command([this] { StepDeclaration(false); }); });
    connect(ui_.EditMerged, &QAction::triggered, this,
            [this] { Command([this] { EditMergedText(); }); });
    connect(ui_.OpenWorkspace, &QAction::triggered, this,
            [this] { Command([this] { OpenMergedWorkspace(); }); });
    connect(ui_.ShowReport, &QAction::triggered, this, [this] {
        if (!reportForm_) return;
        reportForm_->show();
        reportForm_->raise();
        reportForm_->activateWindow();
    });
    connect(ui_.Navigator, &QAction::triggered, this, [this] {
        if (!navigatorForm_) return;
        navigatorForm_->show();
        navigatorForm_->raise();
    });
    connect(ui_.SplitMode, &QAction::toggled, this, [this](bool down) { SetSplitMode(down); });
    connect(ui_.OpenOld, &QAction::triggered, this,
            [this] { Command([this] { ui_.Old.FilenameEdit->Browse(); }); });
    connect(ui_.OpenNew, &QAction::triggered, this,
            [this] { Command([this] { ui_.New.FilenameEdit->Browse(); }); });
    connect(ui_.OpenFocused, &QAction::triggered, this,
            [this] { Command([this] { ui_.Pane(FocusedSide()).FilenameEdit->Browse(); }); });
    connect(ui_.SaveFocused, &QAction::triggered, this,
            [this] { Command([this] { SaveChanges(FocusedSide()); }); });
    connect(ui_.Find, &QAction::triggered, this, [this] { ShowFind(); });
    connect(ui_.FindNext, &QAction::triggered, this, [this] { FindAgain(true); });
    connect(ui_.FindPrior, &QAction::triggered, this, [this] { FindAgain(false); });
    connect(ui_.GoToLine, &QAction::triggered, this, [this] { Command([this] { GoToLine(); }); });
    connect(ui_.Setup, &QAction::triggered, this, [this] { Command([this] { SetupCommand(); }); });
    connect(ui_.Exit, &QAction::triggered, this, &QWidget::close);
    connect(ui_.About, &QAction::triggered, this, [this] { Command([this] { ShowAboutBox(); }); });
}

void TMainForm::CreateMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(ui_.Navigator);
    file->addSeparator();
    file->addAction(ui_.OpenFocused);
    file->addAction(ui_.OpenOld);
    file->addAction(ui_.OpenNew);
    file->addAction(ui_.OpenWorkspace);
    ui_.RecentMenu = file->addMenu(tr("&Recent pairs"));
    file->addSeparator();
    file->addAction(ui_.SaveFocused);
    file->addAction(ui_.SaveOldAs);
    file->addAction(ui_.SaveNewAs);
    file->addSeparator();
    file->addAction(ui_.Setup);
    file->addSeparator();
    file->addAction(ui_.Exit);

    QMenu* search = menuBar()->addMenu(tr("&Search"));
    search->addAction(ui_.Find);
    search->addAction(ui_.FindNext);
    search->addAction(ui_.FindPrior);
    search->addSeparator();
    search->addAction(ui_.GoToLine);

    QMenu* diff = menuBar()->addMenu(tr("&Diff"));
    diff->addAction(ui_.Diff);
    diff->addAction(ui_.PriorDeclaration);
    diff->addAction(ui_.NextDeclaration);
    diff->addAction(ui_.ShowReport);
    diff->addAction(ui_.EditMerged);
    diff->addSeparator();
    diff->addAction(ui_.SyncScroll);
    diff->addAction(ui_.LineNumbers);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(ui_.HelpContents);
    help->addAction(ui_.HomePage);
    help->addSeparator();
    help->addAction(ui_.About);

    ui_.TreePopup = new QMenu(this);
    ui_.TreePopup->addAction(tr("Expand"), this, [this] { ui_.DiffTree->expandAll(); });
    ui_.TreePopup->addAction(tr("Collapse"), this, [this] { ui_.DiffTree->collapseAll(); });
}

void TMainForm::CreateToolBar() {
    QToolBar* bar = addToolBar(tr("Commands"));
    bar->setObjectName(QStringLiteral("Commands"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    // Tool buttons show the short captions; the menu items keep their accelerators.
    auto add = [bar](QAction* action, const QString& caption) {
        bar->addAction(action);
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action))) {
            button->setText(caption);
            button->setToolTip(action->toolTip());
        }
    };
    add(ui_.Expand, tr("Expand"));
    add(ui_.Collapse, tr("Collapse"));
    bar->addSeparator();
    add(ui_.Diff, tr("Diff"));
    for (QAction* step : {ui_.PriorDeclaration, ui_.NextDeclaration}) {
        bar->addAction(step);
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(step)))
            button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    add(ui_.ShowReport, tr("Show Diff report..."));
    add(ui_.EditMerged, tr("Edit merged text"));
    bar->addSeparator();
    add(ui_.Navigator, tr("Navigator"));
    add(ui_.SplitMode, tr("Split mode"));
}

QWidget* TMainForm::CreateSourcePane(TSourcePane& pane, const QString& caption, bool old) {
    pane.Panel = new QWidget;
    // Side by side on a small screen the panes may get narrower than their button row.
    pane.Panel->setMinimumSize(150, 90);
    auto* layout = new QVBoxLayout(pane.Panel);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);

    auto* label = new QLabel(caption);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    pane.FilenameEdit = new TFilenameEdit(dialogs_);
    pane.FilenameEdit->Edit()->setAccessibleName(old ? tr("Old file name") : tr("New file name"));
    pane.FilenameEdit->setMinimumWidth(60);
    pane.EnableEditButton = new QToolButton;
    pane.EnableEditButton->setText(tr("Enable Edit"));
    pane.EnableEditButton->setCheckable(true);
    pane.ReloadButton = new QPushButton(tr("Reload"));
    pane.SaveButton = new QPushButton(tr("Save changes"));
    pane.Header = new TPaneHeader(label, pane.FilenameEdit,
                                  {pane.EnableEditButton, pane.ReloadButton, pane.SaveButton});
    layout->addWidget(pane.Header);

    pane.Editor = new SourceEditor(28);
    pane.Editor->setAccessibleName(old ? tr("Old source") : tr("New source"));
    pane.Editor->setReadOnly(true);

    pane.ChangedBar = new QWidget;
    pane.ChangedBar->setAutoFillBackground(true);
    pane.ChangedBar->setBackgroundRole(QPalette::ToolTipBase);
    pane.ChangedBar->setForegroundRole(QPalette::ToolTipText);
    auto* bar = new QHBoxLayout(pane.ChangedBar);
    bar->setContentsMargins(6, 2, 4, 2);
    pane.ChangedText = new QLabel;
    pane.ChangedText->setForegroundRole(QPalette::ToolTipText);
    pane.ChangedReload = new QPushButton(tr("Reload"));
    bar->addWidget(pane.ChangedText, 1);
    bar->addWidget(pane.ChangedReload);
    pane.ChangedBar->hide();
    layout->addWidget(pane.ChangedBar);
    layout->addWidget(WithOverviewStrip(pane.Editor, &pane.Strip), 1);

    pane.StatusBar = new QStatusBar;
    pane.StatusBar->setSizeGripEnabled(false);
    pane.CaretPanel = new QLabel;
    pane.CaretPanel->setMinimumWidth(60);
    pane.ModifiedPanel = new QLabel;
    pane.ModifiedPanel->setMinimumWidth(50);
    pane.WarningPanel = new QLabel;
    pane.WarningPanel->setStyleSheet(QStringLiteral("color: #b00000;"));
    pane.StatusBar->addWidget(pane.CaretPanel);
    pane.StatusBar->addWidget(pane.ModifiedPanel);
    pane.StatusBar->addWidget(pane.WarningPanel, 1);
    layout->addWidget(pane.StatusBar);

    pane.Popup = new QMenu(this);
    pane.PopupOpen = pane.Popup->addAction(tr("&Open"));
    pane.PopupReload = pane.Popup->addAction(tr("&Reload"));
    pane.PopupSave = pane.Popup->addAction(tr("&Save"));
    pane.Popup->addSeparator();
    pane.PopupUndo = pane.Popup->addAction(tr("&Undo"));
    pane.PopupRedo = pane.Popup->addAction(tr("R&edo"));
    pane.Popup->addSeparator();
    pane.PopupEnableEdit = pane.Popup->addAction(tr("Enable Edit"));
    pane.PopupEnableEdit->setCheckable(true);

    SourceEditor* editor = pane.Editor;
    TSourcePane* p = &pane;
    editor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(editor, &QWidget::customContextMenuRequested, this, [p](const QPoint& pos) {
        p->PopupEnableEdit->setChecked(!p->Editor->isReadOnly());
        p->Popup->exec(p->Editor->viewport()->mapToGlobal(pos));
    });
    connect(pane.EnableEditButton, &QToolButton::toggled, this,
            [p](bool down) { p->Editor->setReadOnly(!down); });
    connect(pane.PopupEnableEdit, &QAction::triggered, this,
            [this, p] { SetEditable(*p, p->Editor->isReadOnly()); });
    auto reload = [this, old] { Command([this, old] { ReloadFile(old); }); };
    connect(pane.ReloadButton, &QPushButton::clicked, this, reload);
    connect(pane.PopupReload, &QAction::triggered, this, reload);
    connect(pane.ChangedReload, &QPushButton::clicked, this, reload);
    connect(pane.PopupOpen, &QAction::triggered, this,
            [this, p] { Command([p] { p->FilenameEdit->Browse(); }); });
    connect(editor, &SourceEditor::statusChanged, this, [this, p] { UpdateStatus(*p); });

    // Choosing a file loads it; the comparison is dropped, the models stay until the next Diff.
    pane.FilenameEdit->SetDialogTitle(tr("Browse"));
    pane.FilenameEdit->BeforeDialog = [this, old](TFilenameEdit& box) {
        if (box.InitialDir().isEmpty()) box.SetInitialDir(old ? oldFolder_ : newFolder_);
    };
    pane.FilenameEdit->MayTake = [this, old](TFilenameEdit&, const QString& chosen) {
        return !QFileInfo(chosen).isFile() || MayDiscardEdits(old);
    };
    pane.FilenameEdit->AfterDialog = [this, old](TFilenameEdit& box, const QString& chosen,
                                                 bool accepted) {
        if (!accepted) return;
        if (QFileInfo(chosen).isFile()) {
            LoadDroppingComparison(old, chosen, false);
        }
        (old ? oldFolder_ : newFolder_) = box.InitialDir();
    };
    UpdateStatus(pane);
    return pane.Panel;
}

QWidget* TMainForm::CreateDiffTab() {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(4, 0, 4, 0);
    ui_.PriorButton =
        new QPushButton(style()->standardIcon(QStyle::SP_ArrowUp), tr("Prior difference"));
    ui_.NextButton =
        new QPushButton(style()->standardIcon(QStyle::SP_ArrowDown), tr("Next difference"));
    buttons->addWidget(ui_.PriorButton);
    buttons->addWidget(ui_.NextButton);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    ui_.DiffEditor = new SourceEditor(18);
    ui_.DiffEditor->setAccessibleName(tr("Merged differences"));
    ui_.DiffEditor->setReadOnly(true);
    ui_.DiffEditor->setStateImageX(0); // no bookmark digit column in the diff view's gutter
    layout->addWidget(ui_.DiffEditor, 1);
    connect(ui_.PriorButton, &QPushButton::clicked, this,
            [this] { Command([this] { PriorDifference(); }); });
    connect(ui_.NextButton, &QPushButton::clicked, this,
            [this] { Command([this] { NextDifference(); }); });
    return tab;
}

void TMainForm::UpdateStatus(TSourcePane& pane) {
    pane.CaretPanel->setText(QStringLiteral("%1 : %2")
                                 .arg(pane.Editor->caretLine() + 1)
                                 .arg(pane.Editor->caretColumn() + 1));
    pane.ModifiedPanel->setText(pane.Editor->isModified() ? tr("Modified") : QString());
}

void TMainForm::SetEditable(TSourcePane& pane, bool editable) {
    pane.Editor->setReadOnly(!editable);
    QSignalBlocker block(pane.EnableEditButton);
    pane.EnableEditButton->setChecked(editable);
}

void TMainForm::ReadSettings() {
    const QFont viewFont = ui_.Old.Editor->editorFont();
    settings_.FontName = viewFont.family();
    settings_.FontSize = viewFont.pointSize() > 0 ? viewFont.pointSize() : 10;
    settings_.FontCharset = 1;
    TAppRegistry* reg = Registry();
    if (!reg || !reg->OpenSettingsKey(QString(), false)) return;
    reg->ReadStringList(QStringLiteral("Opt"), settings_.Defines);
    reg->ReadStringList(QStringLiteral("Ext"), settings_.Extensions);
    TReadingValues& reading = settings_.Reading;
    reading.Dialect = reg->ReadString(QStringLiteral("Dialect"), reading.Dialect);
    reading.Target = reg->ReadString(QStringLiteral("Target"), reading.Target);
    reg->ReadStringList(QStringLiteral("IncludeDirs"), reading.IncludeDirs);
    settings_.FontName = reg->ReadString(QStringLiteral("FontName"), settings_.FontName);
    settings_.FontSize = reg->ReadInteger(QStringLiteral("FontSize"), settings_.FontSize);
    settings_.FontCharset = reg->ReadInteger(QStringLiteral("FontCharset"), settings_.FontCharset);
    settings_.Theme = reg->ReadString(QStringLiteral("Theme"), settings_.Theme);
    reg->CloseKey();
    settings_.FormNoise = ReadFormNoise(reg);
    // System is the desktop's own state already; another palette set at start stays.
    const auto theme = viewrules::ThemeFromName(settings_.Theme.toStdString());
    if (theme && *theme != viewrules::Theme::System) ApplyTheme(*theme);
}

QString TMainForm::JoinedExtensions() const {
    return settings_.Extensions.join(QLatin1Char('|'));
}

void TMainForm::ApplyExtensions() {
    const QString filter = JoinedExtensions();
    ui_.Old.FilenameEdit->SetFilter(filter);
    ui_.New.FilenameEdit->SetFilter(filter);
}

void TMainForm::SetupCommand() {
    const QString themeBefore = settings_.Theme;
    if (!ExecuteSetup(this, settings_.Defines, settings_.Extensions, settings_.FontName,
                      settings_.FontCharset, settings_.FontSize, &settings_.Reading,
                      &settings_.Theme, &settings_.FormNoise))
        return;
    if (settings_.Extensions.isEmpty()) settings_.Extensions = DefaultExtensions();
    if (TAppRegistry* reg = Registry(); reg && reg->OpenSettingsKey(QString(), true)) {
        reg->WriteStringList(QStringLiteral("Opt"), settings_.Defines);
        reg->WriteStringList(QStringLiteral("Ext"), settings_.Extensions);
        reg->WriteString(QStringLiteral("Dialect"), settings_.Reading.Dialect);
        reg->WriteString(QStringLiteral("Target"), settings_.Reading.Target);
        reg->WriteStringList(QStringLiteral("IncludeDirs"), settings_.Reading.IncludeDirs);
        reg->WriteString(QStringLiteral("FontName"), settings_.FontName);
        reg->WriteInteger(QStringLiteral("FontSize"), settings_.FontSize);
        reg->WriteInteger(QStringLiteral("FontCharset"), settings_.FontCharset);
        reg->WriteString(QStringLiteral("Theme"), settings_.Theme);
        reg->WriteString(QStringLiteral("FormNoise"), settings_.FormNoise.Mode);
        reg->WriteStringList(QStringLiteral("FormNoiseNames"), settings_.FormNoise.Names);
        reg->CloseKey();
        reg->Flush();
    }
    ApplyExtensions();
    ApplyEditorFont();
    if (settings_.Theme != themeBefore)
        if (const auto theme = viewrules::ThemeFromName(settings_.Theme.toStdString()))
            ApplyTheme(*theme);
}

void TMainForm::ApplyEditorFont() {
    QFont font(settings_.FontName);
    font.setPointSize(settings_.FontSize);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    ui_.Old.Editor->setEditorFont(font);
    ui_.New.Editor->setEditorFont(font);
}

void TMainForm::HandleCommandLine(const QStringList& params) {
    CommandLineFiles files = ResolveCommandLine(params);
    if (files.NewFileName.isEmpty()) return;
    LoadFile(true, files.OldFileName);
    LoadFile(false, files.NewFileName);
    QCoreApplication::processEvents();
    RunDiff();
}

void TMainForm::LoadView(bool old, const QString& fileName) {
    SourceEditor* view = old ? ui_.Old.Editor : ui_.New.Editor;
    // A binary form is shown, and compared, as its text form; it is never saved from there.
    const auto formLines = viewrules::BinaryFormLines(QFile::encodeName(fileName).toStdString());
    if (formLines)
        view->setLines(*formLines);
    else
        view->loadFile(fileName);
    binaryForm_[old ? 0 : 1] = formLines.has_value();
    doc_.Loaded(old, QDir::toNativeSeparators(fileName).toStdString(),
                io::StampOf(QFile::encodeName(fileName).toStdString()));
    ui_.Pane(old).ChangedBar->hide();
    RememberFile(old, fileName);
    ui_.Pane(old).WarningPanel->clear();
    view->scrollToLine(0, 0);
    view->update();
}

QString TMainForm::FileName(bool old) const {
    return QString::fromStdString(doc_.FileName(old));
}

void TMainForm::LoadFile(bool old, const QString& fileName) {
    LoadView(old, fileName);
    ui_.Pane(old).FilenameEdit->SetFileName(FileName(old));
}

void TMainForm::LoadDroppingComparison(bool old, const QString& fileName, bool intoNameBox) {
    struct BusyGuard {
        viewrules::ComparisonDocument& doc;
        ~BusyGuard() { doc.SetBusy(false); }
    } guard{doc_};
    doc_.SetBusy(true);
    ui_.DiffTree->clear();
    doc_.DropComparison();
    if (intoNameBox)
        LoadFile(old, fileName);
    else
        LoadView(old, fileName);
}

void TMainForm::ReloadFile(bool old) {
    if (!MayDiscardEdits(old)) return;
    LoadView(old, FileName(old));
    RunDiff();
}

model::Reading TMainForm::CurrentReading() const {
    const TReadingValues& stored = settings_.Reading;
    return model::ReadingOf(
        model::StoredReading(stored.Dialect.toStdString(), stored.Target.toStdString(),
                             ToSymbols(settings_.Defines), ToPaths(stored.IncludeDirs)));
}

std::unique_ptr<diff::ComparisonResult>
TMainForm::WaitForComparison(std::unique_ptr<viewrules::ComparisonJob> running) {
    viewrules::ComparisonJob& job = *running;
    // The progress window disables every other window, so no command starts meanwhile; the
    // loop only keeps it drawn and answers its Abort button.
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(15);
    std::optional<diff::CompareStep> shown;
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (job.Done() || ui_.Progress->Aborted()) {
            loop.quit();
            return;
        }
        const diff::CompareStep step = job.Step();
        if (shown == step) return;
        shown = step;
        ui_.Progress->SetText(
            step == diff::CompareStep::ParseOld   ? tr("Parse ") + ui_.Old.FilenameEdit->text()
            : step == diff::CompareStep::ParseNew ? tr("Parse ") + ui_.New.FilenameEdit->text()
                                                  : tr("Find differences ..."));
    });
    poll.start();
    if (!job.Done()) loop.exec();
    if (ui_.Progress->Aborted()) {
        // Left to end at its next step without holding up the window.
        job.Cancel();
        abandoned_.push_back(std::move(running));
        return nullptr;
    }
    return std::make_unique<diff::ComparisonResult>(job.Take());
}

void TMainForm::RunDiff() {
    doc_.ClearSelection();
    ShowSelection();
    ui_.Progress->SetCaption(tr("Differencing ..."));
    ui_.Progress->SetText(tr("Prepare ..."));
    ui_.Progress->Open();
    // However the steps below end, the window leaves its busy state and the dialog closes.
    struct Finish {
        TMainForm& form;
        ~Finish() {
            form.doc_.SetBusy(false);
            form.ui_.Progress->Close();
        }
    } finish{*this};
    doc_.SetBusy(true);
    FreeComparison();
    ui_.Old.WarningPanel->clear();
    ui_.New.WarningPanel->clear();
    ui_.StatusMessage->clear();
    ui_.StatusMessage->setToolTip(QString());

    const int32_t oldLines = ui_.Old.Editor->lineCount();
    const int32_t newLines = ui_.New.Editor->lineCount();
    if (CompareFormPair(oldLines, newLines)) return;
    std::erase_if(abandoned_, [](const auto& job) { return job->Done(); });
    std::unique_ptr<diff::ComparisonResult> compared =
        WaitForComparison(std::make_unique<viewrules::ComparisonJob>(
            ui_.Old.Editor->textCrLf(), doc_.FileName(true), ui_.New.Editor->textCrLf(),
            doc_.FileName(false), CurrentReading()));
    if (!compared) {
        ui_.StatusMessage->setText(tr("Comparison aborted."));
        return;
    }
    diff::ComparisonResult& result = *compared;
    const std::string message = diff::OutcomeMessage(result);
    RememberComparedPair();
    // The report reads the models, which the document takes over next.
    const QStringList report = reportForm_ ? ReportLines(result) : QStringList();
    doc_.Adopt(std::move(result.oldSource), std::move(result.newSource), std::move(result.diff),
               oldLines, newLines);

    ui_.Progress->SetText(tr("Loading ..."));
    FillDiffTree();
    if (reportForm_) reportForm_->SetLines(report);
    ShowParseWarnings();

    if (!message.empty()) {
        ui_.Progress->Close();
        dialogs_.Information(this, QString::fromStdString(message));
    }
}

void TMainForm::RememberComparedPair() {
    if (doc_.FileName(true).empty() || doc_.FileName(false).empty()) return;
    recentPairs_ = viewrules::AddRecent(recentPairs_, {doc_.FileName(true), doc_.FileName(false)});
    WriteRecent();
    FillRecentMenu();
}

void TMainForm::ShowParseWarnings() {
    const std::pair<TSourcePane*, const model::TPasSrc*> sides[] = {{&ui_.Old, doc_.Source(true)},
                                                                    {&ui_.New, doc_.Source(false)}};
    QStringList messages;
    for (auto [pane, src] : sides) {
        // Includes not found, {$IF} names without a value: the result may depend on them.
        for (const auto& note : src ? src->Status.Notes : std::vector<std::string>())
            messages << QString::fromStdString(note);
        if (!src || src->Status.Complete) {
            pane->WarningPanel->clear();
            continue;
        }
        const model::ParseStatus& s = src->Status;
        const int line = diff::ParseStopLine(s);
        pane->WarningPanel->setText(line > 0 ? tr("Structure followed only up to line %1").arg(line)
                                             : tr("Structure not followed to the end"));
        messages << ParseWarning(FileName(pane == &ui_.Old), s);
    }
    // What the edit broke between the unit and its form; the list is the status's tooltip.
    QStringList formWarnings;
    for (const forms::FormFinding& f : viewrules::NewFormWarnings(doc_))
        formWarnings << QString::fromStdString(f.Text());
    if (formWarnings.size() == 1)
        messages << tr("1 new inconsistency between the unit and its form.");
    else if (formWarnings.size() > 1)
        messages
            << tr("%1 new inconsistencies between the unit and its form.").arg(formWarnings.size());
    ui_.StatusMessage->setToolTip(formWarnings.join(QLatin1Char('\n')));
    if (const diff::TSourceDiff* comparison = doc_.Comparison()) {
        const int n = CountDifferences(comparison->Root);
        messages.prepend(n == 0   ? tr("No structural differences.")
                         : n == 1 ? tr("1 difference.")
                                  : tr("%1 differences.").arg(n));
    }
    ui_.StatusMessage->setText(messages.join(QLatin1Char(' ')));
}

void TMainForm::FreeComparison() {
    ui_.DiffTree->clear();
    doc_.Free();
}

namespace {
void AddDiffNodes(QTreeWidgetItem* parent, const diff::TSourceDiffList& list,
                  const TImageList& images, QList<QTreeWidgetItem*>& topLevel) {
    for (size_t i = 0; i < list.Count(); ++i) {
        const diff::TSourceDiffItem* item = list.Items(i);
        auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem;
        const std::string caption = diff::ShownCaption(*item);
        node->setText(0,
                      QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));
        node->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(item)));
        const int image = StateImageIndex(static_cast<int>(item->State));
        if (image >= 0) node->setIcon(0, QIcon(images[static_cast<size_t>(image)]));
        if (!parent) topLevel.append(node);
        if (item->Children.Count() > 0) AddDiffNodes(node, item->Children, images, topLevel);
    }
}
} // namespace

const diff::TSourceDiffItem* DiffItemOf(const QTreeWidgetItem* node) {
    if (!node) return nullptr;
    return reinterpret_cast<const diff::TSourceDiffItem*>(
        node->data(0, Qt::UserRole).value<quintptr>());
}

void TMainForm::ShowComparison(std::unique_ptr<model::TPasSrc> oldSource,
                               std::unique_ptr<model::TPasSrc> newSource,
                               std::unique_ptr<diff::TSourceDiff> comparison) {
    FreeComparison();
    doc_.Adopt(std::move(oldSource), std::move(newSource), std::move(comparison));
    FillDiffTree();
}

void TMainForm::FillDiffTree() {
    ui_.DiffTree->setUpdatesEnabled(false);
    ui_.DiffTree->clear();
    if (const diff::TSourceDiff* comparison = doc_.Comparison()) {
        QList<QTreeWidgetItem*> topLevel;
        AddDiffNodes(nullptr, comparison->Root, stateImages_, topLevel);
        ui_.DiffTree->addTopLevelItems(topLevel);
        for (QTreeWidgetItem* item : topLevel)
            item->setExpanded(true);
    }
    ui_.DiffTree->setUpdatesEnabled(true);
    WidenTreeForCaptions();
    views_->ShowDifferences(doc_.Comparison());
    views_->ShowInactive(doc_.Source(true), doc_.Source(false));
}

// Only ever wider: a width the user chose stays unless the captions need more.
void TMainForm::WidenTreeForCaptions() {
    QTreeWidget* tree = ui_.DiffTree;
    if (tree->topLevelItemCount() == 0) return;
    tree->resizeColumnToContents(0);
    const int hinted = tree->header()->sectionSize(0) + 2 * tree->frameWidth() +
                       tree->verticalScrollBar()->sizeHint().width();
    const int total = ui_.MainSplitter->width() - ui_.MainSplitter->handleWidth();
    const int wanted = viewrules::TreePaneWidth(hinted, width(), kDefaultTreeWidth);
    if (wanted <= TreeWidth() || total <= wanted) return;
    ui_.MainSplitter->setSizes({wanted, total - wanted});
}

bool TMainForm::SideBySide() const {
    return ui_.SourceSplitter->orientation() == Qt::Horizontal;
}

int TMainForm::TreeWidth() const {
    return ui_.MainSplitter->sizes().value(0);
}

int TMainForm::OldPaneSize() const {
    return ui_.SourceSplitter->sizes().value(0);
}

void TMainForm::SetSplitMode(bool sideBySide) {
    {
        QSignalBlocker block(ui_.SplitMode);
        ui_.SplitMode->setChecked(sideBySide);
    }
    ui_.SourceSplitter->setOrientation(sideBySide ? Qt::Horizontal : Qt::Vertical);
    views_->SetSideBySide(sideBySide);
    const int container = sideBySide ? ui_.SourceTab->width() : ui_.SourceTab->height();
    const int half = container / 2;
    ui_.SourceSplitter->setSizes({half, std::max(0, container - half - kSplitterHandle)});
}

void TMainForm::FirstShown() {
    RestoreLayout();
    // A tree filled before the window had its size widens now.
    WidenTreeForCaptions();
}

void TMainForm::RestoreLayout() {
    if (QLayout* l = layout()) l->activate();
    TAppRegistry* reg = Registry();
    const bool open = reg && reg->OpenSettingsKey(kMainKey, false);
    if (open) {
        const int total = ui_.MainSplitter->width() - ui_.MainSplitter->handleWidth();
        const int tree = reg->ReadInteger(QStringLiteral("TreeWidth"), TreeWidth());
        ui_.MainSplitter->setSizes({tree, std::max(0, total - tree)});
        if (QLayout* l = layout()) l->activate();
        const bool side = reg->ReadBool(QStringLiteral("Align"), true);
        SetSplitMode(side);
        const int tab = side ? ui_.SourceTab->width() : ui_.SourceTab->height();
        int pos = reg->ReadInteger(QStringLiteral("SplitPos"), OldPaneSize());
        if (pos > tab * 3 / 4) pos = tab / 2;
        ui_.SourceSplitter->setSizes({pos, std::max(0, tab - pos - kSplitterHandle)});
    }
    if (!open) SetSplitMode(true);
    newFolder_ = open ? reg->ReadString(QStringLiteral("DefPathNew"), QString()) : QString();
    oldFolder_ = open ? reg->ReadString(QStringLiteral("DefPathOld"), QString()) : QString();
    // A folder that is gone (or none stored yet) falls back to the folder of a file already
    // shown, then the working folder: the program's own folder holds no sources.
    auto fallback = [this](bool old) {
        for (const QString& f : {FileName(old), FileName(!old)})
            if (!f.isEmpty()) return QDir::toNativeSeparators(QFileInfo(f).absolutePath() + '/');
        return QDir::toNativeSeparators(QDir::currentPath() + '/');
    };
    if (newFolder_.isEmpty() || !QFileInfo(newFolder_).isDir()) newFolder_ = fallback(false);
    if (oldFolder_.isEmpty() || !QFileInfo(oldFolder_).isDir()) oldFolder_ = fallback(true);
    if (navigatorForm_) navigatorForm_->SetFolders(oldFolder_, newFolder_);
    if (open) reg->CloseKey();
}

void TMainForm::SaveLayout() {
    TAppRegistry* reg = Registry();
    if (!reg || !reg->OpenSettingsKey(kMainKey, true)) return;
    reg->WriteInteger(QStringLiteral("TreeWidth"), TreeWidth());
    reg->WriteBool(QStringLiteral("Align"), SideBySide());
    reg->WriteInteger(QStringLiteral("SplitPos"), OldPaneSize());
    reg->WriteString(QStringLiteral("DefPathNew"), newFolder_);
    reg->WriteString(QStringLiteral("DefPathOld"), oldFolder_);
    reg->CloseKey();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // Edited views and a merge editor with changed text may keep the program open.
    if (!MayDiscardEdits(true, true) || !CloseMergeEditors()) {
        event->ignore();
        return;
    }
    event->accept();
    // The report and navigator windows stay open otherwise; the main window ends the program.
    QCoreApplication::quit();
}

} // namespace quennet::gui
