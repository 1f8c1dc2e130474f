// The state images the source views draw in their gutter: 0 old only, 1 new only.
#pragma once

#include <QImage>

namespace quennet::gui {

QImage StateImageForGutter(int index);

} // namespace quennet::gui
