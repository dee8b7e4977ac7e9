// The Card Deck dialog and the table's card pictures, with decks that skelda-deck builds
// from plain-coloured pictures written here: Browse's verdicts, OK and Reset, the stored
// deck at start-up, and the deck's pixels on the table.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTest>

#include "DialogDriver.h"
#include "TableFixture.h"
#include "cards/CardPictures.h"
#include "game/Random.h"
#include "table/TCardDeckDlg.h"
#include "table/TableLayout.h"
#include "windows/LogWindow.h"

using namespace skelda;

namespace {

const QString NotFound = ": The specified resource name cannot be found in the image file.";

// Every picture one flat colour of its own, none of them in the built-in art.
QColor DeckColour(const QString& name) {
    const int i = static_cast<int>(RequiredPictureNames().indexOf(name));
    if (i >= 0 && i < 52) return QColor(200, 4 * i, 40);
    if (i >= 52 && i < 64) return QColor(20, 40 + 16 * (i - 52), 220);
    if (name == "CARD00") return QColor(250, 250, 0);
    if (name == "CARD01") return QColor(255, 0, 255);
    return QColor(0, 255, 255);  // CARD02
}

// How many pixels of the widget as drawn now have exactly this colour.
int Pixels(QWidget* w, const QColor& colour) {
    const QImage image = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour.rgb()) ++n;
    return n;
}

class DeckTest : public TableFixture {
protected:
    // A deck of every picture but those left out: a full one built by skelda-deck, one
    // that lacks pictures (which skelda-deck refuses to build) by llvm-rc and lld-link.
    QString MakeDeck(const QString& name, const QStringList& leftOut = {}) {
        const QString folder = dir.filePath(name + "-pictures");
        QDir().mkpath(folder);
        QStringList names = RequiredPictureNames();
        names << "CARD02";
        QByteArray rc;
        for (const QString& n : names) {
            if (leftOut.contains(n)) continue;
            QImage img(71, 96, QImage::Format_RGB32);
            img.fill(DeckColour(n));
            const QString file = n + (leftOut.isEmpty() ? ".png" : ".bmp");
            EXPECT_TRUE(img.save(folder + "/" + file));
            rc += n.toUtf8() + " BITMAP \"" + file.toUtf8() + "\"\n";
        }
        const QString out = dir.filePath(name + ".car");
        if (leftOut.isEmpty()) {
            Run(SKELDA_DECK_TOOL, {"build", folder, out}, folder);
        } else {
            QFile script(folder + "/deck.rc");
            EXPECT_TRUE(script.open(QIODevice::WriteOnly));
            script.write(rc);
            script.close();
            Run(SKELDA_LLVM_RC, {"/FO", "deck.res", "deck.rc"}, folder);
            Run(SKELDA_LLD_LINK, {"/DLL", "/NOENTRY", "/MACHINE:X86", "/OUT:" + out, "deck.res"},
                folder);
        }
        return out;
    }

    static void Run(const QString& program, const QStringList& args, const QString& folder) {
        QProcess tool;
        tool.setWorkingDirectory(folder);
        tool.setProcessChannelMode(QProcess::MergedChannels);
        tool.start(program, args);
        EXPECT_TRUE(tool.waitForFinished(60000)) << program.toStdString();
        EXPECT_EQ(tool.exitCode(), 0) << tool.readAll().toStdString();
    }

    TCardDeckDlg* Dialog() { return window->cardDeckDialog(); }

    // Browse to path; the message it showed, empty when it showed none.
    QString Browse(const QString& path) {
        DialogDriver driver({"file:" + path.toStdString(), "ok"});
        Dialog()->browseButton()->click();
        EXPECT_GE(driver.seen.size(), 1u);
        if (driver.seen.empty()) return "no file dialog";
        EXPECT_EQ(driver.seen[0].kind, "file");
        EXPECT_EQ(driver.seen[0].title, "Choose Deck");
        EXPECT_TRUE(driver.seen[0].text.contains("*.car *.dll"))
            << driver.seen[0].text.toStdString();
        if (driver.seen.size() < 2) return {};
        EXPECT_EQ(driver.seen[1].title, "Skelda");
        EXPECT_EQ(driver.seen[1].icon, QMessageBox::Critical);
        return driver.seen[1].text;
    }

    QWidget* Stock() { return window->areaWidget(Area::PaintBox5); }
    QWidget* Hand() { return window->areaWidget(Area::PaintBox4); }

    // The human to move with the Two of Clubs in hand and a stock to draw from.
    void HumansTurn() {
        Game& g = window->game();
        g.NoSound = true;
        g.NewDeck();
        g.NextCard = 20;
        g.YourHand = {TCard{0, 1, 0}};
        g.DiscardPile.clear();  // the empty place shows
        g.HumansTurn = true;
        g.SetTurnPhase(1);
        window->Run([] {});
    }
};

TEST_F(DeckTest, BrowseChecksEveryPictureAndKeepsThePreviewOnRefusal) {
    const QString noBack7 = MakeDeck("no-back7", {"BACK7"});
    const QString noCross = MakeDeck("no-cross", {"CARD01", "CARD02"});
    const QString noRing = MakeDeck("no-ring", {"CARD02"});
    QFile text(dir.filePath("letter.car"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("Dear player, this is no deck.\n");
    text.close();

    Make();
    window->CardDeck1Click();
    TCardDeckDlg* d = Dialog();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(d->windowTitle(), "Card Deck");
    EXPECT_EQ(d->size(), QSize(486, 267));
    EXPECT_EQ(d->scrollBar()->geometry(), QRect(0, 250, 486, 17));
    EXPECT_EQ(d->scrollBar()->maximum(), 11);
    EXPECT_TRUE(d->randomBack()->isChecked());
    EXPECT_TRUE(d->okButton()->isDefault());
    const CardSourcePtr builtIn = BuiltInCards();
    EXPECT_EQ(d->previewModule(), builtIn);

    EXPECT_TRUE(Browse(text.fileName()).contains("193"));
    EXPECT_EQ(d->previewModule(), builtIn);
    {
        DialogDriver driver({"ok"});
        EXPECT_FALSE(d->OpenPreview(dir.filePath("gone.car")));
        ASSERT_EQ(driver.seen.size(), 1u);
        EXPECT_TRUE(driver.seen[0].text.contains("cannot find the file"))
            << driver.seen[0].text.toStdString();
    }
    EXPECT_EQ(Browse(noBack7), "BACK7" + NotFound);
    // The cross is judged only after every face and back has loaded.
    EXPECT_EQ(Browse(noCross), "CARD01" + NotFound);
    EXPECT_EQ(d->previewModule(), builtIn);

    // The ring is not required. A deck in the preview is not on the table yet.
    EXPECT_EQ(Browse(noRing), "");
    ASSERT_TRUE(d->previewModule()->IsDeckFile());
    EXPECT_EQ(d->previewModule()->Path(), noRing);
    EXPECT_EQ(window->deckModule(), builtIn);
    EXPECT_FALSE(store->Exists("DeckFile"));
    // A refusal now keeps the deck previewed before it.
    EXPECT_EQ(Browse(noBack7), "BACK7" + NotFound);
    EXPECT_EQ(d->previewModule()->Path(), noRing);
}

TEST_F(DeckTest, OkPutsTheDeckOnThePlayableTableAndResetTakesItOff) {
    const QString deck = MakeDeck("deck");
    Make();
    HumansTurn();
    window->CardDeck1Click();
    TCardDeckDlg* d = Dialog();
    ASSERT_EQ(Browse(deck), "");

    // A chosen back.
    d->randomBack()->setChecked(false);
    d->scrollBar()->setValue(7);
    d->okButton()->click();
    EXPECT_TRUE(d->isVisible()) << "OK leaves the dialog open";
    EXPECT_EQ(store->ReadNumber("BackID"), 7u);
    EXPECT_EQ(store->ReadText("DeckFile", 1024), deck.toStdString());
    EXPECT_EQ(window->deckModule(), d->previewModule());
    EXPECT_EQ(window->game().BackID, 7);
    EXPECT_GT(Pixels(Stock(), DeckColour("BACK7")), 1000);
    EXPECT_GT(Pixels(Hand(), DeckColour("CARD11")), 5000);
    EXPECT_GT(Pixels(window->areaWidget(Area::PaintBox6), DeckColour("CARD00")), 5000);

    // The table plays while the dialog is up.
    QTest::mouseClick(Stock(), Qt::LeftButton, {}, QPoint(10, 40));
    EXPECT_EQ(window->game().YourHand.size(), 2u);

    // Random backs: each OK draws its own.
    uint32_t seed = 1, first = 0, second = 0;
    for (;; ++seed) {
        SetRandSeed(seed);
        first = Random(12);
        second = Random(12);
        if (first != second) break;
    }
    d->randomBack()->setChecked(true);
    SetRandSeed(seed);
    d->okButton()->click();
    EXPECT_FALSE(store->Exists("BackID"));
    EXPECT_EQ(window->game().BackID, first);
    EXPECT_GT(Pixels(Stock(), DeckColour(BackResourceName(int(first)))), 1000);
    d->okButton()->click();
    EXPECT_EQ(window->game().BackID, second);
    EXPECT_GT(Pixels(Stock(), DeckColour(BackResourceName(int(second)))), 1000);
    EXPECT_EQ(Pixels(Stock(), DeckColour(BackResourceName(int(first)))), 0);

    // Closed and opened again: the same preview and choices.
    d->scrollBar()->setValue(3);
    QTest::keyClick(d, Qt::Key_Escape);
    EXPECT_FALSE(d->isVisible());
    window->CardDeck1Click();
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->previewModule()->Path(), deck);
    EXPECT_EQ(d->scrollBar()->value(), 3);

    store->WriteNumber("BackID", 5);
    d->resetButton()->click();
    EXPECT_FALSE(store->Exists("DeckFile"));
    EXPECT_FALSE(store->Exists("BackID"));
    EXPECT_EQ(window->deckModule(), BuiltInCards());
    EXPECT_EQ(d->previewModule(), BuiltInCards());
    EXPECT_EQ(Pixels(Hand(), DeckColour("CARD11")), 0);
    EXPECT_EQ(Pixels(Stock(), DeckColour(BackResourceName(window->game().BackID))), 0);
    EXPECT_LT(window->game().BackID, 12);
}

TEST_F(DeckTest, StoredDeckOpensAtStartUpOrGivesWayToTheBuiltInCards) {
    const QString deck = MakeDeck("deck");
    const QString noBack7 = MakeDeck("no-back7", {"BACK7"});

    Make([&](MemorySettings& s) { s.WriteText("DeckFile", deck.toStdString()); });
    ASSERT_TRUE(window->deckModule()->IsDeckFile());
    EXPECT_EQ(window->deckModule()->Path(), deck);
    EXPECT_EQ(Dialog()->previewModule(), window->deckModule());
    EXPECT_GT(Pixels(Stock(), DeckColour(BackResourceName(window->game().BackID))), 1000);
    // OK without Browse: the same deck and the same stored path, only the back again.
    Dialog()->okButton()->click();
    EXPECT_EQ(window->deckModule()->Path(), deck);
    EXPECT_EQ(store->ReadText("DeckFile", 1024), deck.toStdString());

    // A path longer than the 260 bytes of a Windows path is read whole.
    const QString longDeck = MakeDeck(QString(200, 'x') + "/" + QString(100, 'y'));
    ASSERT_GT(longDeck.toUtf8().size(), 320);
    Make([&](MemorySettings& s) { s.WriteText("DeckFile", longDeck.toStdString()); });
    ASSERT_TRUE(window->deckModule()->IsDeckFile());
    EXPECT_EQ(window->deckModule()->Path(), longDeck);

    const QString gone = dir.filePath("gone.car");
    for (const QString& stored : {gone, noBack7}) {
        Make([&](MemorySettings& s) {
            s.WriteText("DeckFile", stored.toStdString());
            s.WriteNumber("BackID", 99);  // damaged: a random back instead
        });
        EXPECT_EQ(window->deckModule(), BuiltInCards()) << stored.toStdString();
        EXPECT_EQ(Dialog()->previewModule(), BuiltInCards());
        EXPECT_EQ(store->ReadText("DeckFile", 1024), stored.toStdString()) << "kept";
        EXPECT_LT(window->game().BackID, 12);
        const QStringList lines = window->logWindow().Text().split('\n');
        EXPECT_EQ(lines.filter(stored).size(), 1) << window->logWindow().Text().toStdString();
        if (stored == noBack7) {
            EXPECT_EQ(lines.filter("BACK7").size(), 1);
        }
    }
}

}  // namespace

// Faces drawn on clear ground, as a deck's 32-bit pictures may be: the table and the cards
// under them show through, and no pixel of the table is left undrawn, whatever the cards.
TEST_F(DeckTest, SeeThroughFacesShowWhatLiesUnderThem) {
    class Glass : public CardPictureSource {
        QImage Image(const QString&, QString&) const override {
            QImage img(CardWidth, CardHeight, QImage::Format_ARGB32);
            img.fill(Qt::transparent);
            for (int x = 0; x < CardWidth; ++x) img.setPixel(x, 0, qRgb(0, 0, 0));
            return img;
        }
        QString Path() const override { return {}; }
    };
    Make();
    for (const CardSourcePtr& deck : {BuiltInCards(), CardSourcePtr(std::make_shared<Glass>())}) {
        window->LoadCardImages(deck);
        Game& g = window->game();
        g.YourHand.clear();
        for (uint8_t r = 0; r < 13; ++r) g.YourHand.push_back(TCard{uint8_t(r % 4), r, 0});
        g.DiscardPile = {TCard{2, 2, 0}, TCard{0, 8, 0}};
        QWidget* table = window->centralWidget();
        QImage drawn(table->size(), QImage::Format_ARGB32_Premultiplied);
        drawn.fill(Qt::magenta);
        table->render(&drawn, QPoint(), QRegion(), QWidget::DrawChildren);
        int undrawn = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                undrawn += drawn.pixel(x, y) == qRgb(255, 0, 255);
        EXPECT_EQ(undrawn, 0) << (deck == BuiltInCards() ? "built-in" : "see-through");
    }
    // Under the see-through last card of the hand, the felt; beside the hand, the same felt.
    QWidget* hand = window->areaWidget(Area::PaintBox4);
    const QImage img = hand->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const qreal s = window->TableScale();
    const int x = qRound(s * (CardStep * 12 + CardWidth / 2)), y = qRound(s * 60);
    const QRgb under = img.pixel(x, y),
               beside = img.pixel(qRound(s * (CardStep * 14 + CardWidth)), y);
    EXPECT_LT(std::abs(qGreen(under) - qGreen(beside)), 16);
    EXPECT_LT(std::abs(qRed(under) - qRed(beside)), 16);
}
