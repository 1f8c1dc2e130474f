// Base of the program's windows: keeps each window's placement in the settings under a subkey
// named after the window's class ("TMainForm", "TDiffRptForm", ...).
#pragma once

#include <QMainWindow>

class QAction;

namespace quennet::gui {

class TAppRegistry;

class TAdvForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TAdvForm(TAppRegistry* registry, QWidget* parent = nullptr,
                      Qt::WindowFlags flags = Qt::WindowFlags());
    ~TAdvForm() override;

    TAppRegistry* Registry() const { return registry_; }
    // The settings subkey of this window: its class name without namespace.
    QString SettingsKey() const;

    // Placement is restored just before the window is first shown and stored at destruction
    // (or earlier by a derived class that stores more values after it).
    void RestorePlacement();
    void SavePlacement();
    bool WasShown() const { return wasShown_; }

    void setVisible(bool visible) override;

    // Ctrl+W closes the window; on by default, for secondary windows.
    void SetCloseShortcut(bool enabled);
    QAction* CloseAction() const { return closeAction_; }

protected:
    // Runs once, right after the window first became visible and got its size.
    virtual void FirstShown() {}

private:
    // Keeps a restored or first placement inside the screens, near the active main window.
    void PlaceOnScreen(bool stored);

    TAppRegistry* registry_;
    QAction* closeAction_;
    QString key_;
    bool wasShown_ = false;
    bool placementSaved_ = false;
};

} // namespace quennet::gui
