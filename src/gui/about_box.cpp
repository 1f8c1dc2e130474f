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
    setWindowTitle(QStringLiteral("About Quennet Pro"));
    setModal(true);

    QImageReader reader(QStringLiteral(":/quennet/about.jpg"), "jpeg");
    m_picture = reader.read();

    auto* layout = new QVBoxLayout(this);
    auto* picture = new QLabel;
    picture->setObjectName(QStringLiteral("Picture"));
    if (!m_picture.isNull())
        picture->setPixmap(QPixmap::fromImage(m_picture));
    else
        picture->setText(reader.errorString());
    picture->setAlignment(Qt::AlignCenter);
    layout->addWidget(picture);

    m_product = new QLabel(QStringLiteral("Quennet Pro"));
    QFont big = m_product->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 4);
    m_product->setFont(big);
    m_product->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_product);

    m_version = new QLabel(QStringLiteral("Version %1").arg(QStringLiteral(QUENNET_VERSION)));
    m_version->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_version);

    auto* text = new QLabel(
        QStringLiteral("Compares two versions of a Delphi source file by their declarations\n"
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
