// The tree images, drawn once with QPainter so they stay crisp and need no resource files.
#include "state_images.h"

#include "view_colors.h"

#include <QPainter>

namespace quennet::gui {

namespace {

QPixmap Blank() {
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    return p;
}

void Minus(QPainter& g, int y, const QColor& red) {
    g.fillRect(QRect(3, y, 10, 3), red);
}

void Plus(QPainter& g, int cy, const QColor& green) {
    g.fillRect(QRect(3, cy - 1, 10, 3), green);
    g.fillRect(QRect(7, cy - 5, 3, 10), green);
}

} // namespace

TImageList MakeStateImages(const viewrules::ViewPalette& palette) {
    const QColor kRed = ToQColor(palette.GlyphRemoved);
    const QColor kGreen = ToQColor(palette.GlyphAdded);
    TImageList images;

    images[ImgRemoved] = Blank();
    {
        QPainter g(&images[ImgRemoved]);
        Minus(g, 7, kRed);
    }
    images[ImgAdded] = Blank();
    {
        QPainter g(&images[ImgAdded]);
        Plus(g, 8, kGreen);
    }
    images[ImgChanged] = Blank();
    {
        QPainter g(&images[ImgChanged]);
        g.fillRect(QRect(4, 4, 8, 2), kGreen);
        g.fillRect(QRect(7, 1, 2, 8), kGreen);
        g.fillRect(QRect(4, 12, 8, 2), kRed);
    }
    images[ImgGroup] = Blank();
    {
        QPainter g(&images[ImgGroup]);
        g.setRenderHint(QPainter::Antialiasing, false);
        g.setPen(QColor(170, 130, 20));
        g.setBrush(QColor(240, 200, 70));
        g.drawRect(QRect(1, 3, 6, 2));  // tab
        g.drawRect(QRect(1, 4, 13, 9)); // body
        g.fillRect(QRect(2, 6, 12, 1), QColor(255, 228, 130));
    }
    images[ImgDocument] = Blank();
    {
        QPainter g(&images[ImgDocument]);
        g.setPen(QColor(110, 110, 110));
        g.setBrush(Qt::white);
        g.drawRect(QRect(3, 1, 10, 14));
        for (int y = 4; y <= 12; y += 2)
            g.fillRect(QRect(5, y, 7, 1), QColor(40, 80, 210));
    }
    return images;
}

int StateImageIndex(int state) {
    switch (state) {
    case 0: return ImgGroup;
    case 1: return ImgDocument;
    case 2: return ImgRemoved;
    case 3: return ImgAdded;
    case 4: return ImgChanged;
    default: return -1;
    }
}

} // namespace quennet::gui
