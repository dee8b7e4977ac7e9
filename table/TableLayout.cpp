#include "table/TableLayout.h"

#include <algorithm>

namespace skelda {

Bands FormResize(int w, int height) {
    w = std::max(w, 0);
    height = std::max(height, 0);
    const int h = height / 5;
    Bands b;
    b.paintBox1 = QRect(0, 0, w, h);
    b.groupBox1 = QRect(0, h, w, h);
    b.groupBox4 = QRect(0, 2 * h, w, h);
    b.groupBox3 = QRect(0, height - h, w, h);
    b.statusBar = QRect(0, height - h - StatusBarHeight, w, StatusBarHeight);
    const int meldsHeight = std::max(0, b.statusBar.top() - 3 * h);
    b.groupBox2 = QRect(0, 3 * h, w, meldsHeight);
    return b;
}

QRect InnerArea(const QRect& g) {
    return QRect(GroupBorder, GroupCaptionHeight, std::max(0, g.width() - 2 * GroupBorder),
                 std::max(0, g.height() - GroupCaptionHeight - GroupBorder));
}

QRect StockArea(const QRect& g) {
    const QRect inner = InnerArea(g);
    return QRect(inner.left(), inner.top(), std::min(StockAreaWidth, inner.width()),
                 inner.height());
}

QRect PileArea(const QRect& g) {
    const QRect inner = InnerArea(g);
    const QRect stock = StockArea(g);
    return QRect(stock.left() + stock.width(), inner.top(),
                 std::max(0, inner.width() - stock.width()), inner.height());
}

QRect MeldButtonRect() {
    return QRect(8, 120, ButtonWidth, ButtonHeight);
}
QRect DiscardButtonRect() {
    return QRect(88, 120, ButtonWidth, ButtonHeight);
}

}  // namespace skelda
