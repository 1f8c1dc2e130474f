// Report window.
#include "diff_rpt_form.h"

#include "user_dialogs.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <stdexcept>

namespace quennet::gui {

TDiffRptForm::TDiffRptForm(TAppRegistry* registry, TUserDialogs& dialogs, QWidget* parent)
    : TAdvForm(registry, parent), dialogs_(dialogs) {
    setWindowTitle(tr("Diff Report"));
    resize(560, 420);
    DiffMemo = new QPlainTextEdit(this);
    DiffMemo->setAccessibleName(tr("Report text"));
    DiffMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    DiffMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DiffMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
    DiffMemo->setFont(font);
    setCentralWidget(DiffMemo);

    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* save = file->addAction(tr("&Save"));
    save->setShortcut(QKeySequence::Save);
    connect(save, &QAction::triggered, this,
            [this] { RunCommand(dialogs_, this, [this] { SaveReport(); }); });
    DiffMemo->clear();
}

QStringList TDiffRptForm::Lines() const {
    QString text = DiffMemo->toPlainText();
    if (text.isEmpty()) return {};
    return text.split(QLatin1Char('\n'));
}

void TDiffRptForm::SetLines(const QStringList& lines) {
    DiffMemo->setUpdatesEnabled(false);
    DiffMemo->setPlainText(lines.join(QLatin1Char('\n')));
    DiffMemo->setUpdatesEnabled(true);
}

void TDiffRptForm::SaveReport() {
    SaveDialogOptions options;
    options.Title = tr("Save diff report as...");
    options.InitialDir = defaultFolder_ ? defaultFolder_() : QString();
    options.FileName = QStringLiteral("DiffReport.txt");
    options.Filter = tr("Text file (*.txt)|*.txt|All files (*.*)|*.*");
    options.DefaultSuffix = QStringLiteral("txt");
    QString name = dialogs_.SaveFileName(this, options);
    if (!name.isEmpty()) SaveToFile(name);
}

void TDiffRptForm::SaveToFile(const QString& path) const {
    QByteArray bytes;
    const QStringList lines = Lines();
    for (const QString& line : lines) {
        bytes += line.toLatin1();
        bytes += "\r\n";
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw std::runtime_error("Cannot write \"" + path.toStdString() +
                                 "\": " + file.errorString().toStdString());
}

void TDiffRptForm::closeEvent(QCloseEvent* event) {
    // The window lives until the program ends; closing only hides it and keeps its text.
    event->ignore();
    hide();
}

} // namespace quennet::gui
