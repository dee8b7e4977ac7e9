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
    std::vector<Call> calls;
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

}  // namespace
