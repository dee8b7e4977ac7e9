#include "table/TableLayout.h"

#include <algorithm>
#include <cmath>

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

namespace {
QRect InsideBand(QRect button, const QRect& g) {
    const int lowest = g.height() - GroupBorder - ButtonHeight;
    if (button.top() > lowest) button.moveTop(std::max(GroupCaptionHeight, lowest));
    return button;
}
}  // namespace

QRect MeldButtonRect(const QRect& g) {
    return InsideBand(MeldButtonRect(), g);
}
QRect DiscardButtonRect(const QRect& g) {
    return InsideBand(DiscardButtonRect(), g);
}

int TableSizeFromStored(uint32_t stored) {
    for (int step : TableSizeSteps)
        if (stored == static_cast<uint32_t>(step)) return step;
    return TableSizeFit;
}

qreal TableScale(int tableSize, QSize client) {
    const int chosen = TableSizeFromStored(static_cast<uint32_t>(tableSize));
    if (chosen != TableSizeFit) return chosen / 100.0;
    qreal best = 1.0;
    for (int step : TableSizeSteps) {
        const qreal s = step / 100.0;
        if (client.width() / s >= FitWidth && client.height() / s >= FitHeight) best = s;
    }
    return best;
}

QSize LogicalSize(QSize client, qreal s) {
    return QSize(static_cast<int>(std::floor(std::max(0, client.width()) / s)),
                 static_cast<int>(std::floor(std::max(0, client.height()) / s)));
}

QRect ScreenRect(const QRect& r, qreal s, QSize logical, QSize client) {
    auto edge = [s](int e, int tableEdge, int clientEdge) {
        return e >= tableEdge ? clientEdge : static_cast<int>(std::lround(e * s));
    };
    const int x0 = edge(r.left(), logical.width(), client.width());
    const int y0 = edge(r.top(), logical.height(), client.height());
    const int x1 = edge(r.left() + r.width(), logical.width(), client.width());
    const int y1 = edge(r.top() + r.height(), logical.height(), client.height());
    return QRect(x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0));
}

}  // namespace skelda
