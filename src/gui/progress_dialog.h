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

    QLabel* Label1;
    QProgressBar* W95Meter1;
    QPushButton* AbortBtn;
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
    TProgressDialog* m_component;
};

class TProgressDialog : public QObject {
    Q_OBJECT
public:
    // owner: the window the progress window is centred over.
    explicit TProgressDialog(QWidget* owner);
    ~TProgressDialog() override;

    void Open();
    void Close();
    int OpenCount() const { return m_openCount; }
    // The progress window while shown, else null.
    TProgressDialogForm* Form() const { return m_form.get(); }
    // Set by the close box, Esc and the Abort button of the current progress window.
    bool Aborted() const { return m_form && m_form->Aborted; }

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& value);
    bool CanMinimize() const { return m_canMinimize; }
    void SetCanMinimize(bool value) { m_canMinimize = value; }
    QString ButtonCaption() const { return m_buttonCaption; }
    void SetButtonCaption(const QString& value);
    QString Text() const { return m_text; }
    void SetText(const QString& value);
    int Min() const { return m_min; }
    void SetMin(int value);
    int Max() const { return m_max; }
    void SetMax(int value);
    int Position() const { return m_position; }
    void SetPosition(int value);
    // With an empty range the percentage is 0 and setting it moves to Min.
    int Percent() const;
    void SetPercent(int value);
    bool MeterVisible() const { return m_meterVisible; }
    void SetMeterVisible(bool value);
    bool ButtonEnabled() const { return m_buttonEnabled; }
    void SetButtonEnabled(bool value);

    // Called by the form when the user minimises it.
    void MinimizeApplication();

private:
    void ShowForm();
    void HideForm();
    void Refresh();

    QPointer<QWidget> m_owner;
    std::unique_ptr<TProgressDialogForm> m_form;
    int m_openCount = 0;
    QString m_savedTitle;
    std::vector<QPointer<QWidget>> m_disabled;
    std::vector<QPointer<QWidget>> m_minimized;

    QString m_caption;
    bool m_canMinimize = true;
    QString m_buttonCaption = QStringLiteral("Abort");
    QString m_text;
    int m_min = 0;
    int m_max = 100;
    int m_position = 0;
    bool m_meterVisible = true;
    bool m_buttonEnabled = true;
};

} // namespace quennet::gui
