// Placeholder navigator window.
#include "navigator_form.h"

namespace quennet::gui {

TNavigatorForm::TNavigatorForm(TAppRegistry* registry, QWidget* parent)
    : TAdvForm(registry, parent) {
    setWindowTitle(QStringLiteral("Navigator"));
    resize(520, 420);
}

void TNavigatorForm::SetFolders(const QString& oldFolder, const QString& newFolder) {
    m_oldFolder = oldFolder;
    m_newFolder = newFolder;
}

} // namespace quennet::gui
