// The folder navigator window. For now an empty window; the folder lists come with their issue.
#pragma once

#include "adv_form.h"

namespace quennet::gui {

class TNavigatorForm : public TAdvForm {
    Q_OBJECT
public:
    explicit TNavigatorForm(TAppRegistry* registry, QWidget* parent = nullptr);

    // The folders shown first: the main window's default folders for old and new files.
    void SetFolders(const QString& oldFolder, const QString& newFolder);
    QString OldFolder() const { return m_oldFolder; }
    QString NewFolder() const { return m_newFolder; }

private:
    QString m_oldFolder;
    QString m_newFolder;
};

} // namespace quennet::gui
