// The table's objects for screen readers, as Qt's accessibility gives them to AT-SPI, and the
// lines announced: a computer turn told action by action in the log's words, a refusal, the
// start of the player's turn and the listening keys. (tests/a11y plays a whole round through
// AT-SPI itself.)
#include <gtest/gtest.h>

#include <QAccessible>
#include <QTest>

#include "DialogDriver.h"
#include "TableFixture.h"
#include "game/TableWords.h"
#include "table/Announcer.h"
#include "table/TableAccessible.h"
#include "windows/LogWindow.h"

using namespace skelda;

namespace {

TCard C(int suit, int rank, uint8_t flags = 0) {
    return TCard{static_cast<uint8_t>(suit), static_cast<uint8_t>(rank), flags};
}

class AccessibleTest : public TableFixture {
protected:
    Game& game() { return window->game(); }
    QAccessibleInterface* Of(QWidget* w) { return QAccessible::queryAccessibleInterface(w); }
    QAccessibleInterface* Of(Area area) { return Of(window->areaWidget(area)); }
    Announcer& announcer() { return *window->accessible()->announcer(); }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(window->centralWidget(), key, mods);
    }
    // Every line said, once all have had their time.
    QStringList Said() {
        EXPECT_TRUE(QTest::qWaitFor([this] { return announcer().idle(); }, 30000));
        return announcer().said();
    }
    // The human to draw, mid-round, the Nine of Diamonds lifted: discarded, it makes a run
    // with the computer's Seven and Eight.
    void Arrange() {
        Game& g = game();
        g.NewDeck();
        g.OpponentName = "LILA";
        g.RoundNumber = 1;
        g.NextCard = 31;
        g.OddPickup = 1;  // the computer never digs into the pile
        g.YourHand = {C(0, 1), C(1, 8, Selected), C(2, 12)};
        g.OpponentHand = {C(1, 6), C(1, 7), C(0, 4), C(2, 2), C(3, 10)};
        g.DiscardPile = {C(2, 3), C(3, 8)};
        g.Melds = {{C(0, 11), C(2, 11), C(3, 11)},
                   {C(2, 4, Yours), C(2, 5, Yours), C(2, 6, Yours)}};
        g.HumansTurn = true;
        g.SetTurnPhase(1);
        window->Run([] {});
    }
};

}  // namespace

TEST_F(AccessibleTest, TheTableAsAScreenReaderSeesIt) {
    Make([](MemorySettings& s) { s.WriteFlag("QuickPlay"); });
    Arrange();
    window->Timer2Timer();

    QAccessibleInterface* hand = Of(Area::PaintBox4);
    ASSERT_NE(hand, nullptr);
    EXPECT_EQ(hand->role(), QAccessible::List);
    EXPECT_EQ(hand->text(QAccessible::Name), "Your hand, 3 cards");
    ASSERT_EQ(hand->childCount(), 3);
    const QStringList cards = {"Two of Clubs", "Nine of Diamonds", "King of Hearts"};
    for (int i = 0; i < 3; ++i) {
        QAccessibleInterface* card = hand->child(i);
        ASSERT_NE(card, nullptr);
        EXPECT_EQ(card->role(), QAccessible::ListItem);
        EXPECT_EQ(card->text(QAccessible::Name), cards[i]);
        EXPECT_EQ(card->text(QAccessible::Description), QString("card %1 of 3").arg(i + 1));
        EXPECT_EQ(card->state().selected, i == 1) << i;
        EXPECT_TRUE(card->state().selectable);
        EXPECT_EQ(card->parent(), hand);
        EXPECT_EQ(hand->indexOfChild(card), i);
        // Where it is drawn: the lifted card stands higher, inside its area.
        EXPECT_TRUE(Of(Area::PaintBox4)->rect().contains(card->rect().center())) << i;
    }
    EXPECT_LT(hand->child(1)->rect().top(), hand->child(0)->rect().top());

    QAccessibleInterface* pile = Of(Area::PaintBox6);
    EXPECT_EQ(pile->text(QAccessible::Name), "Discard pile, 2 cards");
    ASSERT_EQ(pile->childCount(), 2);
    EXPECT_EQ(pile->child(0)->text(QAccessible::Name), "Four of Hearts");
    EXPECT_EQ(pile->child(1)->text(QAccessible::Name), "Nine of Spades");
    EXPECT_EQ(pile->child(1)->text(QAccessible::Description), "card 2 of 2, top");
    EXPECT_EQ(Of(Area::PaintBox5)->text(QAccessible::Name), "Stock, 21 cards");
    EXPECT_EQ(Of(Area::PaintBox1)->text(QAccessible::Name), "LILA holds 5 cards");
    QAccessibleInterface* theirs = Of(Area::PaintBox2);
    QAccessibleInterface* yours = Of(Area::PaintBox3);
    ASSERT_EQ(theirs->childCount(), 1);
    ASSERT_EQ(yours->childCount(), 1);
    EXPECT_EQ(theirs->text(QAccessible::Name), "LILA's melds, 1");
    EXPECT_EQ(theirs->child(0)->text(QAccessible::Name), "Set of Queens");
    EXPECT_EQ(yours->child(0)->text(QAccessible::Name), "Run: Five, Six, Seven of Hearts");
    EXPECT_EQ(Of(window->group(4))->text(QAccessible::Name), "Draw: 21, Discard: 2");
    EXPECT_EQ(Of(window->group(4))->role(), QAccessible::Grouping);
    EXPECT_EQ(Of(window->statusLine())->role(), QAccessible::StatusBar);
    EXPECT_EQ(Of(window->statusLine())->text(QAccessible::Name), window->statusLine()->text());
    EXPECT_EQ(Of(window->accessible()->scoreBoard())->text(QAccessible::Name),
              QString::fromStdString(ScoreWords(game())));
    EXPECT_EQ(Of(&announcer())->role(), QAccessible::Notification);

    // The focused card follows the keys: the hand's focus, then the pile's cursor.
    Key(Qt::Key_Home);
    Key(Qt::Key_Right);
    EXPECT_TRUE(hand->child(1)->state().focused);
    EXPECT_FALSE(hand->child(0)->state().focused);
    EXPECT_EQ(hand->focusChild(), hand->child(1));
    Key(Qt::Key_Up);
    EXPECT_FALSE(hand->child(1)->state().focused);
    EXPECT_TRUE(pile->child(1)->state().focused);
    Key(Qt::Key_Left);
    EXPECT_TRUE(pile->child(0)->state().focused);
    Key(Qt::Key_Down);

    // The names follow the game: a card drawn is a fourth item, the stock one fewer.
    Key(Qt::Key_S);
    EXPECT_EQ(hand->text(QAccessible::Name), "Your hand, 4 cards");
    ASSERT_EQ(hand->childCount(), 4);
    EXPECT_EQ(hand->child(3)->text(QAccessible::Name),
              QString::fromStdString(SpokenCard(game().YourHand[3])));
    EXPECT_EQ(Of(Area::PaintBox5)->text(QAccessible::Name), "Stock, 20 cards");
}

TEST_F(AccessibleTest, TheComputersTurnIsToldInTheLogsWords) {
    Make([](MemorySettings& s) { s.WriteFlag("QuickPlay"); });
    DialogDriver driver({});
    Arrange();
    const int before = Said().size();

    // A refusal, then the listening keys.
    Key(Qt::Key_D);
    // The box's own words, then the line beside the pile that says why.
    const QString why = "draw from the stock or take from the pile before you discard";
    EXPECT_EQ(Said().mid(before), (QStringList{"You must draw before discarding!", why}));
    Key(Qt::Key_H);
    EXPECT_EQ(Said().last(), QString::fromStdString(HandReading(game())));
    EXPECT_EQ(Said().last(),
              "Your hand, 3 cards: Two of Clubs, Nine of Diamonds (lifted), King of Hearts.");
    Key(Qt::Key_T);
    EXPECT_EQ(Said().last(), QString::fromStdString(TableReading(game())));
    Key(Qt::Key_R, Qt::ShiftModifier);
    EXPECT_EQ(Said().last(), why);

    // The human draws and throws the Nine of Diamonds; the computer takes it, melds the run
    // and discards. Each log line of its turn is said once, then
    // the start of the human's turn.
    const int mark = Said().size();
    const int logMark = window->logWindow().Text().split('\n').size();
    Key(Qt::Key_S);
    ASSERT_EQ(game().TurnPhase, 2);
    Key(Qt::Key_D);
    ASSERT_TRUE(game().timers.Timer4);
    window->Run([this] { game().Timer4Timer(); });
    ASSERT_TRUE(game().HumansTurn);
    QStringList actions;
    for (const QString& line : window->logWindow().Text().split('\n').mid(logMark - 1)) {
        const int dash = line.indexOf(" - ");
        if (dash < 0 || line.mid(dash + 3).startsWith("You ")) continue;
        actions << line.mid(dash + 3);
    }
    ASSERT_GE(actions.size(), 3) << actions.join(" | ").toStdString();
    EXPECT_EQ(actions.first(), "LILA picks up the 9 Of Diamonds");
    EXPECT_EQ(actions.last().left(15), "LILA discarded ");
    EXPECT_EQ(Said().mid(mark), actions + QStringList{"Your turn, please draw or pickup discard"});
    // Shift+R says the start of the turn again.
    Key(Qt::Key_R, Qt::ShiftModifier);
    EXPECT_EQ(Said().last(), "Your turn, please draw or pickup discard");
}
