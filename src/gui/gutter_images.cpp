// Gutter images of the source views. Kept behind one function so the views use the same
// pictures as the difference tree.
#include "gutter_images.h"

#include <QPainter>

namespace quennet::gui {

QImage StateImageForGutter(int index) {
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    if (index == 0) {
        painter.fillRect(3, 7, 10, 3, QColor(255, 0, 0)); // minus
    } else if (index == 1) {
        painter.fillRect(3, 7, 10, 3, QColor(0, 160, 0)); // plus
        painter.fillRect(7, 3, 3, 10, QColor(0, 160, 0));
    }
    return image;
}

} // namespace quennet::gui
