// Progress of a long operation that runs on the user-interface thread: a small window with a
// caption, a line of text, an optional bar and an optional Abort button. While it is shown every
// other window of the application is disabled, and pending events are processed only when one of
// its properties changes, so no other command can start meanwhile.
#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;

namespace quennet::gui {

class TProgressDialog;

class TProgressDialogForm : public QDialog {
    Q_OBJECT
public:
    explicit TProgressDialogForm(TProgressDialog* component);

    QLabel* TextLabel;
    QProgressBar* Meter;
    QPushButton* AbortButton;
    bool Aborted = false;

    // Label top and client height by what is visible.
    void ApplyLayout();
    // Grows (never shrinks) to fit the label's text, keeping the window's centre.
    void FitWidth();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void PlaceChildren();
    TProgressDialog* component_;
};

class TProgressDialog : public QObject {
    Q_OBJECT
public:
    // owner: the window the progress window is centred over.
    explicit TProgressDialog(QWidget* owner);
    ~TProgressDialog() override;

    void Open();
    void Close();
    int OpenCount() const { return openCount_; }
    // The progress window while shown, else null.
    TProgressDialogForm* Form() const { return form_.get(); }
    // Set by the close box, Esc and the Abort button of the current progress window.
    bool Aborted() const { return form_ && form_->Aborted; }

    QString Caption() const { return caption_; }
    void SetCaption(const QString& value);
    bool CanMinimize() const { return canMinimize_; }
    void SetCanMinimize(bool value) { canMinimize_ = value; }
    QString ButtonCaption() const { return buttonCaption_; }
    void SetButtonCaption(const QString& value);
    QString Text() const { return text_; }
    void SetText(const QString& value);
    int Min() const { return min_; }
    void SetMin(int value);
    int Max() const { return max_; }
    void SetMax(int value);
    int Position() const { return position_; }
    void SetPosition(int value);
    // With an empty range the percentage is 0 and setting it moves to Min.
    int Percent() const;
    void SetPercent(int value);
    bool MeterVisible() const { return meterVisible_; }
    void SetMeterVisible(bool value);
    bool ButtonEnabled() const { return buttonEnabled_; }
    void SetButtonEnabled(bool value);

    // Called by the form when the user minimises it.
    void MinimizeApplication();

private:
    void ShowForm();
    void HideForm();
    void Refresh();

    QPointer<QWidget> owner_;
    std::unique_ptr<TProgressDialogForm> form_;
    int openCount_ = 0;
    QString savedTitle_;
    std::vector<QPointer<QWidget>> disabled_;
    std::vector<QPointer<QWidget>> minimized_;

    QString caption_;
    bool canMinimize_ = true;
    QString buttonCaption_ = QStringLiteral("Abort");
    QString text_;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    bool meterVisible_ = true;
    bool buttonEnabled_ = true;
};

} // namespace quennet::gui
