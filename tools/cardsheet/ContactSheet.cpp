#include "ContactSheet.h"

#include <QPainter>

#include "cards/CardArt.h"

namespace skelda {
namespace {

constexpr int Gap = 6;
constexpr int Step = 16;  // the table's distance between overlapping cards
constexpr int Columns = 13;
constexpr int SheetWidth = Gap + Columns * (CardArtWidth + Gap);
constexpr int HandWidth = Step * 12 + CardArtWidth;
constexpr int Rows = 4 /* faces */ + 1 /* backs */ + 1 /* table pictures */ + 2 /* hands */;
constexpr int SheetHeight = Gap + Rows * (CardArtHeight + Gap) + 24;

}  // namespace

QImage ContactSheet(qreal dpr) {
    QImage sheet(qRound(SheetWidth * dpr), qRound(SheetHeight * dpr),
                 QImage::Format_ARGB32_Premultiplied);
    sheet.setDevicePixelRatio(dpr);
    sheet.fill(QColor(0x00, 0x80, 0x00));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    auto cell = [](int col, int row) {
        return QPoint(Gap + col * (CardArtWidth + Gap), Gap + row * (CardArtHeight + Gap));
    };

    for (int suit = 0; suit < 4; ++suit)
        for (int rank = 0; rank < 13; ++rank)
            p.drawPixmap(cell(rank, suit), CardFacePixmap(suit, rank, dpr));
    for (int b = 0; b < CardBackCount; ++b) p.drawPixmap(cell(b, 4), CardBackPixmap(b, dpr));

    p.drawPixmap(cell(0, 5), EmptySlotPixmap(dpr));
    p.drawPixmap(cell(1, 5), StockEndPixmap(dpr));
    p.drawPixmap(cell(2, 5), RingPixmap(dpr));
    const QPoint icons = cell(3, 5);
    p.drawPixmap(icons, OpponentAheadPixmap(dpr));
    p.drawPixmap(icons + QPoint(0, 40), OpponentBehindPixmap(dpr));
    p.drawPixmap(icons + QPoint(40, 8), PickupMarkerPixmap(dpr));
    // The program icon at each of its sizes.
    const QIcon icon = ProgramIcon();
    int x = cell(4, 5).x() + 10;
    for (const QSize& size : icon.availableSizes()) {
        if (size.width() > 96) continue;
        p.drawPixmap(QRect(QPoint(x, cell(4, 5).y()), size), icon.pixmap(size, 1.0));
        x += size.width() + Gap;
    }
    const QSize big(96, 96);
    p.drawPixmap(QRect(QPoint(x, cell(4, 5).y()), big), icon.pixmap(QSize(256, 256), 1.0));

    // Every card in overlapping hands, as on the table, and a stock of backs 4 pixels apart.
    for (int suit = 0; suit < 4; ++suit) {
        const QPoint origin = cell(0, 6 + suit / 2) + QPoint((suit % 2) * (HandWidth + Gap), 0);
        for (int rank = 0; rank < 13; ++rank)
            p.drawPixmap(origin + QPoint(rank * Step, 0), CardFacePixmap(suit, rank, dpr));
    }
    const QPoint stock = cell(0, 6) + QPoint(2 * (HandWidth + Gap), 0);
    p.drawPixmap(stock, StockEndPixmap(dpr));
    for (int b = 0; b < 10; ++b) p.drawPixmap(stock + QPoint(b * 4, 0), CardBackPixmap(9, dpr));
    const QPoint mixed = cell(0, 7) + QPoint(2 * (HandWidth + Gap), 0);
    const int hand[][2] = {{3, 0}, {2, 9}, {1, 10}, {0, 11}, {2, 12}, {3, 7}, {1, 5}};
    int i = 0;
    for (const auto& card : hand) {
        // Every third card stands raised, as a selected card does.
        p.drawPixmap(mixed + QPoint(i * Step, (i % 3 == 1) ? 0 : 8),
                     CardFacePixmap(card[0], card[1], dpr));
        ++i;
    }
    return sheet;
}

}  // namespace skelda
