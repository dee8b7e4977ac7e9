#include "table/TableLayout.h"

#include <algorithm>
#include <cmath>

#include "table/TablePaint.h"

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
    const int bottom = g.height() - GroupBorder;
    if (button.top() + button.height() <= bottom) return button;
    const int belowCards = GroupCaptionHeight + CardHeight;
    const int room = bottom - belowCards;
    if (room >= ButtonHeight)
        button.moveTop(bottom - ButtonHeight);
    else if (room >= MinButtonHeight)
        button = QRect(button.left(), belowCards, button.width(), room);
    else
        button.moveTop(std::max(GroupCaptionHeight, bottom - ButtonHeight));
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

bool TableFits(QSize logical) {
    if (logical.width() < MinTableWidth) return false;
    const Bands b = FormResize(logical.width(), logical.height());
    auto holds = [](const QRect& group, int content) {
        return InnerArea(group).height() >= content;
    };
    const QRect meld = MeldButtonRect(b.groupBox4);
    return b.paintBox1.height() >= CardHeight && holds(b.groupBox1, CardHeight) &&
           holds(b.groupBox4, CardHeight) && holds(b.groupBox2, CardHeight) &&
           holds(b.groupBox3, CardHeight + LoweredOffset) &&
           meld.top() >= GroupCaptionHeight + CardHeight &&
           meld.top() + meld.height() <= b.groupBox4.height() - GroupBorder;
}

int FitHeight() {
    // The bands grow with the height, so the first height that fits is the least one.
    static const int least = [] {
        int h = 0;
        while (!TableFits(QSize(MinTableWidth, h))) ++h;
        return h;
    }();
    return least;
}

qreal FitScale(QSize client) {
    const qreal s = std::min(std::max(0, client.width()) / qreal(MinTableWidth),
                             std::max(0, client.height()) / qreal(FitHeight()));
    return std::clamp(std::floor(s * 100 + 1e-9) / 100, MinTableScale, MaxTableScale);
}

bool StepFits(int step, QSize client) {
    return TableFits(LogicalSize(client, step / 100.0));
}

qreal TableScale(int tableSize, QSize client) {
    const int chosen = TableSizeFromStored(static_cast<uint32_t>(tableSize));
    if (chosen != TableSizeFit && StepFits(chosen, client)) return chosen / 100.0;
    return FitScale(client);
}

QSize LogicalSize(QSize client, qreal s) {
    // The small allowance keeps a size that is an exact multiple of the scale whole.
    return QSize(static_cast<int>(std::floor(std::max(0, client.width()) / s + 1e-6)),
                 static_cast<int>(std::floor(std::max(0, client.height()) / s + 1e-6)));
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
