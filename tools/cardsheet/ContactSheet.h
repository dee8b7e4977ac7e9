// One picture holding every built-in card picture and icon, on the green table, with
// rows of overlapping cards as the table shows them.
#pragma once

#include <QImage>

namespace skelda {

QImage ContactSheet(qreal devicePixelRatio);

}  // namespace skelda
