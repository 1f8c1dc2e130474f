// Folder navigator window. The statuses come from the core's folder comparison; the widgets
// only list names and draw glyphs.
#include "navigator_form.h"

#include "app_registry.h"
#include "state_images.h"
#include "user_dialogs.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QSplitter>
#include <QStatusBar>
#include <QStorageInfo>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace quennet::gui {

namespace {

const QString kPanelHeight = QStringLiteral("PanelHeight");
constexpr int kStatusRole = Qt::UserRole + 1;

std::string Local(const QString& s) {
    return QFile::encodeName(s).toStdString();
}

QString Clean(const QString& folder) {
    return QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(folder)).absoluteFilePath());
}

} // namespace

const std::array<TNavigatorFilter, 4>& NavigatorFilters() {
    static const std::array<TNavigatorFilter, 4> filters = {{
        {QStringLiteral("Pascal files (*.pas;*.pp;*.inc;*.dpr;*.lpr;*.dpk)"),
         QStringLiteral("*.pas;*.pp;*.inc;*.dpr;*.lpr;*.dpk")},
        {QStringLiteral("Delphi files (*.pas;*.dpr)"), QStringLiteral("*.pas;*.dpr")},
        {QStringLiteral("Delphi all files (*.pas;*.dpr;*.~pa;*.~dp)"),
         QStringLiteral("*.pas;*.dpr;*.~pa;*.~dp")},
        {QStringLiteral("All files (*.*)"), QStringLiteral("*.*")},
    }};
    return filters;
}

QPixmap StatusGlyph(folders::FileStatus status) {
    static const TImageList images = MakeStateImages();
    switch (status) {
    case folders::FileStatus::OnlyHere: return images[ImgAdded];
    case folders::FileStatus::Different: return images[ImgChanged];
    case folders::FileStatus::Identical: break;
    }
    // A plain white page with a folded corner.
    QPixmap page(16, 16);
    page.fill(Qt::transparent);
    QPainter g(&page);
    g.setPen(QColor(110, 110, 110));
    g.setBrush(Qt::white);
    const QPoint outline[] = {{3, 1}, {10, 1}, {13, 4}, {13, 14}, {3, 14}};
    g.drawPolygon(outline, 5);
    g.drawLine(10, 1, 10, 4);
    g.drawLine(10, 4, 13, 4);
    return page;
}

void TNavigatorForm::Command(const std::function<void()>& f) {
    if (dialogs_) {
        RunCommand(*dialogs_, this, f);
        return;
    }
    try {
        f();
    } catch (const std::exception& e) {
        statusBar()->showMessage(QString::fromLocal8Bit(e.what()));
    }
}

TNavigatorForm::TNavigatorForm(TAppRegistry* registry, QWidget* parent)
    : TAdvForm(registry, parent, Qt::Tool) {
    setWindowTitle(tr("Navigator"));
    resize(640, 520);

    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    folders_->setRootPath(QDir::rootPath());
    // The model reads folders in the background; once a folder on a side's path has arrived,
    // the tree can show that side's folder.
    connect(folders_, &QFileSystemModel::directoryLoaded, this, [this](const QString& path) {
        for (TSide* side : {&Left, &Right}) {
            const QString folder = Clean(side->Folder);
            if (folder == path ||
                folder.startsWith(path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/')))
                ShowFolderInTree(*side);
        }
    });

    auto* top = new QWidget;
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(4, 4, 4, 0);
    topLayout->addWidget(CreateTop(Left, true), 1);
    topLayout->addWidget(CreateTop(Right, false), 1);
    auto* lists = new QWidget;
    auto* bottomLayout = new QHBoxLayout(lists);
    bottomLayout->setContentsMargins(4, 0, 4, 4);
    bottomLayout->addWidget(CreateBottom(Left, true), 1);
    bottomLayout->addWidget(CreateBottom(Right, false), 1);
    BottomPages = new QTabWidget;
    BottomPages->setDocumentMode(true);
    BottomPages->addTab(lists, tr("Folders"));
    BottomPages->addTab(CreateTreePage(), tr("Whole tree"));
    QWidget* bottom = BottomPages;

    PanelSplitter = new QSplitter(Qt::Vertical);
    PanelSplitter->setChildrenCollapsible(false);
    PanelSplitter->addWidget(top);
    PanelSplitter->addWidget(bottom);
    PanelSplitter->setSizes({220, 300});
    setCentralWidget(PanelSplitter);
    statusBar()->setSizeGripEnabled(true);

    // The splitter position is read now and applied once the window has its stored size.
    if (registry && registry->OpenSettingsKey(SettingsKey(), false)) {
        storedPanelHeight_ = registry->ReadInteger(kPanelHeight, -1);
        registry->CloseKey();
    }

    const QString home = QDir::homePath();
    SetFolders(home, home);
}

TNavigatorForm::~TNavigatorForm() {
    WaitForTreeThreads();
    if (!WasShown()) return;
    SavePlacement();
    TAppRegistry* reg = Registry();
    if (!reg || !reg->OpenSettingsKey(SettingsKey(), true)) return;
    reg->WriteInteger(kPanelHeight, PanelHeight());
    reg->CloseKey();
}

QWidget* TNavigatorForm::CreateTop(TSide& side, bool left) {
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    auto* header = new QHBoxLayout;
    header->setSpacing(4);
    side.Caption = new QLabel(left ? tr("Old files") : tr("New files"));
    QFont bold = side.Caption->font();
    bold.setBold(true);
    side.Caption->setFont(bold);
    side.DriveBox = new QComboBox;
    side.DriveBox->setToolTip(tr("Folder: choose a drive or type a path and press Enter"));
    side.DriveBox->setEditable(true);
    side.DriveBox->setInsertPolicy(QComboBox::NoInsert);
    side.DriveBox->lineEdit()->setAccessibleName(left ? tr("Old folder") : tr("New folder"));
    side.DriveBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    side.DriveBox->setMinimumContentsLength(8);
    FillDriveBox(side);

    auto button = [this](QStyle::StandardPixmap icon, const QString& hint) {
        auto* b = new QToolButton;
        b->setIcon(style()->standardIcon(icon));
        b->setToolTip(hint);
        b->setAutoRaise(true);
        return b;
    };
    if (left) {
        SetLeftEqRightButton = button(QStyle::SP_ArrowLeft, tr("Set left folder eq right"));
        RefreshButton = button(QStyle::SP_BrowserReload, tr("Refresh contents"));
        header->addWidget(side.Caption);
        header->addWidget(side.DriveBox, 1);
        header->addWidget(SetLeftEqRightButton);
        header->addWidget(RefreshButton);
        connect(SetLeftEqRightButton, &QToolButton::clicked, this,
                [this] { Command([this] { SetLeftFolderEqRight(); }); });
        connect(RefreshButton, &QToolButton::clicked, this,
                [this] { Command([this] { RefreshContents(); }); });
    } else {
        SetRightEqLeftButton = button(QStyle::SP_ArrowRight, tr("Set right folder eq left"));
        header->addWidget(SetRightEqLeftButton);
        header->addWidget(side.Caption);
        header->addWidget(side.DriveBox, 1);
        connect(SetRightEqLeftButton, &QToolButton::clicked, this,
                [this] { Command([this] { SetRightFolderEqLeft(); }); });
    }
    layout->addLayout(header);

    side.FolderTree = new QTreeView;
    side.FolderTree->setAccessibleName(left ? tr("Old folders") : tr("New folders"));
    side.FolderTree->setModel(folders_);
    side.FolderTree->setHeaderHidden(true);
    for (int c = 1; c < folders_->columnCount(); ++c)
        side.FolderTree->hideColumn(c);
    side.FolderTree->setSelectionMode(QAbstractItemView::SingleSelection);
    side.FolderTree->setUniformRowHeights(true);
    layout->addWidget(side.FolderTree, 1);

    TSide* s = &side;
    connect(side.FolderTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this, left, s](const QModelIndex& index) {
                if (!index.isValid()) return;
                const QString folder = folders_->filePath(index);
                if (folder != Clean(s->Folder))
                    Command([this, left, folder] { SetFolder(left, folder); });
            });
    // A chosen drive and a typed path both arrive on Enter; the text decides which it was.
    connect(side.DriveBox->lineEdit(), &QLineEdit::returnPressed, this, [this, left, s] {
        const QString text = s->DriveBox->lineEdit()->text();
        Command([this, left, text] { TypedFolder(left, text); });
    });
    connect(side.DriveBox, &QComboBox::activated, this, [this, left, s](int index) {
        const QString root = s->DriveBox->itemData(index).toString();
        Command([this, left, root] { SetFolder(left, root); });
    });
    return panel;
}

QWidget* TNavigatorForm::CreateBottom(TSide& side, bool left) {
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    side.FileList = new QListWidget;
    side.FileList->setAccessibleName(left ? tr("Old files") : tr("New files"));
    side.FileList->setSelectionMode(QAbstractItemView::SingleSelection);
    side.FileList->setIconSize(QSize(16, 16));
    side.FileList->setUniformItemSizes(true);
    side.FilterBox = new QComboBox;
    // Long filter captions must not make the window wider than the folder lists need.
    side.FilterBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    side.FilterBox->setMinimumContentsLength(12);
    for (const TNavigatorFilter& f : NavigatorFilters())
        side.FilterBox->addItem(f.Caption, f.Mask);
    layout->addWidget(side.FileList, 1);
    layout->addWidget(side.FilterBox);
    connect(side.FileList, &QListWidget::itemClicked, this,
            [this, left] { Command([this, left] { FileListClick(left); }); });
    connect(side.FileList, &QListWidget::itemDoubleClicked, this,
            [this, left] { Command([this, left] { FileListDblClick(left); }); });
    connect(side.FilterBox, &QComboBox::activated, this,
            [this, left](int index) { Command([this, left, index] { SetFilter(left, index); }); });
    return panel;
}

void TNavigatorForm::FillDriveBox(TSide& side) {
    QStringList roots = {QDir::rootPath(), QDir::homePath()};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady()) continue;
        const QString root = volume.rootPath();
        if (!roots.contains(root)) roots << root;
    }
    side.DriveBox->clear();
    for (const QString& root : roots)
        side.DriveBox->addItem(QDir::toNativeSeparators(root), Clean(root));
}

void TNavigatorForm::SetFolders(const QString& oldFolder, const QString& newFolder) {
    SetFolder(true, oldFolder);
    SetFolder(false, newFolder);
}

void TNavigatorForm::SetFolder(bool left, const QString& folder) {
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) return;
    TSide& side = Side(left);
    // Kept as given (the main window's default folders end in a separator); compared cleaned.
    side.Folder = folder;
    const QString clean = Clean(folder);
    // The drive box shows the root the folder lies under: the longest matching entry.
    int best = -1, bestLength = -1;
    for (int i = 0; i < side.DriveBox->count(); ++i) {
        const QString root = side.DriveBox->itemData(i).toString();
        const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
        if ((clean == root || clean.startsWith(prefix)) && root.size() > bestLength) {
            best = i;
            bestLength = static_cast<int>(root.size());
        }
    }
    if (best >= 0) side.DriveBox->setCurrentIndex(best);
    side.DriveBox->setEditText(QDir::toNativeSeparators(folder));
    ShowFolderInTree(side);
    ReadFileNames(side);
    UpdateStatuses();
}

void TNavigatorForm::ShowFolderInTree(TSide& side) {
    const QModelIndex index = folders_->index(Clean(side.Folder));
    if (!index.isValid()) return;
    QSignalBlocker block(side.FolderTree->selectionModel());
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        side.FolderTree->expand(up);
    side.FolderTree->setCurrentIndex(index);
    side.FolderTree->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void TNavigatorForm::SetFilter(bool left, int index) {
    const auto& filters = NavigatorFilters();
    if (index < 0 || index >= static_cast<int>(filters.size())) return;
    TSide& side = Side(left);
    side.FilterBox->setCurrentIndex(index);
    side.Mask = filters[static_cast<size_t>(index)].Mask;
    ReadFileNames(side);
    UpdateStatuses();
}

void TNavigatorForm::ReadFileNames(TSide& side) {
    const QString selected =
        side.FileList->currentItem() && side.FileList->currentItem()->isSelected()
            ? side.FileList->currentItem()->text()
            : QString();
    side.FileList->clear();
    std::vector<std::string> names;
    try {
        names = folders::ListFolderFiles(Local(side.Folder), Local(side.Mask));
    } catch (const std::exception& e) {
        statusBar()->showMessage(QString::fromLocal8Bit(e.what()));
        return;
    }
    for (const std::string& name : names) {
        auto* item = new QListWidgetItem(QFile::decodeName(QByteArray::fromStdString(name)));
        side.FileList->addItem(item);
    }
    if (!selected.isEmpty()) SelectFileName(&side == &Left, selected);
}

void TNavigatorForm::UpdateStatuses() {
    QStringList summary;
    for (bool left : {true, false}) {
        int counts[3] = {0, 0, 0};
        TSide& here = Side(left);
        const TSide& there = Side(!left);
        const std::string a = Local(here.Folder);
        const std::string b = Local(there.Folder);
        for (int i = 0; i < here.FileList->count(); ++i) {
            QListWidgetItem* item = here.FileList->item(i);
            const auto status = folders::StatusOf(a, b, Local(item->text()));
            item->setIcon(QIcon(StatusGlyph(status)));
            item->setData(kStatusRole, static_cast<int>(status));
            item->setToolTip(QString::fromLatin1(folders::FileStatusName(status)));
            ++counts[static_cast<int>(status)];
        }
        here.FileList->viewport()->update();
        summary << tr("%1: %2 identical, %3 different, %4 only here")
                       .arg(left ? tr("Old files") : tr("New files"))
                       .arg(counts[static_cast<int>(folders::FileStatus::Identical)])
                       .arg(counts[static_cast<int>(folders::FileStatus::Different)])
                       .arg(counts[static_cast<int>(folders::FileStatus::OnlyHere)]);
    }
    statusBar()->showMessage(summary.join(QStringLiteral("    ")));
}

void TNavigatorForm::RefreshContents() {
    ReadFileNames(Left);
    ReadFileNames(Right);
    UpdateStatuses();
}

void TNavigatorForm::TypedFolder(bool left, const QString& text) {
    // Quotes come with paths pasted from a shell or a file manager.
    QString folder = text.trimmed();
    if (folder.size() >= 2 && (folder.front() == '"' || folder.front() == '\'') &&
        folder.back() == folder.front())
        folder = folder.mid(1, folder.size() - 2);
    if (folder.startsWith(QStringLiteral("~/")) || folder == QStringLiteral("~"))
        folder.replace(0, 1, QDir::homePath());
    if (folder.isEmpty()) return;
    if (!QFileInfo(folder).isDir()) {
        statusBar()->showMessage(tr("\"%1\" is not a folder.").arg(folder));
        Side(left).DriveBox->setEditText(QDir::toNativeSeparators(Side(left).Folder));
        return;
    }
    SetFolder(left, folder);
}

void TNavigatorForm::SetRightFolderEqLeft() {
    SetFolder(false, Left.Folder);
}

void TNavigatorForm::SetLeftFolderEqRight() {
    SetFolder(true, Right.Folder);
}

QString TNavigatorForm::SelectedFile(bool left) const {
    const TSide& side = Side(left);
    const QListWidgetItem* item = side.FileList->currentItem();
    if (!item || !item->isSelected()) return QString();
    const QString path = QDir(side.Folder).filePath(item->text());
    return folders::FileExists(Local(path)) ? path : QString();
}

void TNavigatorForm::SelectFileName(bool left, const QString& name) {
    QListWidget* list = Side(left).FileList;
    if (!name.isEmpty()) {
        // Names are compared as the file system compares them: case-sensitively here.
        const auto found = list->findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (!found.isEmpty()) {
            list->setCurrentItem(found.first());
            list->scrollToItem(found.first());
            return;
        }
    }
    list->clearSelection();
    list->setCurrentItem(nullptr);
}

std::optional<folders::FileStatus> TNavigatorForm::StatusOf(bool left, const QString& name) const {
    const auto found =
        Side(left).FileList->findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found.isEmpty()) return std::nullopt;
    return static_cast<folders::FileStatus>(found.first()->data(kStatusRole).toInt());
}

QStringList TNavigatorForm::FileNames(bool left) const {
    QStringList names;
    const QListWidget* list = Side(left).FileList;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

void TNavigatorForm::FileListClick(bool left) {
    // One folder on both sides: there is no other file to point at.
    if (Clean(Left.Folder) == Clean(Right.Folder)) return;
    const TSide& here = Side(left);
    const QListWidgetItem* item = here.FileList->currentItem();
    const QString name = item && item->isSelected() ? item->text() : QString();
    const QString namesake = QDir(Side(!left).Folder).filePath(name);
    SelectFileName(!left,
                   !name.isEmpty() && folders::FileExists(Local(namesake)) ? name : QString());
}

void TNavigatorForm::FileListDblClick(bool left) {
    FileListClick(left);
    OpenSelectedPair();
}

void TNavigatorForm::OpenSelectedPair() {
    const QString oldFile = SelectedFile(true);
    const QString newFile = SelectedFile(false);
    if (oldFile.isEmpty() && newFile.isEmpty()) return;
    auto folder = [](const QString& f) {
        return QDir::toNativeSeparators(QString::fromStdString(
            folders::WithTrailingSeparator(QDir::fromNativeSeparators(f).toStdString())));
    };
    emit PairChosen(oldFile, newFile, folder(Left.Folder), folder(Right.Folder));
}

int TNavigatorForm::PanelHeight() const {
    return PanelSplitter->sizes().value(0);
}

void TNavigatorForm::FirstShown() {
    if (storedPanelHeight_ <= 0) return;
    const int total = PanelSplitter->height() - PanelSplitter->handleWidth();
    const int top = std::min(storedPanelHeight_, std::max(0, total - 60));
    PanelSplitter->setSizes({top, std::max(0, total - top)});
}

} // namespace quennet::gui
