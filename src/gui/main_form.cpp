// Main window: layout, program start with a command line, the Diff command and the settings.
#include "main_form.h"

#include "app_registry.h"
#include "diff_rpt_form.h"
#include "filename_edit.h"
#include "navigator_form.h"
#include "setup_form.h"
#include "source_editor.h"
#include "user_dialogs.h"

#include "compare/compare_sources.h"
#include "compare/comparison_outcome.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quennet::gui {

namespace {

const QStringList kDefaultDefines = {QStringLiteral("VER130"), QStringLiteral("WIN32"),
                                     QStringLiteral("CPU386")};
const QStringList kDefaultExtensions = {QStringLiteral("Delphi source (*.pas;*.dpr)|*.pas;*.dpr"),
                                        QStringLiteral("Delphi backup (*.~pa;*.~dp)|*.~pa;*.~dp"),
                                        QStringLiteral("All files (*.*)|*.*")};
const QString kMainKey = QStringLiteral("TMainForm");
constexpr int kDefaultTreeWidth = 165; // the tree pane on first start
constexpr int kSplitterHandle = 4;

QString ExistingFile(const QString& name) {
    QFileInfo info(name);
    return info.isFile() ? QDir::toNativeSeparators(info.absoluteFilePath()) : QString();
}

QString ProgramFolder() {
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + QLatin1Char('/'));
}

std::vector<std::string> ToSymbols(const QStringList& defines) {
    std::vector<std::string> symbols;
    symbols.reserve(defines.size());
    for (const QString& d : defines)
        symbols.push_back(d.toLatin1().toStdString());
    return symbols;
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

} // namespace

QString BackupFileName(const QString& fileName) {
    int sep = -1;
    for (QChar c : {QLatin1Char('\\'), QLatin1Char('/'), QLatin1Char(':')})
        sep = std::max(sep, static_cast<int>(fileName.lastIndexOf(c)));
    int dot = fileName.lastIndexOf(QLatin1Char('.'));
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
    return QString::fromStdString(compare::ParseStopNote(fileName.toStdString(), status));
}

QStringList ReportLines(const compare::ComparisonResult& result) {
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(result.report.size()));
    for (size_t i = 0; i < result.report.size(); ++i) {
        const std::string& l = result.report[i];
        const bool body = i >= compare::kReportHeadingLines && i < result.reportBodyEnd;
        lines << (body ? QString::fromLatin1(l.data(), static_cast<qsizetype>(l.size()))
                       : QString::fromStdString(l));
    }
    return lines;
}

int CountDifferences(const model::TSourceDiffList& list) {
    int n = 0;
    for (size_t i = 0; i < list.Count(); ++i) {
        const model::TSourceDiffItem* item = list.Items(i);
        if (item->State != model::Group && item->Children.Count() == 0) ++n;
        n += CountDifferences(item->Children);
    }
    return n;
}

template <class F> void TMainForm::Command(F&& f) {
    RunCommand(m_dialogs, this, f);
}

TMainForm::TMainForm(TAppRegistry* registry, TUserDialogs& dialogs, QWidget* parent)
    : TAdvForm(registry, parent), m_dialogs(dialogs) {
    ImageList1 = MakeStateImages();
    ProgressDialog1 = new TProgressDialog(this);
    ProgressDialog1->SetCaption(QStringLiteral("Make Diff"));
    ProgressDialog1->SetButtonCaption(QStringLiteral("Abort"));
    ProgressDialog1->SetMeterVisible(false);
    ProgressDialog1->SetButtonEnabled(false);

    CreateActions();
    CreateMenus();
    CreateToolBar();

    DiffTreeView = new QTreeWidget;
    DiffTreeView->setHeaderHidden(true);
    DiffTreeView->setUniformRowHeights(true);
    DiffTreeView->setIndentation(14);
    DiffTreeView->setIconSize(QSize(16, 16));
    DiffTreeView->setSelectionMode(QAbstractItemView::SingleSelection);
    DiffTreeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DiffTreeView->header()->setStretchLastSection(false);
    DiffTreeView->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    DiffTreeView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DiffTreeView, &QTreeWidget::currentItemChanged, this,
            [this] { Command([this] { DiffTreeViewChange(); }); });
    connect(DiffTreeView, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        TreePopup->exec(DiffTreeView->viewport()->mapToGlobal(pos));
    });

    // Source View tab: old pane, splitter, new pane.
    SourceViewTab = new QWidget;
    auto* sourceLayout = new QVBoxLayout(SourceViewTab);
    sourceLayout->setContentsMargins(0, 0, 0, 0);
    SourceSplitter = new TProportionalSplitter(Qt::Vertical, SourceViewTab);
    SourceSplitter->setHandleWidth(kSplitterHandle);
    SourceSplitter->setChildrenCollapsible(false);
    SourceSplitter->addWidget(CreateSourcePane(OldPane, QStringLiteral("Old File"), true));
    SourceSplitter->addWidget(CreateSourcePane(NewPane, QStringLiteral("New File"), false));
    sourceLayout->addWidget(SourceSplitter);
    RAHLEditor1 = OldPane.Editor;
    RAHLEditor2 = NewPane.Editor;
    FilenameEditOld = OldPane.FilenameEdit;
    FilenameEditNew = NewPane.FilenameEdit;

    DiffViewTab = CreateDiffTab();

    PageControl = new QTabWidget;
    PageControl->setDocumentMode(true);
    PageControl->addTab(SourceViewTab, QStringLiteral("Source View"));
    PageControl->addTab(DiffViewTab, QStringLiteral("Diff View"));

    MainSplitter = new QSplitter(Qt::Horizontal);
    MainSplitter->setHandleWidth(kSplitterHandle);
    MainSplitter->setChildrenCollapsible(false);
    MainSplitter->addWidget(DiffTreeView);
    MainSplitter->addWidget(PageControl);
    MainSplitter->setStretchFactor(0, 0);
    MainSplitter->setStretchFactor(1, 1);
    MainSplitter->setSizes({kDefaultTreeWidth, 1000});
    setCentralWidget(MainSplitter);

    StatusMessage = new QLabel;
    statusBar()->addWidget(StatusMessage, 1);

    setAcceptDrops(false);
    resize(1100, 720);

    // Creation order of the window's state: defaults, stored settings, filters, no selection.
    Defines = kDefaultDefines;
    Extensions = kDefaultExtensions;
    ReadSettings();
    ApplyExtensions();
    // The font chosen in an earlier session is used from the start, not only after Setup.
    const QFont viewFont = RAHLEditor1->editorFont();
    if (EditorFontName != viewFont.family() || EditorFontSize != viewFont.pointSize())
        ApplyEditorFont();
    OldRange = {};
    NewRange = {};
    DiffTreeView->clear();
    FilenameEditOld->Clear();
    FilenameEditNew->Clear();
    setWindowTitle(QStringLiteral("Quennet Pro"));
    ConnectFileCommands();
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
    ActExpand = make(QStringLiteral("Expand"), QStringLiteral("Expand"));
    ActExpand->setIcon(TreeIcon(true));
    ActCollapse = make(QStringLiteral("Collapse"), QStringLiteral("Collapse"));
    ActCollapse->setIcon(TreeIcon(false));
    ActDiff = make(QStringLiteral("&Diff"), QStringLiteral("Diff"));
    ActDiff->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    ActDiff->setShortcut(QKeySequence(Qt::Key_F5));
    ActShowReport =
        make(QStringLiteral("Show diff &report..."), QStringLiteral("Show Diff report..."));
    ActShowReport->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    ActEditMerged =
        make(QStringLiteral("Edit &merged text..."), QStringLiteral("Edit merged text"));
    ActEditMerged->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    ActNavigator = make(QStringLiteral("Show &Navigator"), QStringLiteral("Navigator"));
    ActNavigator->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    AlButton = make(QStringLiteral("Split mode"), QStringLiteral("Split mode"));
    AlButton->setIcon(SplitIcon());
    AlButton->setCheckable(true);

    ActOpenOld = make(QStringLiteral("Open first file (old)"));
    ActOpenNew = make(QStringLiteral("Open second file (new)"));
    ActOpenWorkspace = make(QStringLiteral("&Open merged workspace"));
    ActSaveOldAs = make(QStringLiteral("Save first file as..."));
    ActSaveNewAs = make(QStringLiteral("Save second file as..."));
    ActSetup = make(QStringLiteral("Setup"));
    ActExit = make(QStringLiteral("E&xit"));
    ActHelpContents = make(QStringLiteral("Contents"));
    ActHomePage = make(QStringLiteral("Home Page"));
    ActAbout = make(QStringLiteral("&About"));

    connect(ActExpand, &QAction::triggered, this, [this] { ExpandAll(); });
    connect(ActCollapse, &QAction::triggered, this, [this] { CollapseAll(); });
    connect(ActDiff, &QAction::triggered, this, [this] { Command([this] { RunDiff(); }); });
    connect(ActEditMerged, &QAction::triggered, this,
            [this] { Command([this] { Editmergedtext1Click(); }); });
    connect(ActOpenWorkspace, &QAction::triggered, this,
            [this] { Command([this] { OpenMergedWorkspace(); }); });
    connect(ActShowReport, &QAction::triggered, this, [this] {
        if (!m_reportForm) return;
        m_reportForm->show();
        m_reportForm->raise();
        m_reportForm->activateWindow();
    });
    connect(ActNavigator, &QAction::triggered, this, [this] {
        if (!m_navigatorForm) return;
        m_navigatorForm->show();
        m_navigatorForm->raise();
    });
    connect(AlButton, &QAction::toggled, this, [this](bool down) { SetSplitMode(down); });
    connect(ActOpenOld, &QAction::triggered, this,
            [this] { Command([this] { FilenameEditOld->Browse(); }); });
    connect(ActOpenNew, &QAction::triggered, this,
            [this] { Command([this] { FilenameEditNew->Browse(); }); });
    connect(ActSetup, &QAction::triggered, this, [this] { Command([this] { SetupCommand(); }); });
    connect(ActExit, &QAction::triggered, this, &QWidget::close);
    connect(ActAbout, &QAction::triggered, this, [this] { Command([this] { ShowAboutBox(); }); });
}

void TMainForm::CreateMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(ActNavigator);
    file->addSeparator();
    file->addAction(ActOpenOld);
    file->addAction(ActOpenNew);
    file->addAction(ActOpenWorkspace);
    file->addSeparator();
    file->addAction(ActSaveOldAs);
    file->addAction(ActSaveNewAs);
    file->addSeparator();
    file->addAction(ActSetup);
    file->addSeparator();
    file->addAction(ActExit);

    QMenu* diff = menuBar()->addMenu(QStringLiteral("&Diff"));
    diff->addAction(ActDiff);
    diff->addAction(ActShowReport);
    diff->addAction(ActEditMerged);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(ActHelpContents);
    help->addAction(ActHomePage);
    help->addSeparator();
    help->addAction(ActAbout);

    TreePopup = new QMenu(this);
    TreePopup->addAction(QStringLiteral("Expand"), this, [this] { ExpandAll(); });
    TreePopup->addAction(QStringLiteral("Collapse"), this, [this] { CollapseAll(); });
}

void TMainForm::CreateToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Commands"));
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
    add(ActExpand, QStringLiteral("Expand"));
    add(ActCollapse, QStringLiteral("Collapse"));
    bar->addSeparator();
    add(ActDiff, QStringLiteral("Diff"));
    add(ActShowReport, QStringLiteral("Show Diff report..."));
    add(ActEditMerged, QStringLiteral("Edit merged text"));
    bar->addSeparator();
    add(ActNavigator, QStringLiteral("Navigator"));
    add(AlButton, QStringLiteral("Split mode"));
}

QWidget* TMainForm::CreateSourcePane(TSourcePane& pane, const QString& caption, bool old) {
    pane.Panel = new QWidget;
    // Side by side on a small screen the panes may get narrower than their button row.
    pane.Panel->setMinimumSize(150, 90);
    auto* layout = new QVBoxLayout(pane.Panel);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);

    auto* top = new QHBoxLayout;
    top->setContentsMargins(4, 0, 4, 0);
    top->setSpacing(4);
    auto* label = new QLabel(caption);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    pane.FilenameEdit = new TFilenameEdit(m_dialogs);
    pane.FilenameEdit->setMinimumWidth(60);
    pane.EnableEditButton = new QToolButton;
    pane.EnableEditButton->setText(QStringLiteral("Enable Edit"));
    pane.EnableEditButton->setCheckable(true);
    pane.ReloadButton = new QPushButton(QStringLiteral("Reload"));
    pane.SaveButton = new QPushButton(QStringLiteral("Save changes"));
    top->addWidget(label);
    top->addWidget(pane.FilenameEdit, 1);
    top->addWidget(pane.EnableEditButton);
    top->addWidget(pane.ReloadButton);
    top->addWidget(pane.SaveButton);
    layout->addLayout(top);

    pane.Editor = new SourceEditor(28);
    pane.Editor->setReadOnly(true);
    layout->addWidget(pane.Editor, 1);

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
    pane.PopupOpen = pane.Popup->addAction(QStringLiteral("&Open"));
    pane.PopupReload = pane.Popup->addAction(QStringLiteral("&Reload"));
    pane.PopupSave = pane.Popup->addAction(QStringLiteral("&Save"));
    pane.Popup->addSeparator();
    pane.PopupUndo = pane.Popup->addAction(QStringLiteral("&Undo"));
    pane.PopupRedo = pane.Popup->addAction(QStringLiteral("R&edo"));
    pane.Popup->addSeparator();
    pane.PopupEnableEdit = pane.Popup->addAction(QStringLiteral("Enable Edit"));
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
    auto reload = [this, old] { Command([this, old] { old ? ReloadOld() : ReloadNew(); }); };
    connect(pane.ReloadButton, &QPushButton::clicked, this, reload);
    connect(pane.PopupReload, &QAction::triggered, this, reload);
    connect(pane.PopupOpen, &QAction::triggered, this,
            [this, p] { Command([p] { p->FilenameEdit->Browse(); }); });
    connect(editor, &SourceEditor::statusChanged, this, [this, p] { UpdateStatus(*p); });

    // Choosing a file loads it; the comparison is dropped, the models stay until the next Diff.
    pane.FilenameEdit->SetDialogTitle(QStringLiteral("Browse"));
    pane.FilenameEdit->BeforeDialog = [this, old](TFilenameEdit& box) {
        if (box.InitialDir().isEmpty()) box.SetInitialDir(old ? DefPathOld : DefPathNew);
    };
    pane.FilenameEdit->AfterDialog = [this, old](TFilenameEdit& box, const QString& chosen,
                                                 bool accepted) {
        if (!accepted) return;
        if (QFileInfo(chosen).isFile()) {
            struct BusyGuard {
                bool& flag;
                ~BusyGuard() { flag = false; }
            } guard{Busy};
            Busy = true;
            DiffTreeView->clear();
            Comparison.reset();
            LoadView(old, chosen);
        }
        (old ? DefPathOld : DefPathNew) = box.InitialDir();
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
    PriorButton = new QPushButton(style()->standardIcon(QStyle::SP_ArrowUp),
                                  QStringLiteral("Prior difference"));
    NextButton = new QPushButton(style()->standardIcon(QStyle::SP_ArrowDown),
                                 QStringLiteral("Next difference"));
    buttons->addWidget(PriorButton);
    buttons->addWidget(NextButton);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    DiffEditor = new SourceEditor(18);
    DiffEditor->setReadOnly(true);
    DiffEditor->setStateImageX(0); // no bookmark digit column in the diff view's gutter
    layout->addWidget(DiffEditor, 1);
    connect(PriorButton, &QPushButton::clicked, this,
            [this] { Command([this] { PriorDifference(); }); });
    connect(NextButton, &QPushButton::clicked, this,
            [this] { Command([this] { NextDifference(); }); });
    return tab;
}

void TMainForm::UpdateStatus(TSourcePane& pane) {
    pane.CaretPanel->setText(QStringLiteral("%1 : %2")
                                 .arg(pane.Editor->caretLine() + 1)
                                 .arg(pane.Editor->caretColumn() + 1));
    pane.ModifiedPanel->setText(pane.Editor->isModified() ? QStringLiteral("Modified") : QString());
}

void TMainForm::SetEditable(TSourcePane& pane, bool editable) {
    pane.Editor->setReadOnly(!editable);
    QSignalBlocker block(pane.EnableEditButton);
    pane.EnableEditButton->setChecked(editable);
}

void TMainForm::ReadSettings() {
    const QFont viewFont = RAHLEditor1->editorFont();
    EditorFontName = viewFont.family();
    EditorFontSize = viewFont.pointSize() > 0 ? viewFont.pointSize() : 10;
    EditorFontCharset = 1;
    TAppRegistry* reg = Registry();
    if (!reg || !reg->OpenSettingsKey(QString(), false)) return;
    reg->ReadStringList(QStringLiteral("Opt"), Defines);
    reg->ReadStringList(QStringLiteral("Ext"), Extensions);
    Dialect = reg->ReadString(QStringLiteral("Dialect"), Dialect);
    EditorFontName = reg->ReadString(QStringLiteral("FontName"), EditorFontName);
    EditorFontSize = reg->ReadInteger(QStringLiteral("FontSize"), EditorFontSize);
    EditorFontCharset = reg->ReadInteger(QStringLiteral("FontCharset"), EditorFontCharset);
    reg->CloseKey();
}

QString TMainForm::JoinedExtensions() const {
    return Extensions.join(QLatin1Char('|'));
}

void TMainForm::ApplyExtensions() {
    const QString filter = JoinedExtensions();
    FilenameEditOld->SetFilter(filter);
    FilenameEditNew->SetFilter(filter);
}

void TMainForm::SetupCommand() {
    if (!ExecuteSetup(this, Defines, Extensions, EditorFontName, EditorFontCharset, EditorFontSize,
                      &Dialect))
        return;
    if (Extensions.isEmpty()) Extensions = kDefaultExtensions;
    if (TAppRegistry* reg = Registry(); reg && reg->OpenSettingsKey(QString(), true)) {
        reg->WriteStringList(QStringLiteral("Opt"), Defines);
        reg->WriteStringList(QStringLiteral("Ext"), Extensions);
        reg->WriteString(QStringLiteral("Dialect"), Dialect);
        reg->WriteString(QStringLiteral("FontName"), EditorFontName);
        reg->WriteInteger(QStringLiteral("FontSize"), EditorFontSize);
        reg->WriteInteger(QStringLiteral("FontCharset"), EditorFontCharset);
        reg->CloseKey();
        reg->Flush();
    }
    ApplyExtensions();
    ApplyEditorFont();
}

void TMainForm::ApplyEditorFont() {
    QFont font(EditorFontName);
    font.setPointSize(EditorFontSize);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    RAHLEditor1->setEditorFont(font);
    RAHLEditor2->setEditorFont(font);
}

void TMainForm::HandleCommandLine(const QStringList& params) {
    CommandLineFiles files = ResolveCommandLine(params);
    if (files.NewFileName.isEmpty()) return;
    OldFileName = files.OldFileName;
    NewFileName = files.NewFileName;
    FilenameEditOld->SetFileName(OldFileName);
    FilenameEditNew->SetFileName(NewFileName);
    RAHLEditor1->loadFile(OldFileName);
    RAHLEditor1->scrollToLine(0, 0);
    RAHLEditor2->loadFile(NewFileName);
    RAHLEditor2->scrollToLine(0, 0);
    QCoreApplication::processEvents();
    RunDiff();
}

void TMainForm::LoadView(bool old, const QString& fileName) {
    SourceEditor* view = old ? RAHLEditor1 : RAHLEditor2;
    view->loadFile(fileName);
    (old ? OldFileName : NewFileName) = QDir::toNativeSeparators(fileName);
    (old ? OldRange : NewRange) = {};
    Pane(old).WarningPanel->clear();
    view->scrollToLine(0, 0);
    view->update();
}

void TMainForm::LoadOldFile(const QString& fileName) {
    LoadView(true, fileName);
    FilenameEditOld->SetFileName(OldFileName);
}

void TMainForm::LoadNewFile(const QString& fileName) {
    LoadView(false, fileName);
    FilenameEditNew->SetFileName(NewFileName);
}

void TMainForm::ReloadOld() {
    LoadView(true, OldFileName);
    RunDiff();
}

void TMainForm::ReloadNew() {
    LoadView(false, NewFileName);
    RunDiff();
}

void TMainForm::RunDiff() {
    OldRange = {};
    NewRange = {};
    ShowSelection();
    ProgressDialog1->SetCaption(QStringLiteral("Differencing ..."));
    ProgressDialog1->SetText(QStringLiteral("Prepare ..."));
    ProgressDialog1->Open();
    // However the steps below end, the window leaves its busy state and the dialog closes.
    struct Finish {
        TMainForm& form;
        ~Finish() {
            form.Busy = false;
            form.ProgressDialog1->Close();
        }
    } finish{*this};
    Busy = true;
    FreeComparison();
    OldPane.WarningPanel->clear();
    NewPane.WarningPanel->clear();
    StatusMessage->clear();

    const std::vector<std::string> symbols = ToSymbols(Defines);
    const std::string oldText = RAHLEditor1->textCrLf();
    const std::string newText = RAHLEditor2->textCrLf();
    // An unknown stored name reads as auto.
    model::ParseOptions options;
    options.dialect = model::DialectFromName(Dialect.toStdString()).value_or(model::Dialect::Auto);
    compare::ComparisonResult result = compare::CompareSources(
        {oldText, OldFileName.toStdString()}, {newText, NewFileName.toStdString()}, symbols,
        options, [this](compare::CompareStep step) {
            ProgressDialog1->SetText(step == compare::CompareStep::ParseOld
                                         ? QStringLiteral("Parse ") + FilenameEditOld->text()
                                     : step == compare::CompareStep::ParseNew
                                         ? QStringLiteral("Parse ") + FilenameEditNew->text()
                                         : QStringLiteral("Find differences ..."));
        });
    const std::string message = compare::OutcomeMessage(result);
    OldSource = std::move(result.oldSource);
    NewSource = std::move(result.newSource);
    Comparison = std::move(result.diff);

    ProgressDialog1->SetText(QStringLiteral("Loading ..."));
    FillDiffTree();
    if (m_reportForm) m_reportForm->SetLines(ReportLines(result));
    ShowParseWarnings();

    if (!message.empty()) {
        ProgressDialog1->Close();
        m_dialogs.Information(this, QString::fromStdString(message));
    }
}

void TMainForm::ShowParseWarnings() {
    const std::pair<TSourcePane*, const model::TPasSrc*> sides[] = {{&OldPane, OldSource.get()},
                                                                    {&NewPane, NewSource.get()}};
    QStringList messages;
    for (auto [pane, src] : sides) {
        if (!src || src->Status.Complete) {
            pane->WarningPanel->clear();
            continue;
        }
        const model::ParseStatus& s = src->Status;
        const int line = compare::ParseStopLine(s);
        pane->WarningPanel->setText(
            line > 0 ? QStringLiteral("Structure followed only up to line %1").arg(line)
                     : QStringLiteral("Structure not followed to the end"));
        messages << ParseWarning(pane == &OldPane ? OldFileName : NewFileName, s);
    }
    if (Comparison) {
        const int n = CountDifferences(Comparison->Root);
        messages.prepend(n == 0   ? QStringLiteral("No structural differences.")
                         : n == 1 ? QStringLiteral("1 difference.")
                                  : QStringLiteral("%1 differences.").arg(n));
    }
    StatusMessage->setText(messages.join(QLatin1Char(' ')));
}

void TMainForm::FreeComparison() {
    DiffTreeView->clear();
    Comparison.reset();
    OldSource.reset();
    NewSource.reset();
}

namespace {
void AddDiffNodes(QTreeWidgetItem* parent, const model::TSourceDiffList& list,
                  const TImageList& images, QList<QTreeWidgetItem*>& topLevel) {
    for (size_t i = 0; i < list.Count(); ++i) {
        const model::TSourceDiffItem* item = list.Items(i);
        auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem;
        node->setText(0, QString::fromLatin1(item->Caption.data(),
                                             static_cast<qsizetype>(item->Caption.size())));
        node->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(item)));
        int image = StateImageIndex(item->State);
        if (image >= 0) node->setIcon(0, QIcon(images[static_cast<size_t>(image)]));
        if (!parent) topLevel.append(node);
        if (item->Children.Count() > 0) AddDiffNodes(node, item->Children, images, topLevel);
    }
}
} // namespace

const model::TSourceDiffItem* TMainForm::DiffItemOf(const QTreeWidgetItem* node) {
    if (!node) return nullptr;
    return reinterpret_cast<const model::TSourceDiffItem*>(
        node->data(0, Qt::UserRole).value<quintptr>());
}

void TMainForm::FillDiffTree() {
    DiffTreeView->setUpdatesEnabled(false);
    DiffTreeView->clear();
    if (Comparison) {
        QList<QTreeWidgetItem*> topLevel;
        AddDiffNodes(nullptr, Comparison->Root, ImageList1, topLevel);
        DiffTreeView->addTopLevelItems(topLevel);
    }
    DiffTreeView->setUpdatesEnabled(true);
}

void TMainForm::ExpandAll() {
    DiffTreeView->expandAll();
}

void TMainForm::CollapseAll() {
    DiffTreeView->collapseAll();
}

bool TMainForm::SideBySide() const {
    return SourceSplitter->orientation() == Qt::Horizontal;
}

int TMainForm::TreeWidth() const {
    return MainSplitter->sizes().value(0);
}

int TMainForm::OldPaneSize() const {
    return SourceSplitter->sizes().value(0);
}

void TMainForm::SetSplitMode(bool sideBySide) {
    {
        QSignalBlocker block(AlButton);
        AlButton->setChecked(sideBySide);
    }
    SourceSplitter->setOrientation(sideBySide ? Qt::Horizontal : Qt::Vertical);
    const int container = sideBySide ? SourceViewTab->width() : SourceViewTab->height();
    const int half = container / 2;
    SourceSplitter->setSizes({half, std::max(0, container - half - kSplitterHandle)});
}

void TMainForm::FirstShown() {
    RestoreLayout();
}

void TMainForm::RestoreLayout() {
    if (QLayout* l = layout()) l->activate();
    TAppRegistry* reg = Registry();
    const bool open = reg && reg->OpenSettingsKey(kMainKey, false);
    if (open) {
        const int total = MainSplitter->width() - MainSplitter->handleWidth();
        const int tree = reg->ReadInteger(QStringLiteral("TreeWidth"), TreeWidth());
        MainSplitter->setSizes({tree, std::max(0, total - tree)});
        if (QLayout* l = layout()) l->activate();
        const bool side = reg->ReadBool(QStringLiteral("Align"), false);
        SetSplitMode(side);
        const int tab = side ? SourceViewTab->width() : SourceViewTab->height();
        int pos = reg->ReadInteger(QStringLiteral("SplitPos"), OldPaneSize());
        if (pos > tab * 3 / 4) pos = tab / 2;
        SourceSplitter->setSizes({pos, std::max(0, tab - pos - kSplitterHandle)});
    }
    DefPathNew = open ? reg->ReadString(QStringLiteral("DefPathNew"), QString()) : QString();
    DefPathOld = open ? reg->ReadString(QStringLiteral("DefPathOld"), QString()) : QString();
    // A folder that is gone (or none stored yet) falls back to the program's folder.
    if (DefPathNew.isEmpty() || !QFileInfo(DefPathNew).isDir()) DefPathNew = ProgramFolder();
    if (DefPathOld.isEmpty() || !QFileInfo(DefPathOld).isDir()) DefPathOld = ProgramFolder();
    if (m_navigatorForm) m_navigatorForm->SetFolders(DefPathOld, DefPathNew);
    if (open) reg->CloseKey();
}

void TMainForm::SaveLayout() {
    TAppRegistry* reg = Registry();
    if (!reg || !reg->OpenSettingsKey(kMainKey, true)) return;
    reg->WriteInteger(QStringLiteral("TreeWidth"), TreeWidth());
    reg->WriteBool(QStringLiteral("Align"), SideBySide());
    reg->WriteInteger(QStringLiteral("SplitPos"), OldPaneSize());
    reg->WriteString(QStringLiteral("DefPathNew"), DefPathNew);
    reg->WriteString(QStringLiteral("DefPathOld"), DefPathOld);
    reg->CloseKey();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // A merge editor with changed text may keep the program open.
    if (!CloseMergeEditors()) {
        event->ignore();
        return;
    }
    event->accept();
    // The report and navigator windows stay open otherwise; the main window ends the program.
    QCoreApplication::quit();
}

} // namespace quennet::gui
