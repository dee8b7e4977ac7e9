// Cards in motion: a drag does what the clicks and the command it stands for do (the
// same boxes, log lines and state), a drag within the hand reorders it, a press without
// movement is a click, targets light only when they take the cards; and glides leave the
// table exactly as the jumps do, while with Animations off nothing glides.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "DialogDriver.h"
#include "game/Random.h"
#include "persist/SavedGameFormat.h"
#include "table/CardGlides.h"
#include "table/TSkelda.h"
#include "table/TableDrag.h"
#include "windows/LogWindow.h"

using namespace skelda;

namespace {

TCard C(int suit, int rank, uint8_t flags = 0) {
    return TCard{static_cast<uint8_t>(suit), static_cast<uint8_t>(rank), flags};
}

class MotionTest : public ::testing::Test {
protected:
    std::unique_ptr<TSkelda> MakeTable(bool animations) {
        auto settings = std::make_unique<MemorySettings>();
        settings->WriteFlag("QuickPlay");
        settings->WriteNumber("BackID", 3);
        if (!animations) settings->WriteFlag("NoAnimations");
        TableOptions o;
        o.settings = std::move(settings);
        o.audio = false;
        o.dataFolder = dir.filePath(QStringLiteral("data%1").arg(made++));
        o.workingFolder = dir.path();
        o.installedFolders = QStringList();
        auto w = std::make_unique<TSkelda>(std::move(o));
        w->resize(1366, 705);
        w->FormCreate();
        w->show();
        QCoreApplication::processEvents();
        return w;
    }
    void TearDown() override {
        for (auto* w : {&a, &b})
            if (*w) (*w)->game().timers = Timers{};
    }

    // Phase 2 of the human's turn: three fives, the 7 and 9 of Spades beside the
    // computer's run 4-5-6 of Spades, and two cards that fit nothing.
    static void Arrange(TSkelda& t) {
        Game& g = t.game();
        g.NewDeck();
        g.NextCard = 20;
        g.RoundNumber = 1;
        g.OpponentName = "LILA";
        g.YourHand = {C(0, 4), C(3, 6), C(1, 4), C(2, 12), C(2, 4), C(3, 8), C(1, 1)};
        g.OpponentHand = {C(0, 9), C(1, 9), C(2, 2)};
        g.Melds = {{C(3, 3), C(3, 4), C(3, 5)}};
        g.DiscardPile = {C(2, 7), C(0, 10)};
        g.HumansTurn = true;
        g.SetTurnPhase(2);
        t.Repaint(Area::All);
        t.Timer2Timer();
    }

    static QPoint In(TSkelda& t, Area area, QPointF logical) {
        const QWidget* w = t.areaWidget(area);
        return t.areaWidget(Area::PaintBox4)
            ->mapFrom(t.centralWidget(),
                      w->mapTo(t.centralWidget(), (logical * t.TableScale()).toPoint()));
    }
    static QPoint HandCard(TSkelda& t, int i) {
        return (QPointF(CardStep * i + 5, LoweredOffset + 30) * t.TableScale()).toPoint();
    }
    static void Send(TSkelda& t, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons) {
        QWidget* hand = t.areaWidget(Area::PaintBox4);
        QMouseEvent e(type, QPointF(pos), hand->mapToGlobal(QPointF(pos)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
        QApplication::sendEvent(hand, &e);
    }
    // Presses on hand card i, moves to `to` (hand area pixels) in steps, checks the light
    // there when asked, and lets go.
    static void Drag(TSkelda& t, int i, QPoint to, std::optional<bool> lit = {}) {
        const QPoint from = HandCard(t, i);
        Send(t, QEvent::MouseButtonPress, from, Qt::LeftButton);
        for (int k = 1; k <= 4; ++k)
            Send(t, QEvent::MouseMove, from + (to - from) * k / 4, Qt::LeftButton);
        if (lit) {
            EXPECT_EQ(!t.glides()->lit().isEmpty(), *lit) << "the light at the drop";
        }
        Send(t, QEvent::MouseButtonRelease, to, Qt::NoButton);
    }
    static void Click(TSkelda& t, int i) {
        QTest::mouseClick(t.areaWidget(Area::PaintBox4), Qt::LeftButton, {}, HandCard(t, i));
    }
    static void Command(TSkelda& t, const char* name) {
        t.action(QString::fromLatin1(name))->trigger();
    }

    // The log without its time stamps, one line after another.
    static std::string LogLines(TSkelda& t) {
        QStringList lines = t.logWindow().Text().split('\n', Qt::SkipEmptyParts);
        for (QString& l : lines)
            l.remove(QRegularExpression(QStringLiteral("^.*\\d\\d:\\d\\d:\\d\\d")));
        return lines.join('\n').toStdString();
    }
    // The game as a saved game holds it, in hexadecimal.
    static std::string State(TSkelda& t) {
        SavedGameRecord record;
        std::string why;
        EXPECT_TRUE(t.game().SerializeGame(0, record, why)) << why;
        return QByteArray(reinterpret_cast<const char*>(record.bytes.data()),
                          static_cast<qsizetype>(record.bytes.size()))
            .toHex()
            .toStdString();
    }
    static std::string Texts(const std::vector<SeenDialog>& seen) {
        QStringList texts;
        for (const SeenDialog& d : seen) texts << d.text;
        return texts.join('|').toStdString();
    }
    static void Settle(TSkelda& t) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !t.glides()->gliding(); }, 5000));
    }

    QTemporaryDir dir;
    int made = 0;
    std::unique_ptr<TSkelda> a, b;
};

// Each drop against the clicks and the command it stands for, step after step on two
// tables set out alike: the boxes, the log and the whole game state must agree.
TEST_F(MotionTest, ADropDoesWhatItsClicksAndCommandDo) {
    a = MakeTable(true);
    b = MakeTable(true);
    Arrange(*a);
    Arrange(*b);
    auto same = [&](const char* step) {
        EXPECT_EQ(LogLines(*a), LogLines(*b)) << step;
        EXPECT_EQ(State(*a), State(*b)) << step;
    };
    const QPoint yourMelds = In(*b, Area::PaintBox3, QPointF(500, 40));
    const QPoint theirRun = In(*b, Area::PaintBox2, QPointF(20, 30));
    const QPoint pile = In(*b, Area::PaintBox6, QPointF(30, 40));

    // Two cards that make no meld onto the meld area: the Meld command's refusal.
    std::vector<SeenDialog> seenA, seenB;
    {
        DialogDriver d({"ok"});
        Click(*a, 3);
        Click(*a, 6);
        Command(*a, "Meld1");
        seenA = d.seen;
    }
    {
        DialogDriver d({"ok"});
        Click(*b, 3);
        Click(*b, 6);
        Drag(*b, 3, yourMelds, false);
        seenB = d.seen;
    }
    EXPECT_EQ(Texts(seenA), "Invalid meld");
    EXPECT_EQ(Texts(seenA), Texts(seenB));
    same("no meld");

    // The 7 of Spades alone (the Queen and the 2 are lifted) onto the computer's run: the
    // clicks lower those two and lift the 7, and Meld lays it off.
    Click(*a, 3);
    Click(*a, 6);
    Click(*a, 1);
    Command(*a, "Meld1");
    Drag(*b, 1, theirRun, true);
    same("lay-off");
    ASSERT_EQ(a->game().Melds[0].size(), 4u);

    // The three fives lifted, then dragged by one of them onto the meld area: a new meld.
    for (int i : {0, 1, 3}) {
        Click(*a, i);
        Click(*b, i);
    }
    Command(*a, "Meld1");
    Drag(*b, 1, yourMelds, true);
    same("new meld");
    ASSERT_EQ(a->game().Melds.size(), 2u);
    ASSERT_EQ(a->game().YourHand.size(), 3u);

    // Two cards onto the pile: "Please choose only 1 card to discard", and nothing moves.
    {
        DialogDriver d({"ok"});
        Click(*a, 0);
        Click(*a, 1);
        a->discardButton()->click();
        seenA = d.seen;
    }
    {
        DialogDriver d({"ok"});
        Click(*b, 0);
        Click(*b, 1);
        Drag(*b, 0, pile, false);
        seenB = d.seen;
    }
    EXPECT_EQ(Texts(seenA), "Please choose only 1 card to discard");
    EXPECT_EQ(Texts(seenA), Texts(seenB));
    same("two onto the pile");

    // The unlifted card onto the pile: the discard, and the computer's turn is due.
    Click(*a, 0);
    Click(*a, 1);
    Click(*a, 2);
    a->discardButton()->click();
    Drag(*b, 2, pile, true);
    same("discard");
    EXPECT_TRUE(b->game().timers.Timer4);
    EXPECT_EQ(b->game().DiscardPile.size(), 3u);
}

// A drag within the hand only reorders it; a press and release closer than the drag
// distance is a click; a drop on no target changes nothing.
TEST_F(MotionTest, DragWithinTheHandReordersAndAShortPressIsAClick) {
    a = MakeTable(true);
    Arrange(*a);
    Game& g = a->game();
    const TCardList before = g.YourHand;
    const std::string log = a->logWindow().Text().toStdString();

    // The first card to between the 4th and the 5th.
    Drag(*a, 0, HandCard(*a, 4) - QPoint(0, 0), true);
    Settle(*a);
    const TCardList after = g.YourHand;
    ASSERT_EQ(after.size(), before.size());
    EXPECT_TRUE(SameCard(after[3], before[0]) || SameCard(after[4], before[0]));
    for (const TCard& c : before) EXPECT_TRUE(ContainsCard(after, c));
    EXPECT_EQ(a->logWindow().Text().toStdString(), log) << "a reorder writes no log line";

    // A two-pixel wobble is a click: the card lifts.
    const QPoint at = HandCard(*a, 2);
    Send(*a, QEvent::MouseButtonPress, at, Qt::LeftButton);
    Send(*a, QEvent::MouseMove, at + QPoint(1, 1), Qt::LeftButton);
    Send(*a, QEvent::MouseButtonRelease, at + QPoint(1, 1), Qt::NoButton);
    EXPECT_TRUE(g.YourHand[2].Flags & Selected);
    EXPECT_FALSE(a->glides()->held().size());

    // Dropped on the stock (no target): nothing changes, the card glides home.
    const std::string state = State(*a);
    Drag(*a, 5, In(*a, Area::PaintBox5, QPointF(20, 20)), false);
    Settle(*a);
    EXPECT_EQ(State(*a), state);

    // The order is the hand's: a saved game keeps it.
    SavedGameRecord record;
    std::string why;
    ASSERT_TRUE(g.SerializeGame(0, record, why));
    const std::optional<SavedGameData> data = ReadSavedGame(record);
    ASSERT_TRUE(data);
    ASSERT_EQ(data->yourHand.size(), after.size());
    for (size_t i = 0; i < after.size(); ++i) EXPECT_TRUE(SameCard(data->yourHand[i], after[i]));
}

// Dealing, drawing, discarding and the computer's turns, once with Animations on and once
// off, from the same seed: with them off nothing ever glides; with them on cards glide,
// and once they have landed the table looks exactly as after the jumps.
TEST_F(MotionTest, GlidesEndWhereTheJumpsDoAndOffNothingGlides) {
    auto play = [&](TSkelda& t, int& glidesSeen) {
        DialogDriver answers({});  // the round's end, should it come
        SetRandSeed(20261208);
        Game& g = t.game();
        t.Run([&] { g.NewGame(false); });
        auto note = [&] { glidesSeen = std::max(glidesSeen, t.glides()->glidingCount()); };
        auto ticks = [&] {
            for (int i = 0; i < 200 && (g.timers.Timer1 || g.timers.Timer4); ++i) {
                t.Run([&] { g.timers.Timer1 ? g.Timer1Timer() : g.Timer4Timer(); });
                note();
            }
        };
        for (int turn = 0; turn < 4 && g.YourScores.empty(); ++turn) {
            ticks();
            if (!g.HumansTurn || g.TurnPhase != 1) break;
            QTest::mouseClick(t.areaWidget(Area::PaintBox5), Qt::LeftButton, {},
                              (QPointF(5, 5) * t.TableScale()).toPoint());
            note();
            Click(t, 0);
            t.discardButton()->click();
            note();
        }
        ticks();
        Settle(t);
    };
    int on = 0, off = 0;
    a = MakeTable(true);
    play(*a, on);
    b = MakeTable(false);
    play(*b, off);
    EXPECT_GT(on, 0) << "cards glide with Animations on";
    EXPECT_EQ(off, 0) << "nothing glides with Animations off";
    EXPECT_FALSE(b->action(QStringLiteral("Animations1"))->isChecked());
    EXPECT_EQ(State(*a), State(*b));
    EXPECT_EQ(LogLines(*a), LogLines(*b));
    for (int area = 1; area <= 6; ++area) {
        const QImage pa = a->areaWidget(static_cast<Area>(area))->grab().toImage();
        const QImage pb = b->areaWidget(static_cast<Area>(area))->grab().toImage();
        EXPECT_TRUE(pa == pb) << "area " << area << " differs once the glides have landed";
    }
}

}  // namespace
