// The table at the window sizes players have, at the screen's pixel ratio (the suite runs
// a second time under QT_SCALE_FACTOR=2): the scale Fit takes, every card whole or (in a
// folded meld column) its corner index inside the window, no button over a card, steps
// that do not fit disabled, one seamless background, readable captions, clicks in logical
// pixels.
#include <gtest/gtest.h>

#include <QTest>

#include "TableFixture.h"
#include "table/TableLayout.h"
#include "table/TablePaint.h"
#include "table/TablePicture.h"
#include "table/TextPlate.h"

using namespace skelda;

namespace {

TCard C(uint8_t suit, uint8_t rank, uint8_t flags = 0) {
    return TCard{suit, rank, flags};
}

// Records where each card lands, to check what of it shows.
class Placement : public CardCanvas {
public:
    void Face(int x, int y, TCard) override { cards.emplace_back(x, y, CardWidth, CardHeight); }
    void Back(int x, int y) override { backs.emplace_back(x, y, CardWidth, CardHeight); }
    void EmptySlot(int, int) override {}
    void StockEnd(int, int) override {}
    void FaceIcon(bool, int x, int y) override { icon = QRect(x, y, 32, 32); }
    std::vector<QRect> cards, backs;
    QRect icon;
};

// A late table: long hands, a deep pile, a 13-card run on each side and many melds.
void ArrangeFullTable(Game& g) {
    g.NewDeck();
    g.RoundActive = true;
    g.NextCard = 40;
    g.OpponentName = "LILA";
    g.YourHand.clear();
    g.OpponentHand.clear();
    for (uint8_t r = 0; r < 13; ++r) g.YourHand.push_back(C(r % 4, r, r % 3 == 0 ? Selected : 0));
    for (uint8_t r = 0; r < 12; ++r) g.OpponentHand.push_back(C((r + 1) % 4, r));
    g.DiscardPile.clear();
    for (uint8_t r = 0; r < 16; ++r) g.DiscardPile.push_back(C(r % 4, (r * 5) % 13));
    g.Melds.clear();
    TCardList theirs, yours;
    for (uint8_t r = 0; r < 13; ++r) {
        theirs.push_back(C(Clubs, r));
        yours.push_back(C(Hearts, r, Yours));
    }
    g.Melds.push_back(theirs);
    g.Melds.push_back(yours);
    for (uint8_t r = 1; r < 8; ++r)
        g.Melds.push_back({C(0, r), C(1, r), C(2, r, Yours), C(3, r, r % 2 ? Yours : 0)});
}

struct Size {
    int w, h;
    qreal fit = 0;  // the scale Fit takes (the client area is the window less the menu bar)
};
void PrintTo(const Size& s, std::ostream* os) {
    *os << s.w << "x" << s.h;
}
std::string SizeName(const ::testing::TestParamInfo<Size>& info) {
    return std::to_string(info.param.w) + "x" + std::to_string(info.param.h);
}

class TableSizes : public TableFixture, public ::testing::WithParamInterface<Size> {
protected:
    void Open(const std::function<void(MemorySettings&)>& arrange = {}) {
        Make(arrange);
        window->resize(GetParam().w, GetParam().h);
        QCoreApplication::processEvents();
        s = window->TableScale();
        dpr = window->devicePixelRatioF();
        // The second run of the suite really is at the screen's ratio 2.
        if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
            EXPECT_DOUBLE_EQ(dpr, qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
        }
    }
    QRect OnWindow(const QWidget* w) const {
        return QRect(w->mapTo(window.get(), QPoint(0, 0)), w->size());
    }
    // The logical size of a paint area, as the layout gives it.
    QSize Logical(const QWidget* w) const {
        const Bands b = FormResize(window->logicalSize().width(), window->logicalSize().height());
        const std::pair<Area, QRect> areas[] = {{Area::PaintBox1, b.paintBox1},
                                                {Area::PaintBox2, InnerArea(b.groupBox1)},
                                                {Area::PaintBox3, InnerArea(b.groupBox2)},
                                                {Area::PaintBox4, InnerArea(b.groupBox3)},
                                                {Area::PaintBox5, StockArea(b.groupBox4)},
                                                {Area::PaintBox6, PileArea(b.groupBox4)}};
        for (const auto& [area, r] : areas)
            if (window->areaWidget(area) == w) return r.size();
        ADD_FAILURE() << "not a paint area";
        return {};
    }
    // Every face's corner index (its top left 16 x 16) lies inside the area and under no
    // later card.
    void ExpectIndicesShow(Area area, const char* view) {
        Placement rec;
        const QWidget* w = window->areaWidget(area);
        const QSize size = Logical(w);
        PaintAreaCards(area, window->game(), rec, window->meldView(), size.width());
        const QRect inside(QPoint(0, 0), size);
        for (size_t i = 0; i < rec.cards.size(); ++i) {
            const QRect index(rec.cards[i].topLeft(), QSize(CardStep, IndexHeight));
            EXPECT_TRUE(inside.contains(index))
                << view << " area " << static_cast<int>(area) << " card " << i << " at "
                << index.x() << "," << index.y() << " in " << size.width() << "x" << size.height();
            for (size_t k = i + 1; k < rec.cards.size(); ++k)
                EXPECT_FALSE(rec.cards[k].intersects(index))
                    << view << " area " << static_cast<int>(area) << " card " << i << " covered by "
                    << k;
        }
    }
    qreal s = 1, dpr = 1;
};

TEST_P(TableSizes, EveryControlAndEveryCardIndexShows) {
    Open();
    const Size size = GetParam();
    // Fit: the largest scale in hundredths at which everything has its place.
    const QSize client = window->centralWidget()->size();
    std::printf("[ fit      ] %dx%d at ratio %g: client %dx%d, scale %.2f, cards %dx%d\n", size.w,
                size.h, dpr, client.width(), client.height(), s,
                static_cast<int>(std::lround(CardWidth * s)),
                static_cast<int>(std::lround(CardHeight * s)));
    EXPECT_NEAR(s, size.fit, 0.015);
    EXPECT_DOUBLE_EQ(s, FitScale(client));
    EXPECT_TRUE(TableFits(window->logicalSize()));
    EXPECT_FALSE(TableFits(LogicalSize(client, s + 0.01))) << "a larger scale fits";
    // The steps that do not fit are disabled; those that do are enabled.
    int disabled = 0;
    for (int step : TableSizeSteps) {
        const QAction* item =
            window->action(QStringLiteral("TableSize%1").arg(step) + QLatin1Char('1'));
        ASSERT_TRUE(item);
        EXPECT_EQ(item->isEnabled(), TableFits(LogicalSize(client, step / 100.0))) << step;
        EXPECT_EQ(item->isEnabled(), step / 100.0 <= s + 1e-9) << step;
        disabled += !item->isEnabled();
    }
    EXPECT_EQ(disabled > 0, s < 2) << "only a table fitting 200% has every step";

    Game& g = window->game();
    ArrangeFullTable(g);
    g.HumansTurn = true;
    g.SetTurnPhase(2);
    window->Run([] {});
    window->Timer2Timer();

    // The controls: inside the window, whole, and the topmost widget at their centre.
    const QRect all = window->rect();
    for (QWidget* control : {static_cast<QWidget*>(window->meldButton()),
                             static_cast<QWidget*>(window->discardButton())}) {
        const QRect r = OnWindow(control);
        EXPECT_TRUE(all.contains(r)) << size.w << "x" << size.h;
        EXPECT_TRUE(OnWindow(window->group(4)).contains(r));
        EXPECT_EQ(window->childAt(r.center()), control);
        EXPECT_TRUE(control->isEnabled());
    }
    for (int n = 1; n <= 4; ++n) {
        const GroupFrame* frame = window->group(n);
        const QRect caption = frame->captionRect();
        ASSERT_FALSE(caption.isEmpty());
        const QRect onScreen(caption.topLeft() * s, caption.size() * s);
        EXPECT_TRUE(QRect(QPoint(0, 0), frame->size()).contains(onScreen)) << n;
        EXPECT_TRUE(all.contains(onScreen.translated(OnWindow(frame).topLeft())));
    }
    const QRect status = OnWindow(window->statusLine());
    EXPECT_TRUE(all.contains(status));
    EXPECT_GE(status.height(),
              static_cast<int>(QFontMetrics(window->statusLine()->font()).height() * s));
    EXPECT_EQ(window->childAt(status.center()), window->statusLine());

    // Card pictures are rendered for the screen's pixels at this scale.
    EXPECT_DOUBLE_EQ(window->FacePixmap(2, 9).devicePixelRatio(), dpr * s);
    EXPECT_DOUBLE_EQ(window->CardPictureRatio(), dpr * s);

    // Every index, with the melds in short and tall columns and in rows.
    const struct {
        const char* name;
        bool horizontal;
        bool expanded;
    } views[] = {{"columns", false, false}, {"tall columns", false, true}, {"rows", true, false}};
    for (const auto& v : views) {
        if (window->meldView().horizontal != v.horizontal)
            window->action("Showmeldshorizontally1")->trigger();
        const bool tall = (window->meldView().expanded & 1) != 0;
        if (tall != v.expanded) {
            QTest::mouseClick(window->areaWidget(Area::PaintBox2), Qt::LeftButton, {},
                              QPoint(3, 3));
            QTest::mouseClick(window->areaWidget(Area::PaintBox3), Qt::LeftButton, {},
                              QPoint(3, 3));
        }
        for (Area a : {Area::PaintBox2, Area::PaintBox3}) ExpectIndicesShow(a, v.name);
    }
    ExpectIndicesShow(Area::PaintBox4, "hand");
    ExpectIndicesShow(Area::PaintBox6, "pile");

    // Nothing cut off: the hands, the stock and the pile show whole, each meld area holds a
    // whole card at the top of every column; no button lies over a card.
    std::vector<QRectF> onWindow;
    for (Area a : {Area::PaintBox1, Area::PaintBox2, Area::PaintBox3, Area::PaintBox4,
                   Area::PaintBox5, Area::PaintBox6}) {
        Placement rec;
        const QWidget* w = window->areaWidget(a);
        const QRect inside(QPoint(0, 0), Logical(w));
        PaintAreaCards(a, g, rec, window->meldView(), inside.width());
        std::vector<QRect> all = rec.cards;
        all.insert(all.end(), rec.backs.begin(), rec.backs.end());
        ASSERT_FALSE(all.empty()) << static_cast<int>(a);
        for (const QRect& c : all) {
            const bool meld = a == Area::PaintBox2 || a == Area::PaintBox3;
            EXPECT_TRUE(inside.contains(meld ? QRect(c.left(), 0, CardStep, CardHeight) : c))
                << "area " << static_cast<int>(a) << " card at " << c.x() << "," << c.y() << " in "
                << inside.width() << "x" << inside.height();
            onWindow.push_back(QRectF(QPointF(c.topLeft()) * s, QSizeF(c.size()) * s)
                                   .translated(OnWindow(w).topLeft()));
            // On the screen too, but for the rounding of edges to whole pixels.
            if (!meld) {
                EXPECT_TRUE(QRectF(OnWindow(w)).adjusted(-1, -1, 1, 1).contains(onWindow.back()))
                    << "area " << static_cast<int>(a) << " card at " << c.x() << "," << c.y();
            }
        }
    }
    for (QWidget* control : {static_cast<QWidget*>(window->meldButton()),
                             static_cast<QWidget*>(window->discardButton())}) {
        const QRect r = OnWindow(control);
        EXPECT_GE(r.height(), static_cast<int>(MinButtonHeight * s));
        // Edges are rounded to whole pixels: an overlap of half a pixel is none.
        for (const QRectF& c : onWindow) {
            const QRectF both = QRectF(r).intersected(c);
            EXPECT_FALSE(both.width() > 0.5 && both.height() > 0.5)
                << control->objectName().toStdString() << " over a card";
        }
    }

    // A notice on the table covers neither the face nor any card.
    window->ShowBalloon("Skelda", "A notice");
    QWidget* notice = window->noticeBubble();
    EXPECT_TRUE(notice->isVisible())
        << "no notification area offscreen: the notice is on the table";
    if (notice->isVisible()) {
        Placement strip;
        QWidget* box1 = window->areaWidget(Area::PaintBox1);
        PaintOpponentHand(g, strip, Logical(box1).width());
        const QRect n = OnWindow(notice);
        EXPECT_TRUE(all.contains(n));
        auto screen = [&](const QRect& r, const QWidget* area) {
            return QRect(QPoint(r.topLeft() * s), r.size() * s)
                .translated(OnWindow(area).topLeft());
        };
        EXPECT_FALSE(n.intersects(screen(strip.icon, box1)));
        for (const QRect& b : strip.backs) EXPECT_FALSE(n.intersects(screen(b, box1)));
        Placement pile;
        PaintDiscards(g, pile);
        for (const QRect& c : pile.cards)
            EXPECT_FALSE(n.intersects(screen(c, window->areaWidget(Area::PaintBox6))));
    }
}

// The background is one piece: along the edges between the areas and the bands, the
// pixels on either side match the table drawn whole, within one level.
TEST_P(TableSizes, OneSeamlessTableAndReadableCaptions) {
    // A soft diagonal gradient as the table picture.
    QImage gradient(64, 36, QImage::Format_RGB32);
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 64; ++x) gradient.setPixel(x, y, qRgb(60 + x * 2, 90 + y * 3, 120));
    ASSERT_TRUE(gradient.save(dir.filePath("gradient.bmp"), "BMP"));
    for (bool picture : {false, true}) {
        SCOPED_TRACE(picture ? "picture" : "felt");
        Open([&](MemorySettings& st) {
            if (picture) st.WriteText("Wallpaper", dir.filePath("gradient.bmp").toStdString());
        });
        Game& g = window->game();
        g.NewDeck();
        g.NextCard = 52;  // empty stock and pile: only the cross and the dotted place
        g.DiscardPile.clear();
        g.OpponentHand.clear();
        window->Repaint(Area::All);
        QWidget* table = window->centralWidget();
        const QImage whole = table->grab().toImage();
        std::vector<QWidget*> children;
        for (QWidget* c : table->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (c->isVisible()) children.push_back(c);
        for (QWidget* c : children) c->hide();
        const QImage bare = table->grab().toImage();
        for (QWidget* c : children) c->show();
        ASSERT_EQ(whole.size(), bare.size());

        auto expectSame = [&](QPoint logical, const char* where) {
            const QPoint px((QPointF(logical) * s * dpr).toPoint());
            if (!whole.rect().contains(px)) return;
            const QColor a = whole.pixelColor(px), b = bare.pixelColor(px);
            EXPECT_LE(std::abs(a.red() - b.red()), 1) << where << " " << px.x() << "," << px.y();
            EXPECT_LE(std::abs(a.green() - b.green()), 1)
                << where << " " << px.x() << "," << px.y();
            EXPECT_LE(std::abs(a.blue() - b.blue()), 1) << where << " " << px.x() << "," << px.y();
        };
        const Bands bands =
            FormResize(window->logicalSize().width(), window->logicalSize().height());
        const int w = bands.paintBox1.width();
        for (int x = 420; x < w - 60; x += 53) {
            // The computer's strip and the band below it.
            expectSame({x, bands.groupBox1.top() - 1}, "strip");
            expectSame({x, bands.groupBox1.top()}, "melds band");
            // The middle band's caption strip and the pile area under it.
            expectSame({x, bands.groupBox4.top() + GroupCaptionHeight - 2}, "caption strip");
            expectSame({x, bands.groupBox4.top() + GroupCaptionHeight}, "pile area");
        }
        // The stock area and the pile area side by side, below the cards.
        const QRect stock = StockArea(bands.groupBox4).translated(bands.groupBox4.topLeft());
        for (int y = stock.top() + CardHeight + 1; y < stock.bottom() - 1; ++y) {
            expectSame({stock.right(), y}, "stock edge");
            expectSame({stock.right() + 1, y}, "pile edge");
        }
    }
}

// Contrast of the captions and the status line on white, yellow and black tables: the
// brightest pixel of the plate's top row against the white of the text.
TEST_P(TableSizes, CaptionsReadOnWhiteYellowAndBlackTables) {
    for (uint32_t colour : {0x00FFFFFFu, 0x0000FFFFu, 0x00000000u}) {
        SCOPED_TRACE(colour);
        Open([&](MemorySettings& st) { st.WriteNumber("TableColor", colour); });
        window->Timer2Timer();
        auto contrast = [&](QWidget* w, QRect logical) {
            const QImage img = w->grab().toImage();
            const QRect r =
                QRectF(QPointF(logical.topLeft()) * s * dpr, QSizeF(logical.size()) * s * dpr)
                    .toAlignedRect() &
                img.rect();
            double text = 0, plate = 0;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    text = std::max(text, RelativeLuminance(img.pixelColor(x, y)));
            const int row = r.top() + std::max(1, static_cast<int>(s * dpr));
            for (int x = r.left() + r.width() / 8; x < r.right() - r.width() / 8; ++x)
                plate = std::max(plate, RelativeLuminance(img.pixelColor(x, row)));
            return (text + 0.05) / (plate + 0.05);
        };
        for (int n = 1; n <= 4; ++n)
            EXPECT_GE(contrast(window->group(n), window->group(n)->captionRect()), 4.5) << n;
        const QRect line(0, 0, static_cast<int>(window->statusLine()->width() / s),
                         StatusBarHeight);
        EXPECT_GE(contrast(window->statusLine(), line), 4.5);
    }
}

// A click is read in logical pixels: at any scale the pile card under the pointer is the
// one taken, and it arrives lowered though it was discarded selected.
class TableClicks : public TableSizes {};

TEST_P(TableClicks, PickupFromThePileArrivesUnselected) {
    Open();
    Game& g = window->game();
    g.NoSound = true;
    g.NewDeck();
    g.NextCard = 20;
    g.YourHand = {C(Clubs, 2), C(Diamonds, 2)};
    g.DiscardPile = {C(Hearts, 9), C(Spades, 2, Selected), C(Diamonds, 8)};
    g.HumansTurn = true;
    g.SetTurnPhase(1);
    window->Run([] {});
    // Logical x 31 is the second card; unscaled it would read as the third.
    const QPoint at(static_cast<int>(std::lround(31 * s)), static_cast<int>(std::lround(40 * s)));
    QTest::mouseClick(window->areaWidget(Area::PaintBox6), Qt::LeftButton, {}, at);
    ASSERT_EQ(g.YourHand.size(), 4u);
    EXPECT_EQ(g.YourHand[2].Rank, 2);
    EXPECT_EQ(g.YourHand[2].Suit, Spades);
    EXPECT_EQ(g.YourHand[2].Flags & Selected, 0) << "arrives lowered";
    EXPECT_EQ(g.DiscardPile.size(), 1u);
    // The hand's cards are picked the same way: logical x 20 is the second card.
    QTest::mouseClick(window->areaWidget(Area::PaintBox4), Qt::LeftButton, {},
                      QPoint(static_cast<int>(std::lround(20 * s)), static_cast<int>(30 * s)));
    EXPECT_TRUE(g.YourHand[1].Flags & Selected);
    EXPECT_FALSE(g.YourHand[2].Flags & Selected);
}

INSTANTIATE_TEST_SUITE_P(Screens, TableSizes,
                         ::testing::Values(Size{1024, 600, 0.88}, Size{1366, 705, 1.03},
                                           Size{1280, 800, 1.18}, Size{1920, 1080, 1.60},
                                           Size{3840, 2160, 3.24}),
                         SizeName);
// One size for each of the scales 100%, 125% and 200% (each pickup pauses for 4 s).
INSTANTIATE_TEST_SUITE_P(Scales, TableClicks,
                         ::testing::Values(Size{1024, 600}, Size{1920, 1080}, Size{3840, 2160}),
                         SizeName);

class TableSizeMenu : public TableFixture {};

// Table Size: six choices, one checked, stored as a number; a damaged value reads as Fit.
// A fixed size lays the logical table out at that scale, and 100% keeps every place. A
// step that does not fit the window is disabled and the table drawn as Fit, the choice
// kept and used again once the window is large enough.
TEST_F(TableSizeMenu, ChoicesAreStoredAndDamagedValuesFit) {
    Make([](MemorySettings& st) { st.WriteNumber("TableSize", 137); });
    window->resize(1920, 1200);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->action("FittoWindow1")->isChecked());
    EXPECT_EQ(window->tableSize(), TableSizeFit);
    window->action("TableSize1501")->trigger();
    EXPECT_EQ(store->ReadNumber("TableSize"), std::optional<uint32_t>(150u));
    EXPECT_TRUE(window->action("TableSize1501")->isChecked());
    EXPECT_FALSE(window->action("FittoWindow1")->isChecked());
    EXPECT_DOUBLE_EQ(window->TableScale(), 1.5);
    const QSize client = window->centralWidget()->size();
    EXPECT_EQ(window->logicalSize(), LogicalSize(client, 1.5));
    const Bands b = FormResize(window->logicalSize().width(), window->logicalSize().height());
    EXPECT_EQ(window->group(4)->geometry(),
              ScreenRect(b.groupBox4, 1.5, window->logicalSize(), client));
    EXPECT_EQ(window->meldButton()->size(), QSize(113, 38));  // 75 x 25, scaled and rounded

    window->action("TableSize1001")->trigger();
    EXPECT_DOUBLE_EQ(window->TableScale(), 1.0);
    const Bands exact = FormResize(client.width(), client.height());
    EXPECT_EQ(window->group(4)->geometry(), exact.groupBox4);
    EXPECT_EQ(window->areaWidget(Area::PaintBox6)->geometry(), PileArea(exact.groupBox4));
    EXPECT_EQ(window->meldButton()->geometry(), QRect(8, 120, 75, 25));

    // 150% at 1366 x 768: the hand would be cut off and the buttons lie over the stock.
    window->action("TableSize1501")->trigger();
    window->resize(1366, 705);
    QCoreApplication::processEvents();
    const QSize small = window->centralWidget()->size();
    EXPECT_FALSE(StepFits(150, small));
    EXPECT_FALSE(window->action("TableSize1501")->isEnabled());
    EXPECT_TRUE(window->action("TableSize1501")->isChecked()) << "the choice is kept";
    EXPECT_TRUE(window->action("TableSize1001")->isEnabled());
    EXPECT_TRUE(window->action("FittoWindow1")->isEnabled());
    EXPECT_DOUBLE_EQ(window->TableScale(), FitScale(small));
    EXPECT_LT(window->TableScale(), 1.5);
    EXPECT_TRUE(TableFits(window->logicalSize()));
    window->action("TableSize1751")->trigger();  // disabled: nothing happens
    EXPECT_EQ(store->ReadNumber("TableSize"), std::optional<uint32_t>(150u));
    window->resize(1920, 1200);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->action("TableSize1501")->isEnabled());
    EXPECT_DOUBLE_EQ(window->TableScale(), 1.5);

    window->action("FittoWindow1")->trigger();
    EXPECT_EQ(store->ReadNumber("TableSize"), std::optional<uint32_t>(0u));
    EXPECT_DOUBLE_EQ(window->TableScale(), FitScale(window->centralWidget()->size()));
}

}  // namespace
