// The hint on the real table: the marks it draws (and nothing else), its line beside the
// pile, that asking changes nothing of the game, and that the next action takes it away;
// Game > Take Back enabled exactly while the turn holds something to take back.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "TableFixture.h"
#include "game/Random.h"
#include "opponent/Hint.h"
#include "table/CardGlides.h"
#include "table/TablePaint.h"

using namespace skelda;

namespace {

class AdviceTest : public TableFixture {
protected:
    Game& game() { return window->game(); }
    // The area once every card has landed.
    QImage Shot(Area a) {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !window->glides()->gliding(); }, 5000));
        return window->areaWidget(a)->grab().toImage();
    }
    void Click(Area a, QPoint at) {
        QTest::mouseClick(window->areaWidget(a), Qt::LeftButton, {},
                          (QPointF(at) * window->TableScale()).toPoint());
    }
    // A rectangle of the table's logical pixels in the widget's pixels.
    QRect OnScreen(const QRect& r) const {
        const qreal s = window->TableScale();
        return QRectF(QPointF(r.topLeft()) * s, QSizeF(r.size()) * s).toAlignedRect();
    }
    // The changed pixels of an area: how many lie inside `allowed` and how many outside.
    static std::pair<int, int> Changes(const QImage& before, const QImage& after,
                                       const QRegion& allowed) {
        int in = 0, out = 0;
        for (int y = 0; y < std::min(before.height(), after.height()); ++y)
            for (int x = 0; x < std::min(before.width(), after.width()); ++x)
                if (before.pixel(x, y) != after.pixel(x, y))
                    ++(allowed.contains({x, y}) ? in : out);
        return {in, out};
    }
    static QRect CardRect(int x, int y) {
        return QRect(x - 4, y - 4, CardWidth + 8, CardHeight + 8);
    }
};

}  // namespace

TEST_F(AdviceTest, HintMarksWhatItMeansSaysWhyAndChangesNothing) {
    Make();
    SetRandSeed(20261208u);
    window->Run([this] { game().NewRound(); });
    ASSERT_TRUE(WaitForHumanDraw());
    const std::vector<Area> areas = {Area::PaintBox2, Area::PaintBox3, Area::PaintBox4,
                                     Area::PaintBox5, Area::PaintBox6};
    for (int phase : {1, 2}) {
        SCOPED_TRACE(phase);
        if (phase == 2) Click(Area::PaintBox5, {10, 10});
        ASSERT_EQ(game().TurnPhase, phase);
        std::map<Area, QImage> before;
        for (Area a : areas) before[a] = Shot(a);
        const uint32_t seed = RandSeed();
        const TurnSnapshot state = game().Snapshot();

        window->action("Hint1")->trigger();
        EXPECT_EQ(RandSeed(), seed);
        EXPECT_TRUE(SameTurnState(game().Snapshot(), state));
        const TableAdvice* advice = game().CurrentAdvice();
        ASSERT_NE(advice, nullptr);
        ASSERT_FALSE(advice->line.empty());
        EXPECT_TRUE(game().HintUsed);

        // The hand: exactly the advised cards are outlined.
        QRegion hand;
        for (size_t i = 0; i < game().YourHand.size(); ++i) {
            const TCard c = game().YourHand[i];
            if (ContainsCard(advice->handCards, c))
                hand += OnScreen(CardRect(CardStep * static_cast<int>(i),
                                          (c.Flags & Selected) ? 0 : LoweredOffset));
        }
        auto [handIn, handOut] = Changes(before[Area::PaintBox4], Shot(Area::PaintBox4), hand);
        EXPECT_EQ(handOut, 0);
        EXPECT_EQ(handIn > 0, !advice->handCards.empty());

        // The stock: its top card outlined when the hint says draw.
        const int stock = 52 - game().NextCard;
        const QRegion top = OnScreen(CardRect(StockStep * (stock - 1), 0));
        auto [stockIn, stockOut] = Changes(before[Area::PaintBox5], Shot(Area::PaintBox5), top);
        EXPECT_EQ(stockOut, 0);
        EXPECT_EQ(stockIn > 0, advice->stock);

        // The pile: the card to take from outlined and pointed at, and the line beside.
        const int n = static_cast<int>(game().DiscardPile.size());
        const int lineX = CardStep * std::max(0, n - 1) + CardWidth + 12;
        const QRect line = OnScreen(QRect(lineX, 0, 4000, CardHeight + AdviceLineStep));
        QRegion pile = line;
        if (advice->pileIndex >= 0)
            pile += OnScreen(
                QRect(CardStep * advice->pileIndex - 4, -4, CardWidth + 8, CardHeight + 40));
        const QImage pileShot = Shot(Area::PaintBox6);
        auto [pileIn, pileOut] = Changes(before[Area::PaintBox6], pileShot, pile);
        EXPECT_EQ(pileOut, 0);
        auto [lineIn, lineOut] = Changes(before[Area::PaintBox6], pileShot, line);
        EXPECT_GT(lineIn, 40) << "the reason line is drawn beside the pile";
        if (advice->pileIndex >= 0) {
            EXPECT_GT(pileIn, lineIn);
        }

        // A lay-off's meld is outlined; otherwise the meld areas stay as they were.
        const bool melds = Shot(Area::PaintBox2) != before[Area::PaintBox2] ||
                           Shot(Area::PaintBox3) != before[Area::PaintBox3];
        EXPECT_EQ(melds, advice->meldIndex >= 0);

        // The next action takes the marks and the line away.
        if (phase == 2) {
            Click(Area::PaintBox4, {0, 40});
            EXPECT_EQ(game().CurrentAdvice(), nullptr);
            auto [in, out] = Changes(before[Area::PaintBox5], Shot(Area::PaintBox5), QRegion());
            EXPECT_EQ(in + out, 0);
            const QImage cleared = Shot(Area::PaintBox6);
            const QRect plate =
                OnScreen(QRect(lineX, CardHeight / 2 - 12, 400, 24 + AdviceLineStep));
            EXPECT_EQ(cleared.copy(plate), before[Area::PaintBox6].copy(plate))
                << "the line beside the pile has gone";
        }
    }
}

TEST_F(AdviceTest, TakeBackIsEnabledOnlyWhileTheTurnHasSomethingToTakeBack) {
    Make();
    SetRandSeed(77u);
    window->Run([this] { game().NewRound(); });
    ASSERT_TRUE(WaitForHumanDraw());
    QAction* back = window->action("TakeBack1");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(window->action("Hint1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_H));
    EXPECT_FALSE(back->isEnabled());

    // A selection can be taken back, until the draw from the stock.
    Click(Area::PaintBox4, {0, 40});
    EXPECT_TRUE(back->isEnabled());
    back->trigger();
    EXPECT_FALSE(game().YourHand[0].Flags & Selected);
    EXPECT_FALSE(back->isEnabled());
    Click(Area::PaintBox4, {0, 40});
    EXPECT_TRUE(back->isEnabled());
    Click(Area::PaintBox5, {10, 10});
    ASSERT_EQ(game().TurnPhase, 2);
    EXPECT_FALSE(back->isEnabled()) << "a draw from the stock cannot be taken back";
    Click(Area::PaintBox4, {0, 40});  // lowers the card lifted before the draw

    // A meld after the draw goes back through the menu, and the table shows it.
    game().YourHand = {TCard{Diamonds, 6, 0}, TCard{Diamonds, 7, 0}, TCard{Diamonds, 8, 0},
                       TCard{Clubs, 12, 0}};
    window->Repaint(Area::PaintBox4);
    for (int i = 0; i < 3; ++i) Click(Area::PaintBox4, {CardStep * i + 2, 40});
    const QImage noMelds = Shot(Area::PaintBox3);
    QTest::mouseClick(window->meldButton(), Qt::LeftButton);
    ASSERT_EQ(game().YourHand.size(), 1u);
    EXPECT_NE(Shot(Area::PaintBox3), noMelds);
    EXPECT_TRUE(back->isEnabled());
    back->trigger();
    EXPECT_EQ(game().YourHand.size(), 4u);
    EXPECT_EQ(Shot(Area::PaintBox3), noMelds);
    EXPECT_TRUE(back->isEnabled());  // the selections before it

    // Nothing once the discard is made.
    for (int i = 0; i < 3; ++i) Click(Area::PaintBox4, {CardStep * i + 2, 40});
    Click(Area::PaintBox4, {CardStep * 3 + 2, 40});
    EXPECT_TRUE(back->isEnabled());
    QTest::mouseClick(window->discardButton(), Qt::LeftButton);
    ASSERT_EQ(game().YourHand.size(), 3u);
    EXPECT_TRUE(game().timers.Timer4);
    EXPECT_FALSE(back->isEnabled()) << "nothing can be taken back after the discard";
}
