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
    : QDialog(nullptr), component_(component) {
    setWindowTitle(tr("Progress"));
    TextLabel = new QLabel(this);
    TextLabel->setTextFormat(Qt::PlainText);
    Meter = new QProgressBar(this);
    Meter->setTextVisible(false);
    Meter->setFixedHeight(10);
    AbortButton = new QPushButton(tr("Abort"), this);
    AbortButton->setFixedSize(75, 25);
    AbortButton->setAutoDefault(false);
    connect(AbortButton, &QPushButton::clicked, this, [this] { Aborted = true; });
    setFixedSize(kDesignWidth, kHeightWithButton);
}

void TProgressDialogForm::ApplyLayout() {
    int h = AbortButton->isVisibleTo(this) ? kHeightWithButton : kHeightWithoutButton;
    setFixedSize(width(), h);
    PlaceChildren();
}

void TProgressDialogForm::FitWidth() {
    int w = TextLabel->fontMetrics().horizontalAdvance(TextLabel->text()) + 20;
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
    const bool bar = Meter->isVisibleTo(this);
    const int labelTop = bar ? 10 : 20;
    const int labelHeight = TextLabel->fontMetrics().height();
    TextLabel->setGeometry(5, labelTop, cw - 10, labelHeight);
    if (bar) Meter->setGeometry(5, labelTop + labelHeight + 4, cw - 10, 10);
    AbortButton->move((cw - AbortButton->width()) / 2, height() - AbortButton->height() - 8);
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
    if (event->type() == QEvent::WindowStateChange && isMinimized() && component_ &&
        component_->CanMinimize())
        component_->MinimizeApplication();
}

TProgressDialog::TProgressDialog(QWidget* owner) : QObject(owner), owner_(owner) {}

TProgressDialog::~TProgressDialog() {
    if (form_) HideForm();
}

void TProgressDialog::Open() {
    if (openCount_ == 0) ShowForm();
    ++openCount_;
}

void TProgressDialog::Close() {
    if (openCount_ <= 0) return;
    if (--openCount_ == 0) HideForm();
}

void TProgressDialog::ShowForm() {
    savedTitle_ = QGuiApplication::applicationDisplayName();
    form_ = std::make_unique<TProgressDialogForm>(this);
    TProgressDialogForm* f = form_.get();
    f->TextLabel->setText(text_);
    f->setWindowTitle(caption_);
    if (meterVisible_) {
        f->Meter->setRange(min_, max_);
        f->Meter->setValue(position_);
    }
    f->Meter->setVisible(meterVisible_);
    f->AbortButton->setVisible(buttonEnabled_);
    f->AbortButton->setText(buttonCaption_);
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (canMinimize_) flags |= Qt::WindowMinimizeButtonHint;
    f->setWindowFlags(flags);
    f->ApplyLayout();

    // Centred over the owner; no widget parent, since disabling the owner would disable it too.
    if (owner_) {
        QRect o = owner_->frameGeometry();
        f->move(o.center().x() - f->width() / 2, o.center().y() - f->height() / 2);
    }
    f->FitWidth();

    disabled_.clear();
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        if (w == f || !w->isEnabled()) continue;
        w->setEnabled(false);
        disabled_.emplace_back(w);
    }
    f->show();
    if (owner_ && owner_->windowHandle() && f->windowHandle())
        f->windowHandle()->setTransientParent(owner_->windowHandle());
    f->repaint();
}

void TProgressDialog::HideForm() {
    for (auto& w : minimized_)
        if (w && w->isMinimized()) w->showNormal();
    minimized_.clear();
    for (auto& w : disabled_)
        if (w) w->setEnabled(true);
    disabled_.clear();
    form_->hide();
    form_.reset();
    QGuiApplication::setApplicationDisplayName(savedTitle_);
}

void TProgressDialog::Refresh() {
    form_->repaint();
    QCoreApplication::processEvents();
}

void TProgressDialog::SetCaption(const QString& value) {
    caption_ = value;
    if (!form_) return;
    form_->setWindowTitle(value);
    Refresh();
}

void TProgressDialog::SetButtonCaption(const QString& value) {
    buttonCaption_ = value;
    if (!form_) return;
    form_->AbortButton->setText(value);
    Refresh();
}

void TProgressDialog::SetText(const QString& value) {
    text_ = value;
    if (!form_) return;
    form_->TextLabel->setText(value);
    form_->FitWidth();
    QGuiApplication::setApplicationDisplayName(value);
    Refresh();
}

void TProgressDialog::SetMin(int value) {
    min_ = value;
    if (!form_) return;
    form_->Meter->setMinimum(value);
    Refresh();
}

void TProgressDialog::SetMax(int value) {
    max_ = value;
    if (!form_) return;
    form_->Meter->setMaximum(value);
    Refresh();
}

void TProgressDialog::SetPosition(int value) {
    position_ = value;
    if (!form_ || !form_->Meter->isVisibleTo(form_.get())) return;
    form_->Meter->setValue(value);
    Refresh();
}

int TProgressDialog::Percent() const {
    long long range = static_cast<long long>(max_) - min_;
    if (range == 0) return 0;
    return static_cast<int>((static_cast<long long>(position_) - min_) * 100 / range);
}

void TProgressDialog::SetPercent(int value) {
    long long range = static_cast<long long>(max_) - min_;
    SetPosition(static_cast<int>(min_ + range * value / 100));
}

void TProgressDialog::SetMeterVisible(bool value) {
    if (value == meterVisible_) return;
    meterVisible_ = value;
    if (!form_) return;
    form_->Meter->setVisible(value);
    form_->ApplyLayout();
    Refresh();
}

void TProgressDialog::SetButtonEnabled(bool value) {
    buttonEnabled_ = value;
    if (!form_) return;
    form_->AbortButton->setVisible(value);
    Refresh();
}

void TProgressDialog::MinimizeApplication() {
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        if (!w->isVisible() || w->isMinimized() || w == form_.get()) continue;
        w->showMinimized();
        minimized_.emplace_back(w);
    }
    QCoreApplication::processEvents();
    if (form_) QGuiApplication::setApplicationDisplayName(form_->TextLabel->text());
}

} // namespace quennet::gui
