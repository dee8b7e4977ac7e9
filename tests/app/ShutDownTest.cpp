// A shut-down that cannot ask (SIGTERM, SIGHUP, the session's end) saves the game in
// play without a question and ends whatever dialog or wait is open; the close box keeps
// its question.
#include <QFile>
#include <QFontMetrics>
#include <QSystemTrayIcon>
#include <QTimer>

#include "persist/SavedGameFormat.h"
#include "table/TableWidgets.h"
#include "tests/app/DialogDriver.h"
#include "tests/app/TableFixture.h"

using namespace skelda;

namespace {

class ShutDownTest : public TableFixture {
protected:
    std::string Bytes() {
        SavedGameRecord r;
        std::string why;
        EXPECT_TRUE(window->game().SerializeGame(0, r, why)) << why;
        return SavedGameFileBytes(r);
    }
    QByteArray File(const QString& name) {
        QFile f(dir.filePath("data/" + name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(ShutDownTest, DuringAnOperationTheGameBeforeItIsSavedAndEveryWaitEnds) {
    Make([](MemorySettings& s) { s.WriteText("Autoload", "Evening"); });
    window->StartGame();
    window->game().timers = Timers{};
    const std::string before = Bytes();
    bool closed = false, late = false;
    QObject::connect(window.get(), &TSkelda::closed, [&] { closed = true; });
    // Neither the box nor the long pause may hold the program: the shut-down comes while
    // the box is up, and a timer far beyond it tells whether anything waited it out.
    QTimer::singleShot(50, window.get(), [&] { window->ShutDownSilently(); });
    QTimer::singleShot(3000, window.get(), [&] { late = true; });
    Answer first = Answer::Yes, second = Answer::Yes;
    window->Run([&] {
        window->game().YourHand.clear();  // half-way through a turn
        first = window->MessageBox("Skelda", "Play again?", Icon::Question, Buttons::YesNo);
        window->Pause(4096);
        second = window->MessageBox("Skelda", "Save game?", Icon::Question, Buttons::YesNoCancel);
    });
    EXPECT_FALSE(late);
    EXPECT_TRUE(closed);
    EXPECT_EQ(first, Answer::No) << "the dismissed box gives the answer that changes nothing";
    EXPECT_EQ(second, Answer::Cancel) << "no box is shown once the program is ending";
    EXPECT_EQ(File("Evening.sav").toStdString(), before)
        << "the game as it stood when the operation began";
    EXPECT_EQ(store->ReadText("Autoload", 261), std::optional<std::string>("Evening"));
    EXPECT_TRUE(File("Skelda.recovery").isEmpty()) << "a clean end leaves no recovery record";
    EXPECT_FALSE(window->isVisible());
}

TEST_F(ShutDownTest, AGameResumedAfterACrashIsAnnouncedWhole) {
    if (QSystemTrayIcon::isSystemTrayAvailable()) GTEST_SKIP() << "a notification area exists";
    Make();
    window->StartGame();
    window->game().timers = Timers{};
    const std::string before = Bytes();
    const TCardList hand = window->game().YourHand;
    window.reset();  // the crash: nothing is wound down
    {
        QFile f(dir.filePath("data/Skelda.recovery"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(before.data(), qint64(before.size()));
    }
    Make();
    window->StartGame();
    window->game().timers = Timers{};
    const TCardList& now = window->game().YourHand;
    ASSERT_EQ(now.size(), hand.size());
    for (size_t i = 0; i < hand.size(); ++i) EXPECT_TRUE(SameCard(now[i], hand[i])) << i;
    auto* notice = qobject_cast<NoticeBubble*>(window->noticeBubble());
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->isVisible());
    const QString said = "The game that was in play when Skelda stopped has been resumed.";
    EXPECT_EQ(notice->text(), said);
    // Every word fits: wrapped to the text's width, the lines need no more than its height.
    const QRect text = notice->textRect();
    const QRect needed = QFontMetrics(notice->font())
                             .boundingRect(QRect(0, 0, text.width(), 2000), Qt::TextWordWrap, said);
    EXPECT_LE(needed.width(), text.width());
    EXPECT_LE(needed.height(), text.height());
    EXPECT_TRUE(QRect(QPoint(), notice->logicalSize()).contains(text));
    // And the whole bubble lies on the table.
    EXPECT_TRUE(notice->parentWidget()->rect().contains(notice->geometry()));
}

TEST_F(ShutDownTest, BetweenOperationsTheTableAsItStandsIsSavedAndTheCloseBoxStillAsks) {
    Make();
    window->StartGame();
    window->game().timers = Timers{};
    window->game().YourScores = {40};
    window->game().OpponentScores = {25};
    {
        // The close box asks; Cancel keeps the program and the game.
        DialogDriver driver({"cancel"});
        window->close();
        ASSERT_EQ(driver.seen.size(), 1u);
        EXPECT_EQ(driver.seen[0].text, "Save game?");
        EXPECT_TRUE(window->isVisible());
    }
    const std::string now = Bytes();
    window->ShutDownSilently();
    EXPECT_EQ(File("MyGame.sav").toStdString(), now);
    // What the closing operation does afterwards is only winding down: nothing is asked.
    DialogDriver driver({});
    window->close();
    EXPECT_TRUE(driver.seen.empty());
}

}  // namespace
