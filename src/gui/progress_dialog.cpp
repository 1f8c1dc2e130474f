// The progress window and its component.
#include "progress_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace quennet::gui {

namespace {
constexpr int kDesignWidth = 265;
constexpr int kHeightWithButton = 76;
constexpr int kHeightWithoutButton = 48;
constexpr int kMinWidth = 260;
} // namespace

TProgressDialogForm::TProgressDialogForm(TProgressDialog* component)
    : QDialog(nullptr), m_component(component) {
    setWindowTitle(QStringLiteral("Progress"));
    Label1 = new QLabel(this);
    Label1->setTextFormat(Qt::PlainText);
    W95Meter1 = new QProgressBar(this);
    W95Meter1->setTextVisible(false);
    W95Meter1->setFixedHeight(10);
    AbortBtn = new QPushButton(QStringLiteral("Abort"), this);
    AbortBtn->setFixedSize(75, 25);
    AbortBtn->setAutoDefault(false);
    connect(AbortBtn, &QPushButton::clicked, this, [this] { Aborted = true; });
    setFixedSize(kDesignWidth, kHeightWithButton);
}

void TProgressDialogForm::ApplyLayout() {
    int h = AbortBtn->isVisibleTo(this) ? kHeightWithButton : kHeightWithoutButton;
    setFixedSize(width(), h);
    PlaceChildren();
}

void TProgressDialogForm::FitWidth() {
    int w = Label1->fontMetrics().horizontalAdvance(Label1->text()) + 20;
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (s && w > s->geometry().width()) w = s->geometry().width();
    if (w < kMinWidth) w = kMinWidth;
    if (w > width()) {
        int growth = w - width();
        setFixedSize(w, height());
        move(x() - growth / 2, y());
        PlaceChildren();
    }
}

void TProgressDialogForm::PlaceChildren() {
    const int cw = width();
    const bool bar = W95Meter1->isVisibleTo(this);
    const int labelTop = bar ? 10 : 20;
    const int labelHeight = Label1->fontMetrics().height();
    Label1->setGeometry(5, labelTop, cw - 10, labelHeight);
    if (bar) W95Meter1->setGeometry(5, labelTop + labelHeight + 4, cw - 10, 10);
    AbortBtn->move((cw - AbortBtn->width()) / 2, height() - AbortBtn->height() - 8);
}

void TProgressDialogForm::closeEvent(QCloseEvent* event) {
    // The close box only asks to abort; the operation decides.
    Aborted = true;
    event->ignore();
}

void TProgressDialogForm::reject() {
    Aborted = true;
}

void TProgressDialogForm::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    PlaceChildren();
}

void TProgressDialogForm::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && m_component &&
        m_component->CanMinimize())
        m_component->MinimizeApplication();
}

TProgressDialog::TProgressDialog(QWidget* owner) : QObject(owner), m_owner(owner) {}

TProgressDialog::~TProgressDialog() {
    if (m_form) HideForm();
}

void TProgressDialog::Open() {
    if (m_openCount == 0) ShowForm();
    ++m_openCount;
}

void TProgressDialog::Close() {
    if (m_openCount <= 0) return;
    if (--m_openCount == 0) HideForm();
}

void TProgressDialog::ShowForm() {
    m_savedTitle = QGuiApplication::applicationDisplayName();
    m_form = std::make_unique<TProgressDialogForm>(this);
    TProgressDialogForm* f = m_form.get();
    f->Label1->setText(m_text);
    f->setWindowTitle(m_caption);
    if (m_meterVisible) {
        f->W95Meter1->setRange(m_min, m_max);
        f->W95Meter1->setValue(m_position);
    }
    f->W95Meter1->setVisible(m_meterVisible);
    f->AbortBtn->setVisible(m_buttonEnabled);
    f->AbortBtn->setText(m_buttonCaption);
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (m_canMinimize) flags |= Qt::WindowMinimizeButtonHint;
    f->setWindowFlags(flags);
    f->ApplyLayout();

    // Centred over the owner; no widget parent, since disabling the owner would disable it too.
    if (m_owner) {
        QRect o = m_owner->frameGeometry();
        f->move(o.center().x() - f->width() / 2, o.center().y() - f->height() / 2);
    }
    f->FitWidth();

    m_disabled.clear();
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        if (w == f || !w->isEnabled()) continue;
        w->setEnabled(false);
        m_disabled.emplace_back(w);
    }
    f->show();
    if (m_owner && m_owner->windowHandle() && f->windowHandle())
        f->windowHandle()->setTransientParent(m_owner->windowHandle());
    f->repaint();
}

void TProgressDialog::HideForm() {
    for (auto& w : m_minimized)
        if (w && w->isMinimized()) w->showNormal();
    m_minimized.clear();
    for (auto& w : m_disabled)
        if (w) w->setEnabled(true);
    m_disabled.clear();
    m_form->hide();
    m_form.reset();
    QGuiApplication::setApplicationDisplayName(m_savedTitle);
}

void TProgressDialog::Refresh() {
    m_form->repaint();
    QCoreApplication::processEvents();
}

void TProgressDialog::SetCaption(const QString& value) {
    m_caption = value;
    if (!m_form) return;
    m_form->setWindowTitle(value);
    Refresh();
}

void TProgressDialog::SetButtonCaption(const QString& value) {
    m_buttonCaption = value;
    if (!m_form) return;
    m_form->AbortBtn->setText(value);
    Refresh();
}

void TProgressDialog::SetText(const QString& value) {
    m_text = value;
    if (!m_form) return;
    m_form->Label1->setText(value);
    m_form->FitWidth();
    QGuiApplication::setApplicationDisplayName(value);
    Refresh();
}

void TProgressDialog::SetMin(int value) {
    m_min = value;
    if (!m_form) return;
    m_form->W95Meter1->setMinimum(value);
    Refresh();
}

void TProgressDialog::SetMax(int value) {
    m_max = value;
    if (!m_form) return;
    m_form->W95Meter1->setMaximum(value);
    Refresh();
}

void TProgressDialog::SetPosition(int value) {
    m_position = value;
    if (!m_form || !m_form->W95Meter1->isVisibleTo(m_form.get())) return;
    m_form->W95Meter1->setValue(value);
    Refresh();
}

int TProgressDialog::Percent() const {
    long long range = static_cast<long long>(m_max) - m_min;
    if (range == 0) return 0;
    return static_cast<int>((static_cast<long long>(m_position) - m_min) * 100 / range);
}

void TProgressDialog::SetPercent(int value) {
    long long range = static_cast<long long>(m_max) - m_min;
    SetPosition(static_cast<int>(m_min + range * value / 100));
}

void TProgressDialog::SetMeterVisible(bool value) {
    if (value == m_meterVisible) return;
    m_meterVisible = value;
    if (!m_form) return;
    m_form->W95Meter1->setVisible(value);
    m_form->ApplyLayout();
    Refresh();
}

void TProgressDialog::SetButtonEnabled(bool value) {
    m_buttonEnabled = value;
    if (!m_form) return;
    m_form->AbortBtn->setVisible(value);
    Refresh();
}

void TProgressDialog::MinimizeApplication() {
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        if (!w->isVisible() || w->isMinimized() || w == m_form.get()) continue;
        w->showMinimized();
        m_minimized.emplace_back(w);
    }
    QCoreApplication::processEvents();
    if (m_form) QGuiApplication::setApplicationDisplayName(m_form->Label1->text());
}

} // namespace quennet::gui
