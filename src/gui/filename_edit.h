// A read-only file-name box with a browse button. Hooks run around the browse dialog so the
// owner can pick the first folder and react to the chosen name before the box shows it.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>

class QLineEdit;
class QMenu;
class QToolButton;

namespace quennet::gui {

class TUserDialogs;

// A shown name is usable as a starting point for the dialog only when it is well formed.
bool IsWellFormedFileName(const QString& name);

class TFilenameEdit : public QWidget {
    Q_OBJECT
public:
    TFilenameEdit(TUserDialogs& dialogs, QWidget* parent = nullptr);

    QString FileName() const;
    void SetFileName(const QString& name);
    void Clear() { SetFileName(QString()); }
    // The text shown (the file name).
    QString text() const { return FileName(); }

    // Stored form "Desc|*.a;*.b|...".
    QString Filter() const { return filter_; }
    void SetFilter(const QString& filter) { filter_ = filter; }
    QString InitialDir() const { return initialDir_; }
    void SetInitialDir(const QString& dir) { initialDir_ = dir; }
    QString DialogTitle() const { return title_; }
    void SetDialogTitle(const QString& title) { title_ = title; }

    std::function<void(TFilenameEdit&)> BeforeDialog;
    // Asked first with an accepted name: false drops the choice as if the dialog was cancelled.
    std::function<bool(TFilenameEdit&, const QString&)> MayTake;
    // Chosen name and whether the dialog was accepted; runs before the box takes the name.
    std::function<void(TFilenameEdit&, const QString&, bool)> AfterDialog;

    // The browse button's command.
    void Browse();
    // The files the drop-down offers, most recent first; choosing one acts as the dialog would.
    void SetRecent(const QStringList& files);
    QStringList Recent() const { return recent_; }
    void ChooseRecent(const QString& file);

    QLineEdit* Edit() const { return edit_; }
    QToolButton* Button() const { return button_; }
    QToolButton* RecentButton() const { return recentButton_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Chosen(const QString& chosen, bool accepted);
    // A name wider than the box is shown with its middle left out; the tip has it whole.
    void ShowElided();

    TUserDialogs& dialogs_;
    QLineEdit* edit_;
    QToolButton* button_;
    QToolButton* recentButton_;
    QString name_;
    QMenu* recentMenu_;
    QStringList recent_;
    QString filter_;
    QString initialDir_;
    QString title_ = QStringLiteral("Browse");
};

} // namespace quennet::gui
