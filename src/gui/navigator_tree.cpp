// Navigator: the whole-tree page. The trees are read and compared on a thread of their own
// over the core's aligned outline; the window polls the progress and can cancel it.
#include "navigator_form.h"

#include "state_images.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quennet::gui {

namespace {

constexpr int kRowRole = Qt::UserRole + 2; // index into the rows
enum Column { kOldColumn, kNewColumn, kBreakingColumn, kAdditiveColumn, kInternalColumn };

std::string Local(const QString& s) {
    return QFile::encodeName(s).toStdString();
}

QString Qt8(const std::string& s) {
    return QFile::decodeName(QByteArray::fromStdString(s));
}

} // namespace

struct TNavigatorForm::TreeJob {
    std::string oldDir, newDir;
    folders::TreeRowOptions options;
    std::atomic<bool> cancel{false};
    std::atomic<size_t> done{0}, total{0};
    std::optional<std::vector<folders::TreeRow>> rows;
    std::string problem;
};

QPixmap RowGlyph(folders::RowStatus status) {
    static const TImageList images = MakeStateImages();
    switch (status) {
    case folders::RowStatus::OnlyOld: return images[ImgRemoved];
    case folders::RowStatus::OnlyNew: return images[ImgAdded];
    case folders::RowStatus::Different: return StatusGlyph(folders::FileStatus::Different);
    case folders::RowStatus::Identical: break;
    }
    return StatusGlyph(folders::FileStatus::Identical);
}

QWidget* TNavigatorForm::CreateTreePage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(3);
    auto* bar = new QHBoxLayout;
    CompareTreesButton = new QToolButton;
    CompareTreesButton->setText(tr("Compare trees"));
    CompareTreesButton->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    CompareTreesButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    CompareTreesButton->setToolTip(tr("Compare the two folders and all their subfolders"));
    ApiCounts = new QCheckBox(tr("API changes"));
    ApiCounts->setToolTip(tr("Count breaking, additive and internal changes of each unit"));
    ApiCounts->setChecked(true);
    bar->addWidget(CompareTreesButton);
    bar->addWidget(ApiCounts);
    bar->addStretch(1);
    layout->addLayout(bar);

    TreeView = new QTreeWidget;
    TreeView->setAccessibleName(tr("Whole tree"));
    TreeView->setColumnCount(5);
    TreeView->setHeaderLabels(
        {tr("Old files"), tr("New files"), tr("Breaking"), tr("Additive"), tr("Internal")});
    TreeView->setUniformRowHeights(true);
    TreeView->setIconSize(QSize(16, 16));
    TreeView->setSelectionMode(QAbstractItemView::SingleSelection);
    TreeView->header()->setStretchLastSection(false);
    TreeView->header()->setSectionResizeMode(kOldColumn, QHeaderView::Stretch);
    TreeView->header()->setSectionResizeMode(kNewColumn, QHeaderView::Stretch);
    for (int c : {kBreakingColumn, kAdditiveColumn, kInternalColumn})
        TreeView->header()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    layout->addWidget(TreeView, 1);

    TreeProgress = new QProgressBar;
    TreeProgress->setMaximumWidth(200);
    TreeProgress->hide();
    statusBar()->addPermanentWidget(TreeProgress);
    treeTimer_ = new QTimer(this);
    treeTimer_->setInterval(100);
    connect(treeTimer_, &QTimer::timeout, this, [this] {
        if (!treeJob_) return;
        TreeProgress->setMaximum(static_cast<int>(treeJob_->total.load()));
        TreeProgress->setValue(static_cast<int>(treeJob_->done.load()));
    });

    connect(CompareTreesButton, &QToolButton::clicked, this,
            [this] { Command([this] { CompareTrees(); }); });
    connect(TreeView, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { Command([this, item] { OpenTreeRow(item); }); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { CancelTreeCompare(); });
    return page;
}

void TNavigatorForm::CompareTrees() {
    CancelTreeCompare();
    auto job = std::make_shared<TreeJob>();
    job->oldDir = Local(Left.Folder);
    job->newDir = Local(Right.Folder);
    job->options.tree.mask = Local(Left.Mask);
    job->options.counts = ApiCounts->isChecked();
    if (readingSource_) job->options.tree.pair = folders::PairReading(readingSource_());
    job->options.tree.pair.api = folders::ApiMode::Public;
    job->options.cancel = &job->cancel;
    job->options.done = &job->done;
    job->options.total = &job->total;
    treeJob_ = job;
    // The thread holds its own reference: a cancelled job may outlive the window's interest.
    QThread* thread = QThread::create([job] {
        try {
            job->rows = folders::AlignTrees(job->oldDir, job->newDir, job->options);
        } catch (const std::exception& e) {
            job->problem = e.what();
        }
    });
    connect(thread, &QThread::finished, this, [this, job] {
        if (treeJob_ == job) TreeJobFinished();
    });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->setParent(this); // waited for when the window goes
    TreeProgress->setRange(0, 0);
    TreeProgress->show();
    statusBar()->showMessage(tr("Reading the trees ... (Escape cancels)"));
    CompareTreesButton->setEnabled(false);
    treeTimer_->start();
    thread->start(QThread::LowPriority);
}

void TNavigatorForm::WaitForTreeThreads() {
    if (treeJob_) treeJob_->cancel = true;
    for (QThread* thread : findChildren<QThread*>(Qt::FindDirectChildrenOnly))
        thread->wait();
}

void TNavigatorForm::CancelTreeCompare() {
    if (!treeJob_) return;
    treeJob_->cancel = true;
    treeJob_.reset();
    treeTimer_->stop();
    TreeProgress->hide();
    CompareTreesButton->setEnabled(true);
    statusBar()->showMessage(tr("Tree comparison cancelled."));
}

void TNavigatorForm::TreeJobFinished() {
    const std::shared_ptr<TreeJob> job = std::move(treeJob_);
    treeTimer_->stop();
    TreeProgress->hide();
    CompareTreesButton->setEnabled(true);
    if (!job->problem.empty()) {
        statusBar()->showMessage(QString::fromLocal8Bit(job->problem.c_str()));
        return;
    }
    if (!job->rows) return;
    treeRows_ = std::move(*job->rows);
    FillTreeView();
    emit TreeCompared();
}

void TNavigatorForm::FillTreeView() {
    TreeView->setUpdatesEnabled(false);
    TreeView->clear();
    std::vector<QTreeWidgetItem*> parents; // by depth
    int counts[4] = {0, 0, 0, 0};
    int breaking = 0, unread = 0, lineEnds = 0;
    for (size_t i = 0; i < treeRows_.size(); ++i) {
        const folders::TreeRow& row = treeRows_[i];
        parents.resize(static_cast<size_t>(row.depth));
        auto* item =
            parents.empty() ? new QTreeWidgetItem(TreeView) : new QTreeWidgetItem(parents.back());
        const QString name = Qt8(row.name) + (row.folder ? QStringLiteral("/") : QString());
        const QIcon glyph(RowGlyph(row.status));
        // One row, two sides: a name stands on the side where it exists.
        if (row.status != folders::RowStatus::OnlyNew) item->setText(kOldColumn, name);
        if (row.status != folders::RowStatus::OnlyOld) item->setText(kNewColumn, name);
        if (row.status != folders::RowStatus::OnlyNew) item->setIcon(kOldColumn, glyph);
        if (row.status != folders::RowStatus::OnlyOld) item->setIcon(kNewColumn, glyph);
        if (row.counted && row.status != folders::RowStatus::Identical) {
            item->setText(kBreakingColumn, QString::number(row.breaking));
            item->setText(kAdditiveColumn, QString::number(row.additive));
            item->setText(kInternalColumn, QString::number(row.internal));
            for (int c : {kBreakingColumn, kAdditiveColumn, kInternalColumn})
                item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        }
        if (row.counted && row.breaking > 0) {
            QFont bold = item->font(kBreakingColumn);
            bold.setBold(true);
            item->setFont(kBreakingColumn, bold);
        }
        std::string tip = folders::RowNote(row);
        for (const std::string& move : row.moves)
            tip += (tip.empty() ? "" : "\n") + move;
        for (int c = 0; !tip.empty() && c < TreeView->columnCount(); ++c)
            item->setToolTip(c, Qt8(tip));
        if (!folders::RowNote(row).empty()) {
            // Counts of a unit read only in part, or of line ends alone, are not what they seem.
            QFont italic = item->font(kOldColumn);
            italic.setItalic(true);
            for (int c : {kOldColumn, kNewColumn})
                item->setFont(c, italic);
        }
        item->setData(kOldColumn, kRowRole, static_cast<qulonglong>(i));
        // A unit holds its form; the form shows under it without a click.
        if (row.besideUnit) item->parent()->setExpanded(true);
        parents.push_back(item);
        if (row.folder) {
            // Folders with differences open; identical ones stay closed.
            item->setExpanded(row.status != folders::RowStatus::Identical);
        } else {
            ++counts[static_cast<int>(row.status)];
            breaking += row.breaking;
            unread += row.unreadUnits;
            lineEnds += row.lineEndsOnly ? 1 : 0;
        }
    }
    TreeView->setUpdatesEnabled(true);
    QString message = tr("%1 identical, %2 different, %3 only old, %4 only new")
                          .arg(counts[static_cast<int>(folders::RowStatus::Identical)])
                          .arg(counts[static_cast<int>(folders::RowStatus::Different)])
                          .arg(counts[static_cast<int>(folders::RowStatus::OnlyOld)])
                          .arg(counts[static_cast<int>(folders::RowStatus::OnlyNew)]);
    if (lineEnds > 0) message += tr(" (%1 only in line ends)").arg(lineEnds);
    if (ApiCounts->isChecked()) message += tr("; %1 breaking changes").arg(breaking);
    if (unread > 0) message += tr("; %1 not read to the end").arg(unread);
    statusBar()->showMessage(message);
}

void TNavigatorForm::OpenTreeRow(const QTreeWidgetItem* item) {
    if (!item) return;
    const size_t i = item->data(kOldColumn, kRowRole).toULongLong();
    if (i >= treeRows_.size() || treeRows_[i].folder) return;
    const folders::TreeRow& row = treeRows_[i];
    const QString rel = Qt8(row.path);
    const QString oldFile =
        row.status == folders::RowStatus::OnlyNew ? QString() : QDir(Left.Folder).filePath(rel);
    const QString newFile =
        row.status == folders::RowStatus::OnlyOld ? QString() : QDir(Right.Folder).filePath(rel);
    auto folder = [](const QString& f) {
        return f.isEmpty() ? QString()
                           : QDir::toNativeSeparators(QFileInfo(f).absolutePath() + '/');
    };
    emit PairChosen(oldFile, newFile, folder(oldFile), folder(newFile));
}

} // namespace quennet::gui
