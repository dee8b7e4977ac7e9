// The felt, put together from small tiles whenever it is drawn: every widget shows its own
// part of one felt, drawn into the window's back buffer or into any other picture alike,
// in the table colour, lighter in the middle and darker towards the edges.
#include <gtest/gtest.h>

#include "TableFixture.h"
#include "table/Felt.h"
#include "table/TableLayout.h"
#include "table/TablePicture.h"

using namespace skelda;

namespace {

class FeltTest : public TableFixture {};

int Grey(QRgb p) {
    return qRed(p) + qGreen(p) + qBlue(p);
}

}  // namespace

TEST_F(FeltTest, EveryWidgetShowsItsPartOfOneFelt) {
    for (const QColor colour : {QColor(0, 0x80, 0), QColor(0xa0, 0x70, 0x30)}) {
        SCOPED_TRACE(colour.name().toStdString());
        window.reset();
        Make([&](MemorySettings& s) { s.WriteNumber("TableColor", ColorToStored(colour)); });
        Game& g = window->game();
        g.YourHand.clear();
        g.OpponentHand.clear();
        g.DiscardPile.clear();
        g.Melds.clear();
        window->Repaint(Area::All);
        QWidget* table = window->centralWidget();
        const qreal dpr = table->devicePixelRatioF();
        const QSize pixels = (QSizeF(table->size()) * dpr).toSize();

        Felt felt;
        felt.Prepare(colour, pixels, dpr);
        const QImage expected = felt.Picture(QRect(QPoint(0, 0), pixels));
        // Straight into a picture in memory, as into the window's back buffer; and through
        // the painter, as into a pixmap.
        QImage direct(pixels, QImage::Format_ARGB32_Premultiplied);
        direct.setDevicePixelRatio(dpr);
        direct.fill(Qt::magenta);
        table->render(&direct, QPoint(), QRegion(), QWidget::DrawChildren);
        const QImage grabbed = table->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(grabbed.size(), pixels);

        // The empty meld areas and the hand show nothing but felt; they lie inside the bands.
        int compared = 0;
        for (Area area : {Area::PaintBox2, Area::PaintBox3, Area::PaintBox4}) {
            QWidget* w = window->areaWidget(area);
            const QRect r(QPointF(QPointF(w->mapTo(table, QPoint(0, 0))) * dpr).toPoint(),
                          (QSizeF(w->size()) * dpr).toSize());
            for (int y = r.top(); y <= r.bottom(); y += 3)
                for (int x = r.left(); x <= r.right(); x += 7) {
                    const QRgb want = expected.pixel(x, y);
                    ASSERT_EQ(direct.pixel(x, y), want) << "drawn direct at " << x << "," << y;
                    ASSERT_EQ(grabbed.pixel(x, y), want) << "grabbed at " << x << "," << y;
                    ++compared;
                }
        }
        EXPECT_GT(compared, 1000);
        // The table colour, fibres and all, lighter in the middle than in a corner.
        const QRgb middle = expected.pixel(pixels.width() / 2, pixels.height() / 2);
        EXPECT_NEAR(qGreen(middle), colour.green() + 9, 7);
        EXPECT_GT(Grey(middle), Grey(expected.pixel(2, pixels.height() - 3)) + 30);
    }
}
