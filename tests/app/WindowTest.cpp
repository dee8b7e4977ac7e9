// The main window on the offscreen platform: its areas, menu tree and check marks, the
// settings each command writes, the odds dialogs, the log, and the blocking model.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "DialogDriver.h"
#include "TableFixture.h"
#include "game/Random.h"
#include "table/TSkelda.h"
#include "table/TableLayout.h"
#include "windows/LogWindow.h"
#include "windows/QuitSignals.h"

using namespace skelda;

namespace {

QString Plain(QString caption) {
    return caption.remove(QLatin1Char('&'));
}

std::string Bytes(const std::string& s) {
    std::string out;
    for (unsigned char c : s) out += std::to_string(c) + " ";
    return out;
}

class WindowTest : public TableFixture {
protected:
    Game& game() { return window->game(); }
    void Trigger(const char* name) {
        QAction* a = window->action(QString::fromLatin1(name));
        ASSERT_NE(a, nullptr) << name;
        a->trigger();
    }
};

TEST_F(WindowTest, AreasFollowTheBandsOfTheClientArea) {
    Make();
    // At 100% the places are the logical ones themselves.
    Trigger("TableSize1001");
    for (QSize size : {QSize(1024, 768), QSize(1400, 1000)}) {
        window->resize(size);
        QCoreApplication::processEvents();
        const QWidget* table = window->centralWidget();
        ASSERT_DOUBLE_EQ(window->TableScale(), 1.0);
        const Bands b = FormResize(table->width(), table->height());
        EXPECT_EQ(window->areaWidget(Area::PaintBox1)->geometry(), b.paintBox1);
        EXPECT_EQ(window->group(1)->geometry(), b.groupBox1);
        EXPECT_EQ(window->group(4)->geometry(), b.groupBox4);
        EXPECT_EQ(window->group(2)->geometry(), b.groupBox2);
        EXPECT_EQ(window->group(3)->geometry(), b.groupBox3);
        EXPECT_EQ(window->statusLine()->geometry(), b.statusBar);
        EXPECT_EQ(window->areaWidget(Area::PaintBox5)->geometry(), StockArea(b.groupBox4));
        EXPECT_EQ(window->areaWidget(Area::PaintBox6)->geometry(), PileArea(b.groupBox4));
        EXPECT_EQ(window->areaWidget(Area::PaintBox4)->geometry(), InnerArea(b.groupBox3));
        // In a band too short for their own places the buttons rise to lie inside it.
        const int y = std::min(120, b.groupBox4.height() - 2 - 25);
        EXPECT_EQ(window->meldButton()->geometry(), QRect(8, y, 75, 25));
        EXPECT_EQ(window->discardButton()->geometry(), QRect(88, y, 75, 25));
    }
    // A window too small for 100%: the table is drawn as Fit, each place scaled.
    window->resize(700, 560);
    QCoreApplication::processEvents();
    const QSize client = window->centralWidget()->size();
    const qreal s = window->TableScale();
    EXPECT_DOUBLE_EQ(s, FitScale(client));
    EXPECT_LT(s, 1.0);
    const QSize logical = window->logicalSize();
    const Bands b = FormResize(logical.width(), logical.height());
    auto screen = [&](const QRect& r) { return ScreenRect(r, s, logical, client); };
    EXPECT_EQ(window->areaWidget(Area::PaintBox1)->geometry(), screen(b.paintBox1));
    EXPECT_EQ(window->group(4)->geometry(), screen(b.groupBox4));
    EXPECT_EQ(window->group(3)->geometry(), screen(b.groupBox3));
    EXPECT_EQ(window->statusLine()->geometry(), screen(b.statusBar));
    EXPECT_EQ(window->meldButton()->geometry(),
              screen(MeldButtonRect(b.groupBox4).translated(b.groupBox4.topLeft()))
                  .translated(-screen(b.groupBox4).topLeft()));
    EXPECT_EQ(window->windowTitle(), "Skelda");
    EXPECT_EQ(Plain(window->meldButton()->text()), "Meld");
    EXPECT_EQ(window->meldButton()->text(), "&Meld");
    EXPECT_EQ(window->discardButton()->text(), "&Discard");
}

// The menu tree as captions, submenus in brackets, check marks as "*".
QString Tree(const QList<QAction*>& actions) {
    QStringList parts;
    for (QAction* a : actions) {
        if (a->isSeparator()) continue;
        QString s = Plain(a->text());
        if (a->isChecked()) s += "*";
        if (a->menu()) s += " [" + Tree(a->menu()->actions()) + "]";
        parts << s;
    }
    return parts.join(", ");
}

TEST_F(WindowTest, MenuTreeWithCaptionsOrderAndFirstStartCheckMarks) {
    Make();
    EXPECT_EQ(Tree(window->menuBar()->actions()),
              "Game [New Game, Load Game, Save Game, Take Back, Online Top Ten Scores, Highest "
              "Score, Statistics, Exit], "
              "Options [Card Deck, Table Color, Table Picture, No Music, No Sound, Random Table "
              "Color, Show Log, AI Level [Easy(dumb), Medium*, Hard, Expert, Master, Behavior "
              "[Aggressive, "
              "Defensive, Balanced*], Random Odd Numbers [Pickup more than one card, Easy dumb "
              "moves]], Your Name, Show melds horizontally, Table Size [Fit to Window*, 100%, "
              "125%, 150%, 175%, 200%], Quick Play, Animations*, Four-Colour Suits, Large Indices], "
              "Help [Hint, About, Manual, Keyboard Shortcuts], Meld, Discard");
    EXPECT_EQ(window->action("Manual1")->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(window->tableColor(), QColor(0, 0x80, 0));
    EXPECT_FALSE(window->hasTablePicture());
}

TEST_F(WindowTest, CheckMarksMirrorTheStoredSettings) {
    Make([](MemorySettings& s) {
        s.WriteFlag("HorzMelds");
        s.WriteFlag("NoSound");
        s.WriteFlag("NoMusic");
        s.WriteNumber("TableColor", 0x01000000);
    });
    game().AILevel = 3;
    game().AIBehaviour = 2;
    window->Run([] {});  // the check marks follow the game after every operation
    const QString t = Tree(window->menuBar()->actions());
    EXPECT_TRUE(t.contains("No Music*, No Sound*, Random Table Color*")) << t.toStdString();
    EXPECT_TRUE(t.contains("Expert*, Master, Behavior [Aggressive, Defensive*, Balanced]"))
        << t.toStdString();
    EXPECT_TRUE(t.contains("Show melds horizontally*")) << t.toStdString();
    EXPECT_TRUE(window->meldView().horizontal);

    // Values outside the tables check none.
    game().AILevel = 7;
    game().AIBehaviour = 9;
    window->Run([] {});
    const QString none = Tree(window->menuBar()->actions());
    EXPECT_FALSE(none.contains("*, Behavior")) << none.toStdString();
    EXPECT_TRUE(
        none.contains("Easy(dumb), Medium, Hard, Expert, Master, Behavior [Aggressive, "
                      "Defensive, Balanced]"));
}

TEST_F(WindowTest, LevelsAndBehavioursStoreBothBytes) {
    Make();
    Trigger("Expert1");
    EXPECT_EQ(game().AILevel, 3);
    EXPECT_EQ(Bytes(store->ReadBytes("AIStyles").value_or("")), "1 3 ");
    EXPECT_TRUE(window->action("Expert1")->isChecked());
    EXPECT_FALSE(window->action("Medium1")->isChecked());
    Trigger("Defensive1");
    EXPECT_EQ(game().AIBehaviour, 2);
    EXPECT_EQ(Bytes(store->ReadBytes("AIStyles").value_or("")), "2 3 ");
    EXPECT_TRUE(window->action("Defensive1")->isChecked());
    EXPECT_FALSE(window->action("Balanced1")->isChecked());
    // Choosing the checked item again keeps it checked.
    Trigger("Expert1");
    EXPECT_TRUE(window->action("Expert1")->isChecked());
    Trigger("Easydumb1");
    EXPECT_EQ(Bytes(store->ReadBytes("AIStyles").value_or("")), "2 0 ");
    // Master, beyond Expert, is stored as 4.
    Trigger("Master1");
    EXPECT_EQ(game().AILevel, 4);
    EXPECT_EQ(Bytes(store->ReadBytes("AIStyles").value_or("")), "2 4 ");
    EXPECT_TRUE(window->action("Master1")->isChecked());
    EXPECT_FALSE(window->action("Expert1")->isChecked());
}

TEST_F(WindowTest, OnOffCommandsWriteAndDeleteTheirFlags) {
    Make();
    Trigger("NoSound1");
    EXPECT_TRUE(store->Exists("NoSound"));
    EXPECT_TRUE(game().NoSound);
    Trigger("NoSound1");
    EXPECT_FALSE(store->Exists("NoSound"));
    EXPECT_FALSE(game().NoSound);

    Trigger("NoMusic1");
    EXPECT_TRUE(store->Exists("NoMusic"));
    EXPECT_TRUE(window->action("NoMusic1")->isChecked());
    EXPECT_EQ(window->runningTimerInterval(TimerId::Timer3), 0);
    Trigger("NoMusic1");
    EXPECT_FALSE(store->Exists("NoMusic"));

    Trigger("Showmeldshorizontally1");
    EXPECT_TRUE(store->Exists("HorzMelds"));
    EXPECT_TRUE(window->meldView().horizontal);
    Trigger("Showmeldshorizontally1");
    EXPECT_FALSE(store->Exists("HorzMelds"));
    EXPECT_FALSE(window->meldView().horizontal);
}

TEST_F(WindowTest, RandomTableColourOnThenOff) {
    Make();
    SetRandSeed(99);
    Trigger("RandomTableColor1");
    EXPECT_EQ(store->ReadNumber("TableColor"), std::optional<uint32_t>(0x01000000u));
    const QColor random = window->tableColor();
    EXPECT_NE(random, QColor(0, 0x80, 0));
    Trigger("RandomTableColor1");
    EXPECT_FALSE(store->Exists("TableColor"));
    EXPECT_EQ(window->tableColor(), random);  // green again only at the next start
}

TEST_F(WindowTest, StoredRandomMarkerPicksAColourAtStart) {
    Make([](MemorySettings& s) { s.WriteNumber("TableColor", 0x000000FF); });
    EXPECT_EQ(window->tableColor(), QColor(255, 0, 0));
    EXPECT_FALSE(window->action("RandomTableColor1")->isChecked());
}

TEST_F(WindowTest, TableColourFromTheColourDialog) {
    Make();
    {
        DialogDriver driver({"cancel"});
        Trigger("ableColor1");
        EXPECT_EQ(driver.seen.size(), 1u);
    }
    EXPECT_FALSE(store->Exists("TableColor"));
    DialogDriver driver({"color:#3366cc"});
    Trigger("ableColor1");
    ASSERT_EQ(driver.seen.size(), 1u);
    EXPECT_EQ(driver.seen[0].kind, "color");
    EXPECT_EQ(window->tableColor(), QColor(0x33, 0x66, 0xcc));
    EXPECT_EQ(store->ReadNumber("TableColor"), std::optional<uint32_t>(0xcc6633u));
}

TEST_F(WindowTest, TablePictureIsStoredOnlyWhenItLoads) {
    ASSERT_TRUE(QDir(dir.path()).mkpath("wallpapers"));
    Make();
    QImage img(30, 20, QImage::Format_RGB32);
    img.fill(Qt::darkRed);
    const QString bmp = dir.filePath("felt.bmp");
    ASSERT_TRUE(img.save(bmp, "BMP"));
    const QString bad = dir.filePath("broken.jpg");
    {
        QFile f(bad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\xFF\xD8\xFF garbage");
    }
    {
        DialogDriver driver({"file:" + bad.toStdString(), "ok"});
        Trigger("ablePicture1");
        ASSERT_EQ(driver.seen.size(), 2u);
        EXPECT_EQ(driver.seen[0].kind, "file");
        EXPECT_EQ(driver.seen[0].title, "Choose Wallpaper");
        EXPECT_EQ(driver.seen[0].value, QDir(dir.filePath("wallpapers")).absolutePath());
        EXPECT_TRUE(driver.seen[0].text.startsWith("All (*.jpg *.jpeg *.bmp *.emf *.wmf)"));
        EXPECT_EQ(driver.seen[1].icon, QMessageBox::Critical);
        EXPECT_EQ(driver.seen[1].title, "Skelda");
        EXPECT_FALSE(driver.seen[1].text.isEmpty());
    }
    EXPECT_FALSE(store->Exists("Wallpaper"));
    EXPECT_FALSE(window->hasTablePicture());
    {
        DialogDriver driver({"file:" + bmp.toStdString()});
        Trigger("ablePicture1");
    }
    EXPECT_EQ(store->ReadText("Wallpaper", 261), std::optional<std::string>(bmp.toStdString()));
    EXPECT_TRUE(window->hasTablePicture());
    {
        // With a picture stored, "No" to the reset changes nothing.
        DialogDriver driver({"no"});
        Trigger("ablePicture1");
        ASSERT_EQ(driver.seen.size(), 1u);
        EXPECT_EQ(driver.seen[0].text, "Reset wallpaper?");
        EXPECT_EQ(driver.seen[0].icon, QMessageBox::Question);
        EXPECT_EQ(driver.seen[0].buttons, QMessageBox::Yes | QMessageBox::No);
    }
    EXPECT_TRUE(store->Exists("Wallpaper"));
    {
        DialogDriver driver({"yes", "cancel"});
        Trigger("ablePicture1");
        EXPECT_EQ(driver.seen.size(), 2u);
    }
    EXPECT_FALSE(store->Exists("Wallpaper"));
    EXPECT_FALSE(window->hasTablePicture());
}

TEST_F(WindowTest, UnreadableStoredPictureFallsBackToTheColourAndSaysSoOnce) {
    Make([this](MemorySettings& s) {
        s.WriteText("Wallpaper", dir.filePath("gone.jpg").toStdString());
    });
    EXPECT_FALSE(window->hasTablePicture());
    DialogDriver driver({});
    window->StartGame();
    int notices = 0;
    for (const SeenDialog& d : driver.seen)
        if (d.text.contains("gone.jpg")) ++notices;
    EXPECT_EQ(notices, 1);
    EXPECT_TRUE(store->Exists("Wallpaper")) << "the stored choice is left for the player";
    window->StartGame();  // runs once
}

// Every kind the dialog offers, through the menu: a damaged file of each kind is an error
// box with the reader's reason and stores nothing; good metafiles of both kinds load and
// are stored; at start-up a stored metafile that cannot be read leaves the table colour.
TEST_F(WindowTest, EveryPictureKindLoadsOrIsRefusedThroughTheMenu) {
    ASSERT_TRUE(QDir(dir.path()).mkpath("wallpapers"));
    Make();
    const QString data = QStringLiteral(SKELDA_APP_TEST_DATA "/data/");
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return dir.filePath(name);
    };
    const auto read = [](const QString& path) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    };
    const QByteArray jpeg =
        read(QStringLiteral(SKELDA_APP_TEST_DATA "/../../fuzz/corpus/table_jpeg/progressive.jpg"));
    const struct {
        QString path;
        const char* says;
    } bad[] = {
        {write("cut.emf", read(data + "shapes.emf").left(200)), "cut short"},
        {write("noise.wmf", QByteArray(300, char(0x5A))), "not a Windows metafile"},
        {write("cut.jpg", jpeg.left(jpeg.size() / 2)), "Premature end of JPEG file"},
        {write("noise.bmp", "BM" + QByteArray(100, char(0x33))), "Bitmap image is not valid"},
    };
    const auto choose = [&](const QString& path, bool stored) {
        std::vector<std::string> answers;
        if (stored) answers.push_back("yes");
        answers.push_back("file:" + path.toStdString());
        answers.push_back("ok");
        DialogDriver driver(answers);
        Trigger("ablePicture1");
        return driver.seen;
    };
    for (const auto& b : bad) {
        SCOPED_TRACE(b.path.toStdString());
        const std::vector<SeenDialog> seen = choose(b.path, false);
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_EQ(seen[1].icon, QMessageBox::Critical);
        EXPECT_TRUE(seen[1].text.startsWith(QFileInfo(b.path).fileName() +
                                            " cannot be read as a picture: "))
            << seen[1].text.toStdString();
        EXPECT_TRUE(seen[1].text.contains(QLatin1String(b.says))) << seen[1].text.toStdString();
        EXPECT_FALSE(store->Exists("Wallpaper"));
        EXPECT_FALSE(window->hasTablePicture());
    }
    for (const char* name : {"shapes.emf", "shapes.wmf"}) {
        const bool stored = store->Exists("Wallpaper");
        const std::vector<SeenDialog> seen = choose(data + name, stored);
        EXPECT_EQ(seen.size(), stored ? 2u : 1u) << "no error box for " << name;
        EXPECT_EQ(store->ReadText("Wallpaper", 261),
                  std::optional<std::string>((data + name).toStdString()));
        EXPECT_TRUE(window->hasTablePicture());
    }
    // With a picture stored, "Yes" to the reset and then a damaged file: the reset stands,
    // the damaged file is not stored.
    const std::vector<SeenDialog> seen = choose(bad[1].path, true);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[2].icon, QMessageBox::Critical);
    EXPECT_FALSE(store->Exists("Wallpaper"));

    window.reset();
    Make([&](MemorySettings& s) { s.WriteText("Wallpaper", bad[0].path.toStdString()); });
    EXPECT_FALSE(window->hasTablePicture());
    DialogDriver driver({});
    window->StartGame();
    int notices = 0;
    for (const SeenDialog& d : driver.seen)
        if (d.text.contains("cut.emf cannot be read as a picture")) ++notices;
    EXPECT_EQ(notices, 1);
    EXPECT_TRUE(store->Exists("Wallpaper"));
}

TEST_F(WindowTest, OddsDialogsRepeatUntilTheRangeIsMet) {
    Make();
    const char* range = "The range must be a whole number between 2 and 2147483647";
    {
        DialogDriver driver(
            {"text:1", "ok", "text:abc", "ok", "text:", "ok", "text:2147483648", "ok", "text:5"});
        Trigger("Pickupmorethanonecard1");
        ASSERT_EQ(driver.seen.size(), 9u);
        EXPECT_EQ(driver.seen[0].kind, "input");
        EXPECT_EQ(driver.seen[0].title, "Pickup more than one card");
        EXPECT_EQ(driver.seen[0].text,
                  "Enter the maximum random number.\nSmaller number means more of a chance the "
                  "computer does this action");
        EXPECT_EQ(driver.seen[0].value, "2147483647");
        for (int k : {1, 3, 5, 7}) {
            EXPECT_EQ(driver.seen[k].text, range);
            EXPECT_EQ(driver.seen[k].title, "Skelda");
            EXPECT_EQ(driver.seen[k].icon, QMessageBox::Critical);
        }
    }
    EXPECT_EQ(game().OddPickup, 5u);
    EXPECT_EQ(store->ReadNumber("OddPickup"), std::optional<uint32_t>(5u));
    {
        DialogDriver driver({"text:2147483647"});
        Trigger("Easydumbmoves1");
        ASSERT_EQ(driver.seen.size(), 1u);
        EXPECT_EQ(driver.seen[0].title, "Easy dumb moves");
    }
    EXPECT_EQ(store->ReadNumber("OddEasy"), std::optional<uint32_t>(2147483647u));
    {
        // Cancel keeps the current value and stores it again.
        DialogDriver driver({"cancel"});
        Trigger("Pickupmorethanonecard1");
    }
    EXPECT_EQ(store->ReadNumber("OddPickup"), std::optional<uint32_t>(5u));
}

TEST_F(WindowTest, YourNameIsStored) {
    Make();
    DialogDriver driver({"text:Ada Lovelace"});
    Trigger("YourName1");
    ASSERT_EQ(driver.seen.size(), 1u);
    EXPECT_EQ(driver.seen[0].title, "Change Username");
    EXPECT_EQ(driver.seen[0].text, "Enter your new name");
    EXPECT_EQ(game().PlayerName, "Ada Lovelace");
    EXPECT_EQ(store->ReadText("Username", 256), std::optional<std::string>("Ada Lovelace"));
}

TEST_F(WindowTest, LogHidesAtTheFirstTickAndShowLogBringsItBack) {
    Make();
    EXPECT_TRUE(window->logWindow().isVisible());
    EXPECT_EQ(window->logWindow().windowTitle(), "Skelda Log");
    window->Timer2Timer();
    EXPECT_FALSE(window->logWindow().isVisible());
    EXPECT_TRUE(window->logConsoleHidden());
    EXPECT_EQ(window->logWindow().windowHandle(), nullptr) << "hidden, it gives its window back";
    window->LogLine(" - You discarded a 7 Of Hearts");
    EXPECT_TRUE(window->logWindow().Text().endsWith(" - You discarded a 7 Of Hearts"));
    EXPECT_TRUE(window->logWindow().Text().startsWith(LogTimeStamp().left(4)));
    Trigger("ShowLog1");
    Trigger("ShowLog1");
    EXPECT_TRUE(window->logWindow().isVisible());
    EXPECT_TRUE(window->action("ShowLog1")->isChecked());
    window->Timer2Timer();
    EXPECT_TRUE(window->logWindow().isVisible()) << "a log the player showed stays";
}

TEST_F(WindowTest, StatusLineAndCaptionsFromTheStatusTimer) {
    Make();
    Game& g = game();
    g.OpponentName = "MARY";
    g.RoundNumber = 2;
    g.YourScores = {35};
    g.OpponentScores = {20};
    g.NextCard = 30;
    g.DiscardPile = {TCard{0, 3, 0}, TCard{1, 4, 0}};
    g.StatusPrompt = "Your turn, please draw or pickup discard";
    g.GroupBox1Caption = "MARY Melds";
    window->Run([] {});
    EXPECT_EQ(window->group(1)->caption(), "MARY Melds");
    window->Timer2Timer();
    EXPECT_EQ(window->statusLine()->text(),
              "Round: 2, You: 35, MARY: 20, 0 points for this round, MARY melded 0 points - Song:  "
              "Your turn, please draw or pickup discard");
    EXPECT_EQ(window->group(1)->caption(), "MARY's Melds");
    EXPECT_EQ(window->group(4)->caption(), "Draw: 22, Discard: 2");
    EXPECT_EQ(window->group(2)->caption(), "Your Melds");
    EXPECT_EQ(window->group(3)->caption(), "Your Hand");
}

// The deal names the computer's meld area its own way at every round; the status tick
// puts the usual caption back.
TEST_F(WindowTest, EveryDealCaptionsTheComputersMeldsUntilTheNextTick) {
    Make();
    Game& g = game();
    g.NoSound = true;
    g.OpponentName = "MARY";
    for (int round = 1; round <= 2; ++round) {
        window->Run([&] { g.NewRound(); });
        EXPECT_EQ(window->group(1)->caption(), "MARY Melds") << "round " << round;
        window->Timer2Timer();
        EXPECT_EQ(window->group(1)->caption(), "MARY's Melds") << "round " << round;
        window->Run([] {});
        EXPECT_EQ(window->group(1)->caption(), "MARY's Melds") << "another operation keeps it";
    }
    g.SwitchTimer(TimerId::Timer1, false);
}

// Switching the music off stops the song; the status line still names the last one.
TEST_F(WindowTest, NoMusicKeepsTheLastSongInTheStatusLine) {
    ASSERT_TRUE(QDir(dir.path()).mkpath("music"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(SKELDA_APP_TEST_DATA "/../../music/waltz.mid"),
                            dir.filePath("music/waltz.mid")));
    qputenv("SDL_AUDIODRIVER", "dummy");
    audio = true;
    Make();
    window->StartGame();  // the device and the first song come with the game
    game().timers = Timers{};
    if (window->currentSong().isEmpty()) GTEST_SKIP() << "no sound device to play a song";
    EXPECT_EQ(window->currentSong(), "waltz.mid");
    Trigger("NoMusic1");
    EXPECT_EQ(window->runningTimerInterval(TimerId::Timer3), 0);
    window->Timer2Timer();
    EXPECT_TRUE(window->statusLine()->text().contains(" - Song: waltz "))
        << window->statusLine()->text().toStdString();
    Trigger("NoMusic1");
    EXPECT_EQ(window->currentSong(), "waltz.mid") << "the one song again, started at once";
    EXPECT_GT(window->runningTimerInterval(TimerId::Timer3), 2048);
}

TEST_F(WindowTest, ClicksGoToTheAreasThatAcceptThem) {
    Make();
    Game& g = game();
    g.NoSound = true;
    g.NewDeck();
    g.NextCard = 20;
    g.YourHand = {TCard{0, 1, 0}, TCard{1, 2, 0}, TCard{2, 3, 0}};
    g.DiscardPile = {TCard{3, 4, 0}};
    g.HumansTurn = true;
    g.SetTurnPhase(1);
    window->Run([] {});
    QWidget* hand = window->areaWidget(Area::PaintBox4);
    QTest::mouseClick(hand, Qt::LeftButton, {}, QPoint(20, 40));
    EXPECT_TRUE(g.YourHand[1].Flags & Selected);
    QTest::mouseClick(window->areaWidget(Area::PaintBox5), Qt::LeftButton, {}, QPoint(10, 40));
    EXPECT_EQ(g.YourHand.size(), 4u);
    EXPECT_EQ(g.TurnPhase, 2);
    EXPECT_TRUE(window->discardButton()->isEnabled());

    // Out of turn the stock is switched off: the click reaches the band, which only
    // refuses with a sound, and changes nothing.
    g.HumansTurn = false;
    g.SetTurnPhase(0);
    window->Run([] {});
    DialogDriver driver({});
    QTest::mouseClick(window->areaWidget(Area::PaintBox5), Qt::LeftButton, {}, QPoint(10, 40));
    QTest::mouseClick(window->areaWidget(Area::PaintBox4), Qt::LeftButton, {}, QPoint(2, 40));
    EXPECT_EQ(g.YourHand.size(), 4u);
    EXPECT_FALSE(g.YourHand[0].Flags & Selected);
    EXPECT_TRUE(driver.seen.empty());
}

TEST_F(WindowTest, MeldAreaClicksSwitchTheirOwnStep) {
    Make();
    QTest::mouseClick(window->areaWidget(Area::PaintBox3), Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(window->meldView().expanded, 2);
    QTest::mouseClick(window->areaWidget(Area::PaintBox2), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(window->meldView().expanded, 3);
    QTest::mouseClick(window->areaWidget(Area::PaintBox3), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(window->meldView().expanded, 1);
    EXPECT_FALSE(store->Exists("ExpandedMeldViews"));
}

TEST_F(WindowTest, WinAnimationScattersCardsUntilTheWholeTableIsRepainted) {
    Make();
    game().timers.Timer5 = true;
    window->Timer5Timer();
    window->Timer5Timer();
    ASSERT_EQ(window->scatterLayer()->cards().size(), 2u);
    const auto& c = window->scatterLayer()->cards()[0];
    EXPECT_LT(c.x, window->centralWidget()->width());
    EXPECT_LT(c.y, window->centralWidget()->height());
    window->Repaint(Area::PaintBox4);
    EXPECT_EQ(window->scatterLayer()->cards().size(), 2u);
    window->Repaint(Area::All);
    EXPECT_TRUE(window->scatterLayer()->cards().empty());
}

TEST_F(WindowTest, TicksWaitForTheOperationThatRuns) {
    Make();
    Game& g = game();
    g.NoSound = true;
    g.NewDeck();
    g.NextCard = 0;
    int dealtDuringPause = -1;
    window->Run([&] {
        g.SwitchTimer(TimerId::Timer1, true);
        window->Pause(2300);  // a deal tick falls due meanwhile
        dealtDuringPause = g.NextCard;
    });
    EXPECT_EQ(dealtDuringPause, 0) << "no tick ran inside the operation";
    EXPECT_EQ(g.NextCard, 2) << "the tick that fell due ran right after it";
    g.SwitchTimer(TimerId::Timer1, false);
}

TEST_F(WindowTest, CloseRequestWaitsForTheOperation) {
    Make();
    DialogDriver driver({"no", "no"});
    bool visibleAfterRequest = false;
    window->Run([&] {
        window->close();
        visibleAfterRequest = window->isVisible();
    });
    EXPECT_TRUE(visibleAfterRequest);
    EXPECT_FALSE(window->isVisible()) << "the close went through once the operation ended";
}

TEST_F(WindowTest, FailedSaveKeepsTheOldFile) {
    Make();
    const std::string path = dir.filePath("data/x.sav").toStdString();
    std::string error;
    ASSERT_TRUE(window->WriteFile(path, "first", error));
    EXPECT_EQ(window->ReadFile(path), std::optional<std::string>("first"));
    EXPECT_FALSE(window->WriteFile(dir.filePath("data/x.sav/inner").toStdString(), "x", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(window->ReadFile(path), std::optional<std::string>("first"));
    EXPECT_TRUE(window->RemoveFile(path));
    EXPECT_FALSE(window->FileExists(path));
}

}  // namespace

namespace {

TEST_F(WindowTest, ClosingTheLogAsksTheTableToClose) {
    Make();
    DialogDriver driver({"no", "no"});
    ASSERT_TRUE(window->logWindow().isVisible());
    window->logWindow().close();
    EXPECT_TRUE(window->logWindow().isVisible()) << "the log itself stays";
    EXPECT_TRUE(window->isVisible()) << "the request goes through the event loop";
    for (int i = 0; i < 50 && window->isVisible(); ++i) QTest::qWait(10);
    EXPECT_FALSE(window->isVisible()) << "the close query ran and let the table close";
}

TEST_F(WindowTest, WithoutSongsOrASoundDeviceTheMusicStaysSilent) {
    Make();
    EXPECT_TRUE(window->currentSong().isEmpty());
    EXPECT_EQ(window->runningTimerInterval(TimerId::Timer3), 0);
    EXPECT_EQ(window->runningTimerInterval(TimerId::Timer2), 255);
}

// SIGINT asks (the close query); SIGTERM and SIGHUP cannot wait for an answer.
TEST(QuitSignals, SignalsBecomeRequestsOnTheEventLoop) {
    QuitSignals quit;
    ASSERT_TRUE(quit.ok());
    int closes = 0, shutDowns = 0;
    QObject::connect(&quit, &QuitSignals::closeRequested, [&] { ++closes; });
    QObject::connect(&quit, &QuitSignals::shutDownRequested, [&] { ++shutDowns; });
    raise(SIGINT);
    EXPECT_EQ(closes, 0) << "nothing happens inside the signal handler";
    for (int i = 0; i < 100 && closes == 0; ++i) QTest::qWait(10);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(shutDowns, 0);
    for (int sig : {SIGTERM, SIGHUP}) {
        shutDowns = 0;
        raise(sig);
        for (int i = 0; i < 100 && shutDowns == 0; ++i) QTest::qWait(10);
        EXPECT_EQ(shutDowns, 1) << sig;
    }
    // Both at once: the shut-down wins, since nobody may be there to answer.
    shutDowns = closes = 0;
    raise(SIGINT);
    raise(SIGTERM);
    for (int i = 0; i < 100 && shutDowns == 0; ++i) QTest::qWait(10);
    EXPECT_EQ(shutDowns, 1);
    EXPECT_EQ(closes, 0);
}

}  // namespace

namespace {

// The widget really draws what the canvas calls say: a selected card reaches the top edge
// of the hand area, an unselected one leaves 8 pixels of table above it.
TEST_F(WindowTest, HandAreaShowsSelectedCardsRaised) {
    Make();
    Game& g = game();
    g.YourHand = {TCard{2, 9, Selected}, TCard{0, 4, 0}};
    const QImage img = window->areaWidget(Area::PaintBox4)->grab().toImage();
    auto isCard = [&](int x, int y) { return img.pixelColor(x, y).red() > 170; };
    EXPECT_TRUE(isCard(8, 4)) << "the selected card starts at the top";
    // Past the first card's 71 pixels only the second card can show.
    EXPECT_FALSE(isCard(78, 4)) << "table above the lowered card";
    EXPECT_TRUE(isCard(78, 16)) << "the lowered card below it";
    EXPECT_FALSE(isCard(16 + 71 + 10, 40)) << "nothing past the last card";
}

}  // namespace
