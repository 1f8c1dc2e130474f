// The narrow strip beside a source view's scroll bar: where the differences of the whole text
// stand, and the part in view; a click scrolls the view there.
#pragma once

#include <QWidget>

namespace quennet::gui {

class SourceEditor;

class TOverviewStrip : public QWidget {
    Q_OBJECT
public:
    explicit TOverviewStrip(SourceEditor* editor, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    // The line a click at y scrolls to.
    int lineAt(int y) const;

signals:
    void lineClicked(int line);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    SourceEditor* editor_;
};

// The editor with its strip at the right, as one widget for a pane's layout.
QWidget* WithOverviewStrip(SourceEditor* editor, TOverviewStrip** strip = nullptr);

} // namespace quennet::gui
