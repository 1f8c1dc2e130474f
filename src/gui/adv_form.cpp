// Window placement stored as Qt's geometry, base64 in a string value.
#include "adv_form.h"

#include "app_registry.h"

#include "viewrules/window_placement.h"

#include <QAction>
#include <QApplication>
#include <QByteArray>
#include <QScreen>

namespace quennet::gui {

namespace {
const QString kPlacement = QStringLiteral("Placement");
// Before the first showing the frame is unknown; this much is kept free for a title bar.
constexpr int kTitleAllowance = 32;

viewrules::ScreenRect ToRect(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}
} // namespace

TAdvForm::TAdvForm(TAppRegistry* registry, QWidget* parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags | Qt::Window), registry_(registry) {
    closeAction_ = new QAction(tr("Close"), this);
    closeAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    closeAction_->setShortcutContext(Qt::WindowShortcut);
    addAction(closeAction_);
    connect(closeAction_, &QAction::triggered, this, &QWidget::close);
}

void TAdvForm::SetCloseShortcut(bool enabled) {
    closeAction_->setEnabled(enabled);
}

void TAdvForm::PlaceOnScreen(bool stored) {
    QWidget* anchor = parentWidget() ? parentWidget()->window() : QApplication::activeWindow();
    if (anchor == this || (anchor && !anchor->isVisible())) anchor = nullptr;
    if (!stored && !anchor) return; // the window manager places it
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) return;
    std::vector<viewrules::ScreenRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        QRect area = screen->availableGeometry();
        area.setTop(area.top() + kTitleAllowance);
        screens.push_back(ToRect(area));
    }
    std::optional<viewrules::ScreenRect> anchorRect;
    if (anchor) anchorRect = ToRect(anchor->frameGeometry());
    std::optional<viewrules::ScreenRect> storedRect;
    if (stored) storedRect = ToRect(geometry());
    const viewrules::ScreenRect r =
        viewrules::PlaceWindow(storedRect, ToRect(geometry()), anchorRect, screens);
    setGeometry(r.X, r.Y, r.Width, r.Height);
}

TAdvForm::~TAdvForm() {
    // The class name is taken while the object is whole; here only the base would answer.
    if (wasShown_ && !placementSaved_) SavePlacement();
}

QString TAdvForm::SettingsKey() const {
    return key_.isEmpty() ? WindowClassKey(metaObject()->className()) : key_;
}

void TAdvForm::RestorePlacement() {
    key_ = SettingsKey();
    if (!registry_ || !registry_->OpenSettingsKey(key_, false)) {
        PlaceOnScreen(false);
        return;
    }
    QString stored = registry_->ReadString(kPlacement, QString());
    registry_->CloseKey();
    PlaceOnScreen(!stored.isEmpty() && restoreGeometry(QByteArray::fromBase64(stored.toLatin1())));
}

void TAdvForm::SavePlacement() {
    placementSaved_ = true;
    if (!registry_) return;
    if (!registry_->OpenSettingsKey(key_.isEmpty() ? SettingsKey() : key_, true)) return;
    registry_->WriteString(kPlacement, QString::fromLatin1(saveGeometry().toBase64()));
    registry_->CloseKey();
}

void TAdvForm::setVisible(bool visible) {
    bool first = visible && !wasShown_;
    if (first) {
        wasShown_ = true;
        RestorePlacement();
    }
    QMainWindow::setVisible(visible);
    if (first) FirstShown();
}

} // namespace quennet::gui
