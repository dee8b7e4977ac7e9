// The table from the keyboard: a whole round played with keys only, Quick Play's timers,
// Escape on the auxiliary windows, the key map in the manual, and where the songs and
// table pictures are found when the game starts in a folder without them.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>

#include "DialogDriver.h"
#include "TableFixture.h"
#include "game/Random.h"
#include "table/InstalledData.h"
#include "table/TCardDeckDlg.h"
#include "windows/Rtf.h"
#include "windows/TAboutBox.h"
#include "windows/THelp.h"

using namespace skelda;

namespace {

class KeyboardTest : public TableFixture {
protected:
    Game& game() { return window->game(); }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(window->centralWidget(), key, mods);
    }
    // The focus onto hand card i with Home and Right, then Space lifts or lowers it.
    void Toggle(int i) {
        Key(Qt::Key_Home);
        for (int k = 0; k < i; ++k) Key(Qt::Key_Right);
        ASSERT_EQ(window->handFocus(), i);
        const bool was = game().YourHand[i].Flags & Selected;
        Key(Qt::Key_Space);
        ASSERT_NE(bool(game().YourHand[i].Flags & Selected), was) << "card " << i;
    }
    void LowerAll() {
        for (int i = 0; i < static_cast<int>(game().YourHand.size()); ++i)
            if (game().YourHand[i].Flags & Selected) Toggle(i);
    }
    static TCardList Plain(TCardList cards) {
        for (TCard& c : cards) c.Flags = 0;
        return cards;
    }
    // Lifts and melds three cards that make a meld; false when the hand holds none.
    bool MeldATriple() {
        const TCardList& h = game().YourHand;
        const int n = static_cast<int>(h.size());
        for (int a = 0; a < n; ++a)
            for (int b = a + 1; b < n; ++b)
                for (int c = b + 1; c < n; ++c) {
                    if (!Game::IsValidMeld(Plain({h[a], h[b], h[c]}))) continue;
                    Toggle(a);
                    Toggle(b);
                    Toggle(c);
                    Key(Qt::Key_M);
                    EXPECT_EQ(static_cast<int>(game().YourHand.size()), n - 3);
                    return true;
                }
        return false;
    }
    bool LayOffOne() {
        const TCardList& h = game().YourHand;
        for (int i = 0; i < static_cast<int>(h.size()); ++i)
            for (const TCardList& meld : game().Melds)
                if (Game::CanLayOff(meld, Plain({h[i]})[0])) {
                    const size_t before = h.size();
                    Toggle(i);
                    Key(Qt::Key_M);
                    EXPECT_EQ(game().YourHand.size(), before - 1);
                    return true;
                }
        return false;
    }
};

}  // namespace

TEST_F(KeyboardTest, AWholeRoundPlayedWithKeysOnly) {
    Make([](MemorySettings& s) { s.WriteFlag("QuickPlay"); });
    DialogDriver driver({});  // every box answered with its first or only button
    SetRandSeed(20261208);
    window->StartGame();
    ASSERT_FALSE(window->keyboardCues());

    int turns = 0, melds = 0, layOffs = 0;
    while (turns < 80 && WaitForHumanDraw()) {
        ++turns;
        Key(Qt::Key_R);  // sorted by rank, as the right button does
        for (size_t i = 1; i < game().YourHand.size(); ++i)
            EXPECT_LE(game().YourHand[i - 1].Rank, game().YourHand[i].Rank);
        const size_t before = game().YourHand.size();
        if (turns == 1 && !game().DiscardPile.empty()) {
            // Up to the pile, its top card under the cursor, Space takes it.
            Key(Qt::Key_Up);
            Key(Qt::Key_End);
            EXPECT_EQ(window->pileCursor(), static_cast<int>(game().DiscardPile.size()) - 1);
            const TCard top = game().DiscardPile.back();
            Key(Qt::Key_Space);
            ASSERT_EQ(game().YourHand.size(), before + 1);
            EXPECT_EQ(game().YourHand.back().Rank, top.Rank);
            EXPECT_EQ(game().YourHand.back().Suit, top.Suit);
            Key(Qt::Key_Down);
        } else {
            Key(Qt::Key_S);
            if (!game().YourScores.empty()) break;  // the stock was empty
            ASSERT_EQ(game().YourHand.size(), before + 1);
        }
        ASSERT_EQ(game().TurnPhase, 2);
        EXPECT_TRUE(window->keyboardCues());
        while (game().YourHand.size() >= 3 && MeldATriple()) ++melds;
        while (!game().YourHand.empty() && LayOffOne()) ++layOffs;
        LowerAll();
        if (game().YourHand.empty()) continue;  // floating: the computer plays again
        // The highest card goes: End, Space, D.
        const size_t left = game().YourHand.size();
        Key(Qt::Key_End);
        Key(Qt::Key_Space);
        Key(Qt::Key_D);
        if (!game().YourScores.empty()) break;  // went out
        EXPECT_EQ(game().YourHand.size(), left - 1);
        EXPECT_FALSE(game().controls.Button2);
    }
    ASSERT_EQ(game().YourScores.size(), 1u) << "the round did not end after " << turns << " turns";
    EXPECT_GE(turns, 2);
    EXPECT_GT(melds + layOffs, 0) << "the keys never melded";
    bool report = false;
    for (const SeenDialog& d : driver.seen) {
        if (d.title == "Round Over") report = true;
        // Refusals would mean a key reached a handler at the wrong time or card.
        EXPECT_NE(d.icon, QMessageBox::Critical) << d.text.toStdString();
    }
    EXPECT_TRUE(report);
    // The mouse takes over: the focus marks go.
    QTest::mouseClick(window->areaWidget(Area::PaintBox3), Qt::LeftButton);
    EXPECT_FALSE(window->keyboardCues());
}

TEST_F(KeyboardTest, QuickPlayRunsTheDealAndTheComputerAtAQuarterAndIsStored) {
    Make();
    DialogDriver driver({});
    EXPECT_FALSE(window->quickPlay());
    EXPECT_FALSE(window->action("QuickPlay1")->isChecked());
    window->StartGame();
    ASSERT_TRUE(game().timers.Timer1);
    EXPECT_EQ(window->runningTimerInterval(TimerId::Timer1), 2048);
    window->action("QuickPlay1")->trigger();
    EXPECT_TRUE(store->Exists("QuickPlay"));
    EXPECT_EQ(window->runningTimerInterval(TimerId::Timer1), 512);
    window->Run([this] { game().SwitchTimer(TimerId::Timer4, true); });
    EXPECT_EQ(window->runningTimerInterval(TimerId::Timer4), 256);
    window->action("QuickPlay1")->trigger();
    EXPECT_FALSE(store->Exists("QuickPlay"));
    EXPECT_EQ(window->runningTimerInterval(TimerId::Timer1), 2048);
    EXPECT_EQ(window->runningTimerInterval(TimerId::Timer4), 1024);
    window->Run([this] { game().timers = Timers{}; });

    // A stored flag is read at start-up.
    window.reset();
    Make([](MemorySettings& s) { s.WriteFlag("QuickPlay"); });
    EXPECT_TRUE(window->action("QuickPlay1")->isChecked());
    window->Run([this] { game().SwitchTimer(TimerId::Timer1, true); });
    EXPECT_EQ(window->runningTimerInterval(TimerId::Timer1), 512);
}

TEST_F(KeyboardTest, StandardShortcutsAndEscapeClosingTheAuxiliaryWindows) {
    Make();
    EXPECT_EQ(window->action("NewGame1")->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(window->action("LoadGame1")->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(window->action("SaveGame1")->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(window->action("Exit1")->shortcut(), QKeySequence("Ctrl+Q"));
    EXPECT_EQ(window->action("FullScreen1")->shortcut(), QKeySequence(Qt::Key_F11));
    window->action("FullScreen1")->trigger();
    EXPECT_TRUE(window->isFullScreen());
    window->action("FullScreen1")->trigger();
    EXPECT_FALSE(window->isFullScreen());

    window->action("About1")->trigger();
    ASSERT_TRUE(window->aboutBox()->isVisible());
    QTest::keyClick(window->aboutBox(), Qt::Key_Escape);
    EXPECT_FALSE(window->aboutBox()->isVisible());

    window->action("Manual1")->trigger();
    THelp* help = window->helpViewer();
    ASSERT_TRUE(help->isVisible());
    QTest::keyClick(help, Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());

    window->action("CardDeck1")->trigger();
    QDialog* deck = window->cardDeckDialog();
    ASSERT_NE(deck, nullptr);
    ASSERT_TRUE(deck->isVisible());
    QTest::keyClick(deck, Qt::Key_Escape);
    EXPECT_FALSE(deck->isVisible());

    // Help > Keyboard Shortcuts lists the key map, and so does the manual.
    DialogDriver driver({});
    window->action("KeyboardShortcuts1")->trigger();
    ASSERT_EQ(driver.seen.size(), 1u);
    EXPECT_EQ(driver.seen[0].title, "Keyboard Shortcuts");
    QFile page(":/help/3.rtf");
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    QTextDocument doc;
    ASSERT_TRUE(ReadRtf(page.readAll(), doc));
    const QString manual = doc.toPlainText();
    for (const KeyBinding& k : TableKeyMap())
        EXPECT_TRUE(manual.contains(QString::fromUtf8(k.keys))) << k.keys;
}

TEST_F(KeyboardTest, SongsAndPicturesComeFromTheInstalledFolderWhenTheStartFolderHasNone) {
    QTemporaryDir installed;
    ASSERT_TRUE(QDir(installed.path()).mkpath("skelda/music"));
    ASSERT_TRUE(QDir(installed.path()).mkpath("skelda/wallpapers"));
    QFile song(installed.filePath("skelda/music/waltz.mid"));
    ASSERT_TRUE(song.open(QIODevice::WriteOnly));
    song.close();
    const QString data = installed.filePath("skelda");
    installedFolders = {installed.filePath("nothing-here"), data};
    Make();
    EXPECT_EQ(window->musicFolder(), data + "/music");
    EXPECT_EQ(window->wallpaperFolder(), data + "/wallpapers");

    // The folder the game starts in still comes first, as it always did.
    ASSERT_TRUE(QDir(dir.path()).mkpath("music"));
    EXPECT_EQ(window->musicFolder(), dir.filePath("music"));
    EXPECT_EQ(FindDataFolder("wallpapers", dir.path(), {}), dir.filePath("wallpapers"));

    // The installed folders: beside the program first, then the one it was built for.
    const QStringList folders = InstalledDataFolders();
    ASSERT_GE(folders.size(), 1);
    EXPECT_EQ(folders.front(),
              QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/skelda"));
    EXPECT_TRUE(folders.back().endsWith("/share/skelda"));
}

TEST_F(KeyboardTest, StatisticsDialogShowsTheRecordAndResetAsksFirst) {
    Make([](MemorySettings& s) {
        s.WriteNumber("StatsWon", 3);
        s.WriteNumber("StatsLost", 1);
        s.WriteText("StatsBestWin", "damaged");
        s.WriteNumber("GamesPlayed", 12);
    });
    QStringList shown;
    QTimer::singleShot(20, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Statistics");
        auto figure = [dialog](const char* name) {
            auto* l = dialog->findChild<QLabel*>(name);
            return l ? l->text() : QString("missing");
        };
        shown << figure("Played") << figure("Won") << figure("Win rate") << figure("Best");
        auto* reset = dialog->findChild<QPushButton*>("Reset");
        ASSERT_NE(reset, nullptr);
        {
            DialogDriver driver({"no"});
            reset->click();
            ASSERT_EQ(driver.seen.size(), 1u);
            EXPECT_EQ(driver.seen[0].text, "Reset the statistics?");
        }
        shown << figure("Won");
        {
            DialogDriver driver({"yes"});
            reset->click();
        }
        shown << figure("Won");
        dialog->reject();
    });
    window->action("Statistics1")->trigger();
    EXPECT_EQ(shown, (QStringList{"4", "3", "75%", "0", "3", "0"}));
    EXPECT_FALSE(store->Exists("StatsWon"));
    EXPECT_EQ(store->ReadNumber("GamesPlayed"), 12u);
}

// Enter, pressed as a new player would, never wipes the record: it closes the dialog,
// and at the Reset question it answers No.
TEST_F(KeyboardTest, EnterInStatisticsClosesAndTheResetQuestionDefaultsToNo) {
    Make([](MemorySettings& s) { s.WriteNumber("StatsWon", 3); });
    auto enter = [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return QString();
        const QString title = modal->windowTitle();
        QTest::keyClick(modal, Qt::Key_Return);
        return title;
    };
    QStringList closed, stray;
    // Whatever is still up a second later should not have been: it is noted and closed.
    QTimer watchdog;
    watchdog.setInterval(1000);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            stray << modal->windowTitle();
            modal->reject();
        }
    });
    watchdog.start();
    QTimer::singleShot(20, [&] { closed << enter(); });
    window->action("Statistics1")->trigger();
    watchdog.stop();
    EXPECT_EQ(closed, QStringList{"Statistics"});
    EXPECT_TRUE(stray.isEmpty()) << stray.join(", ").toStdString();
    EXPECT_EQ(store->ReadNumber("StatsWon"), 3u);

    QStringList answered;
    bool stillOpen = false;
    QTimer::singleShot(20, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QTimer::singleShot(20, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), "Reset the statistics?");
            EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
            answered << enter();
        });
        dialog->findChild<QPushButton*>("Reset")->click();
        stillOpen = dialog->isVisible();
        answered << enter();
    });
    window->action("Statistics1")->trigger();
    EXPECT_EQ(answered, (QStringList{"Skelda", "Statistics"}));
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(store->ReadNumber("StatsWon"), 3u);
}
