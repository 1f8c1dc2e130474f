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
    const QImage& Picture() const { return picture_; }
    QLabel* ProductLabel() const { return product_; }
    QLabel* VersionLabel() const { return version_; }

private:
    QImage picture_;
    QLabel* product_;
    QLabel* version_;
};

} // namespace quennet::gui
