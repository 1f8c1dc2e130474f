// Window placement stored as Qt's geometry, base64 in a string value.
#include "adv_form.h"

#include "app_registry.h"

#include <QByteArray>

namespace quennet::gui {

namespace {
const QString kPlacement = QStringLiteral("Placement");
}

TAdvForm::TAdvForm(TAppRegistry* registry, QWidget* parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags | Qt::Window), registry_(registry) {}

TAdvForm::~TAdvForm() {
    // The class name is taken while the object is whole; here only the base would answer.
    if (wasShown_ && !placementSaved_) SavePlacement();
}

QString TAdvForm::SettingsKey() const {
    return key_.isEmpty() ? WindowClassKey(metaObject()->className()) : key_;
}

void TAdvForm::RestorePlacement() {
    key_ = SettingsKey();
    if (!registry_ || !registry_->OpenSettingsKey(key_, false)) return;
    QString stored = registry_->ReadString(kPlacement, QString());
    registry_->CloseKey();
    if (!stored.isEmpty()) restoreGeometry(QByteArray::fromBase64(stored.toLatin1()));
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
