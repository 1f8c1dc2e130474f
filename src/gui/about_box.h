// The about box: the product's name, its version and its picture. Created for one showing.
#pragma once

#include <QDialog>
#include <QImage>

class QLabel;

namespace quennet::gui {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // The picture as read from the program's resources (null when it could not be read).
    const QImage& Picture() const { return m_picture; }
    QLabel* ProductLabel() const { return m_product; }
    QLabel* VersionLabel() const { return m_version; }

private:
    QImage m_picture;
    QLabel* m_product;
    QLabel* m_version;
};

} // namespace quennet::gui
