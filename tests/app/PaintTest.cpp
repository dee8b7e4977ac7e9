// What each area draws and where: recorded through the card canvas.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/Game.h"
#include "table/TablePaint.h"
#include "tools/cli/CliHost.h"

using namespace skelda;

namespace {

struct Call {
    std::string what;  // face, back, empty, cross, ahead, behind
    int x, y;
    int suit = -1, rank = -1;
};

class Recorder : public CardCanvas {
public:
    void Face(int x, int y, TCard c) override { calls.push_back({"face", x, y, c.Suit, c.Rank}); }
    void Back(int x, int y) override { calls.push_back({"back", x, y}); }
    void EmptySlot(int x, int y) override { calls.push_back({"empty", x, y}); }
    void StockEnd(int x, int y) override { calls.push_back({"cross", x, y}); }
    void FaceIcon(bool behind, int x, int y) override {
        calls.push_back({behind ? "behind" : "ahead", x, y});
    }
    void Mark(int x, int y) override { calls.push_back({"mark", x, y}); }
    void Note(int x, int y, const std::string& text) override {
        calls.push_back({"note", x, y});
        note = text;
    }
    std::vector<Call> calls;
    std::string note;
};

TCard C(uint8_t suit, uint8_t rank, uint8_t flags = 0) {
    return TCard{suit, rank, flags};
}

class PaintTest : public ::testing::Test {
protected:
    std::ostringstream out;
    CliHost host{out, std::make_unique<MemorySettings>(), "/tmp"};
    Game game{host};
    Recorder rec;
};

TEST_F(PaintTest, HandCardsStepSixteenAndSelectedOnesStandHigher) {
    for (uint8_t r = 0; r < 9; ++r) game.YourHand.push_back(C(r % 4, r));
    game.YourHand[2].Flags |= Selected;
    game.YourHand[8].Flags |= Selected;
    PaintHand(game, rec);
    ASSERT_EQ(rec.calls.size(), 9u);
    for (size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(rec.calls[i].x, 16 * static_cast<int>(i));
        EXPECT_EQ(rec.calls[i].y, (i == 2 || i == 8) ? 0 : 8) << i;
        EXPECT_EQ(rec.calls[i].rank, static_cast<int>(i));
    }
    // n cards span 16 (n - 1) + 71 pixels.
    EXPECT_EQ(rec.calls.back().x + CardWidth, 16 * 8 + 71);
}

TEST_F(PaintTest, MeldColumnsSitAtTheMeldsIndexInBothAreas) {
    // Meld 0: two of the computer's and one laid off by the human; meld 1 the computer's;
    // meld 2 the human's.
    game.Melds = {{C(0, 4), C(1, 4), C(2, 4, Yours)},
                  {C(3, 1), C(3, 2), C(3, 3)},
                  {C(2, 9, Yours), C(2, 10, Yours), C(2, 11, Yours)}};
    MeldView view;
    PaintMelds(game, rec, false, view);
    ASSERT_EQ(rec.calls.size(), 5u);
    EXPECT_EQ(rec.calls[0].x, 0);
    EXPECT_EQ(rec.calls[0].y, 0);
    EXPECT_EQ(rec.calls[1].x, 0);
    EXPECT_EQ(rec.calls[1].y, 16);
    for (int k = 2; k < 5; ++k) {
        EXPECT_EQ(rec.calls[k].x, 16);
        EXPECT_EQ(rec.calls[k].y, 16 * (k - 2));
    }
    rec.calls.clear();
    PaintMelds(game, rec, true, view);
    ASSERT_EQ(rec.calls.size(), 4u);
    EXPECT_EQ(rec.calls[0].x, 0);  // the lay-off, in the same column as its meld
    EXPECT_EQ(rec.calls[0].y, 0);
    for (int k = 1; k < 4; ++k) {
        EXPECT_EQ(rec.calls[k].x, 32);  // the third meld, although the human has only it
        EXPECT_EQ(rec.calls[k].y, 16 * (k - 1));
    }
}

TEST_F(PaintTest, EachMeldAreaHasItsOwnTallStep) {
    game.Melds = {{C(0, 4), C(1, 4), C(2, 4)}, {C(2, 1, Yours), C(2, 2, Yours), C(2, 3, Yours)}};
    MeldView view;
    view.expanded = 2;  // the human's area only
    PaintMelds(game, rec, true, view);
    ASSERT_EQ(rec.calls.size(), 3u);
    EXPECT_EQ(rec.calls[2].y, 64);
    rec.calls.clear();
    PaintMelds(game, rec, false, view);
    EXPECT_EQ(rec.calls[2].y, 32);
    view.expanded = 1;
    rec.calls.clear();
    PaintMelds(game, rec, false, view);
    EXPECT_EQ(rec.calls[2].y, 64);
}

TEST_F(PaintTest, HorizontalMeldsFormOneRowWithoutGaps) {
    game.Melds = {{C(0, 4), C(1, 4), C(2, 4)},
                  {C(2, 1, Yours), C(2, 2, Yours), C(2, 3, Yours)},
                  {C(3, 8), C(3, 9), C(3, 10), C(3, 11, Yours)}};
    MeldView view;
    view.horizontal = true;
    view.expanded = 3;  // no effect on a row
    PaintMelds(game, rec, false, view);
    ASSERT_EQ(rec.calls.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(rec.calls[i].x, 16 * static_cast<int>(i));
        EXPECT_EQ(rec.calls[i].y, 0);
    }
    rec.calls.clear();
    PaintMelds(game, rec, true, view);
    ASSERT_EQ(rec.calls.size(), 4u);
    EXPECT_EQ(rec.calls[3].x, 48);
    EXPECT_EQ(rec.calls[3].rank, 11);
}

TEST_F(PaintTest, StockShowsItsBacksOverTheCrossAndTheCrossAloneWhenEmpty) {
    game.NextCard = 15;
    PaintStock(game, rec);
    ASSERT_EQ(rec.calls.size(), 1u + 37u);
    EXPECT_EQ(rec.calls[0].what, "cross");
    EXPECT_EQ(rec.calls[0].x, 0);
    EXPECT_EQ(rec.calls[1].what, "back");
    EXPECT_EQ(rec.calls[37].x, 4 * 36);
    rec.calls.clear();
    game.NextCard = 52;
    PaintStock(game, rec);
    ASSERT_EQ(rec.calls.size(), 1u);
    EXPECT_EQ(rec.calls[0].what, "cross");
}

TEST_F(PaintTest, DiscardPileLiesOnTheDottedPlaceAndIsMarkedSeen) {
    PaintDiscards(game, rec);
    ASSERT_EQ(rec.calls.size(), 1u);
    EXPECT_EQ(rec.calls[0].what, "empty");
    rec.calls.clear();
    game.DiscardPile = {C(0, 0), C(2, 12), C(1, 5)};
    PaintDiscards(game, rec);
    ASSERT_EQ(rec.calls.size(), 4u);
    EXPECT_EQ(rec.calls[3].x, 32);
    EXPECT_EQ(rec.calls[3].y, 0);
    EXPECT_EQ(game.SeenCards[RankMajorIndex(C(2, 12))], 1);
    EXPECT_EQ(game.SeenCards[RankMajorIndex(C(1, 5))], 1);
    EXPECT_EQ(game.SeenCards[RankMajorIndex(C(3, 5))], 0);
}

TEST_F(PaintTest, ComputerHandFaceDownInPlayFaceUpAfterTheGame) {
    PaintOpponentHand(game, rec, 800);
    EXPECT_TRUE(rec.calls.empty()) << "an empty hand draws no cards and no face";

    game.OpponentHand = {C(0, 1), C(1, 2), C(2, 3)};
    game.RoundActive = true;
    PaintOpponentHand(game, rec, 800);
    ASSERT_EQ(rec.calls.size(), 4u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rec.calls[i].what, "back");
        EXPECT_EQ(rec.calls[i].x, 16 * i);
    }
    EXPECT_EQ(rec.calls[3].what, "ahead");
    EXPECT_EQ(rec.calls[3].x, 800 - 34);

    // A decided game: the hand turns up, and the face still compares the totals.
    rec.calls.clear();
    game.RoundActive = false;
    game.YourScores = {510};
    game.OpponentScores = {120};
    PaintOpponentHand(game, rec, 800);
    ASSERT_EQ(rec.calls.size(), 5u);
    EXPECT_EQ(rec.calls[0].what, "face");
    EXPECT_EQ(rec.calls[2].rank, 3);
    EXPECT_EQ(rec.calls[3].what, "ahead");
    EXPECT_EQ(rec.calls[4].what, "behind");
    EXPECT_EQ(rec.calls[4].x, 766);
}

TEST_F(PaintTest, FrowningFaceOnlyWhileTheHumanLeads) {
    game.OpponentHand = {C(0, 1)};
    game.YourScores = {30};
    game.OpponentScores = {30};
    PaintOpponentHand(game, rec, 500);
    EXPECT_EQ(rec.calls.back().what, "ahead");
    rec.calls.clear();
    game.OpponentScores = {29};
    PaintOpponentHand(game, rec, 500);
    EXPECT_EQ(rec.calls.back().what, "behind");
}

// What the computer did shows until the human acts: its new meld and its lay-off on the
// human's meld are marked in its own area, the cards it took are marked in its hand, and
// the line beside the pile starts past the top card.
TEST_F(PaintTest, TheComputersLastTurnIsMarkedAndNamedBesideThePile) {
    game.OpponentName = "LILA";
    game.RoundActive = true;
    game.Melds = {{C(2, 4, Yours), C(2, 5, Yours), C(2, 6, Yours), C(2, 7)},
                  {C(1, 6), C(1, 7), C(1, 8)}};
    game.OpponentHand = {C(0, 1), C(3, 12)};
    game.DiscardPile = {C(0, 3), C(0, 12)};
    ComputerTurnRecord& r = game.LastComputerTurn;
    r.recorded = true;
    r.taken = {C(1, 6), C(1, 7), C(3, 12)};
    r.melded = {{C(1, 6), C(1, 7), C(1, 8)}};
    r.laidOff = {C(2, 7)};
    r.discarded = true;
    r.discard = C(0, 12);
    PaintMelds(game, rec, false, MeldView{});
    std::vector<std::pair<int, int>> marks;
    for (const Call& c : rec.calls)
        if (c.what == "mark") marks.emplace_back(c.x, c.y);
    EXPECT_EQ(marks, (std::vector<std::pair<int, int>>{{0, 0}, {16, 0}, {16, 16}, {16, 32}}));
    rec.calls.clear();
    PaintMelds(game, rec, true, MeldView{});
    for (const Call& c : rec.calls) EXPECT_NE(c.what, "mark") << "the human's cards stay plain";
    rec.calls.clear();
    PaintOpponentHand(game, rec, 800);
    ASSERT_EQ(rec.calls.size(), 4u);
    EXPECT_EQ(rec.calls[2].what, "mark");
    EXPECT_EQ(rec.calls[2].x, 16) << "the King of Spades it took, face down";
    rec.calls.clear();
    PaintDiscards(game, rec);
    ASSERT_EQ(rec.calls.back().what, "note");
    EXPECT_EQ(rec.calls.back().x, 16 + 71 + 12);
    EXPECT_EQ(rec.note,
              "LILA took 3 cards from the pile, melded 7\u2666 8\u2666 9\u2666, laid off 8\u2665 "
              "and discarded the King of Clubs");
    // The round's result is up: the computer's hand lies face up.
    rec.calls.clear();
    game.RoundActive = false;
    PaintOpponentHand(game, rec, 800);
    EXPECT_EQ(rec.calls[0].what, "face");
}

// A column closes up to fit its area, keeps 16 and 32 while they fit, and folds into
// further columns, moving the later melds along in both areas alike.
TEST_F(PaintTest, ColumnsCloseUpOrFoldToStayInsideTheirArea) {
    EXPECT_EQ(FitColumn(7, 32, 400).step, 32);
    EXPECT_EQ(FitColumn(7, 32, 200).step, 17);  // (200 - 96) / 6
    EXPECT_EQ(FitColumn(7, 32, 200).rows, 7);
    EXPECT_EQ(FitColumn(7, 16, 192).step, 16);
    const ColumnFit folded = FitColumn(13, 16, 79);
    EXPECT_EQ(folded.step, 16);
    EXPECT_EQ(folded.rows, 4);  // the fourth index ends at 64, inside 79
    TCardList run;
    for (uint8_t r = 0; r < 13; ++r) run.push_back(C(2, r, Yours));
    game.Melds = {run, {C(0, 4), C(1, 4), C(3, 4)}};
    MeldView view;
    view.height[0] = 300;
    view.height[1] = 79;
    PaintMelds(game, rec, true, view);
    ASSERT_EQ(rec.calls.size(), 13u);
    EXPECT_EQ(rec.calls[4].x, 16);
    EXPECT_EQ(rec.calls[4].y, 0);
    EXPECT_EQ(rec.calls[12].x, 48);
    EXPECT_EQ(rec.calls[12].y, 0);
    rec.calls.clear();
    PaintMelds(game, rec, false, view);
    ASSERT_EQ(rec.calls.size(), 3u);
    EXPECT_EQ(rec.calls[0].x, 64) << "after the four columns of the folded run";
}

}  // namespace
