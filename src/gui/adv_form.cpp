// Window placement stored as Qt's geometry, base64 in a string value.
#include "adv_form.h"

#include "app_registry.h"

#include <QByteArray>

namespace quennet::gui {

namespace {
const QString kPlacement = QStringLiteral("Placement");
}

TAdvForm::TAdvForm(TAppRegistry* registry, QWidget* parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags | Qt::Window), m_registry(registry) {}

TAdvForm::~TAdvForm() {
    // The class name is taken while the object is whole; here only the base would answer.
    if (m_wasShown && !m_placementSaved) SavePlacement();
}

QString TAdvForm::SettingsKey() const {
    return m_key.isEmpty() ? WindowClassKey(metaObject()->className()) : m_key;
}

void TAdvForm::RestorePlacement() {
    m_key = SettingsKey();
    if (!m_registry || !m_registry->OpenSettingsKey(m_key, false)) return;
    QString stored = m_registry->ReadString(kPlacement, QString());
    m_registry->CloseKey();
    if (!stored.isEmpty()) restoreGeometry(QByteArray::fromBase64(stored.toLatin1()));
}

void TAdvForm::SavePlacement() {
    m_placementSaved = true;
    if (!m_registry) return;
    if (!m_registry->OpenSettingsKey(m_key.isEmpty() ? SettingsKey() : m_key, true)) return;
    m_registry->WriteString(kPlacement, QString::fromLatin1(saveGeometry().toBase64()));
    m_registry->CloseKey();
}

void TAdvForm::setVisible(bool visible) {
    bool first = visible && !m_wasShown;
    if (first) {
        m_wasShown = true;
        RestorePlacement();
    }
    QMainWindow::setVisible(visible);
    if (first) FirstShown();
}

} // namespace quennet::gui
