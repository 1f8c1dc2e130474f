// The report window: the text report of the last compare, editable, saved as CR LF text.
#pragma once

#include "adv_form.h"

#include <QStringList>
#include <functional>

class QPlainTextEdit;

namespace quennet::gui {

class TUserDialogs;

class TDiffRptForm : public TAdvForm {
    Q_OBJECT
public:
    TDiffRptForm(TAppRegistry* registry, TUserDialogs& dialogs, QWidget* parent = nullptr);

    QPlainTextEdit* DiffMemo;

    // The memo's lines. SetLines replaces them with one repaint.
    QStringList Lines() const;
    void SetLines(const QStringList& lines);

    // The folder first offered by "&Save" (the main window's folder for new files).
    void SetDefaultFolderSource(std::function<QString()> source) {
        defaultFolder_ = std::move(source);
    }
    // "&Save": asks for a name ("DiffReport.txt" first) and writes the memo.
    void SaveReport();
    // Writes the memo as 8-bit text, every line followed by CR LF; throws naming the file.
    void SaveToFile(const QString& path) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    TUserDialogs& dialogs_;
    std::function<QString()> defaultFolder_;
};

} // namespace quennet::gui
