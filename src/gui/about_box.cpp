// About box with the JPEG picture embedded in the program.
#include "about_box.h"

#include <QDialogButtonBox>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

// Resources of a static library are registered by hand; the macro must stand outside namespaces.
static void InitAboutResources() {
    Q_INIT_RESOURCE(quennet_resources);
}

namespace quennet::gui {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    InitAboutResources();
    setWindowTitle(tr("About Quennet Pro"));
    setModal(true);

    QImageReader reader(QStringLiteral(":/quennet/about.jpg"), "jpeg");
    picture_ = reader.read();

    auto* layout = new QVBoxLayout(this);
    auto* picture = new QLabel;
    picture->setObjectName(QStringLiteral("Picture"));
    if (!picture_.isNull())
        picture->setPixmap(QPixmap::fromImage(picture_));
    else
        picture->setText(reader.errorString());
    picture->setAlignment(Qt::AlignCenter);
    layout->addWidget(picture);

    product_ = new QLabel(QStringLiteral("Quennet Pro"));
    QFont big = product_->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 4);
    product_->setFont(big);
    product_->setAlignment(Qt::AlignCenter);
    layout->addWidget(product_);

    version_ = new QLabel(QStringLiteral("Version %1").arg(QStringLiteral(QUENNET_VERSION)));
    version_->setAlignment(Qt::AlignCenter);
    layout->addWidget(version_);

    auto* text =
        new QLabel(tr("Compares two versions of a Delphi source file by their declarations\n"
                      "and helps merge them."));
    text->setAlignment(Qt::AlignCenter);
    layout->addWidget(text);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->setCenterButtons(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace quennet::gui
