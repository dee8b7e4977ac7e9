// The computer's discard: every hand card but the one obtained this turn is scored by
// the level's measure and the highest goes; emptying the hand goes out.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "game/Game.h"
#include "game/Random.h"

namespace skelda {

namespace {

// The interest counters come from saved games too; wide sums keep absurd values from
// overflowing, and the result is held to the int range.
int Clamp(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

int Game::SeenScore(TCard x) const {
    if (x.Rank >= 13 || x.Suit >= 4) return 0;
    int marked = 0;
    for (int s = 0; s < 4; ++s) marked += SeenCards[x.Rank * 4 + s] ? 1 : 0;
    return (marked >= 2 ? 20 : 0) + (SeenCards[RankMajorIndex(x)] ? 0 : 5);
}

int Game::DiscardScore(TCard x) const {
    int sameRank = 0;
    int near = 0;
    for (const TCard& h : OpponentHand) {
        if (SameCard(h, x)) continue;
        if (h.Rank == x.Rank) ++sameRank;
        if (h.Suit != x.Suit) continue;
        if (std::abs(RunValue(h, false) - RunValue(x, false)) <= 2) ++near;
        if (std::abs(RunValue(h, true) - RunValue(x, true)) <= 2) ++near;
    }
    int64_t score = 2 * CardValue(x) - 15 * sameRank - 7 * near;
    if (x.Rank == 1 || x.Rank == 2 || x.Rank == 11 || x.Rank == 12) score += 3;
    score += 10 * static_cast<int64_t>(RankInterest[x.Rank % 13]);
    score += 5 * static_cast<int64_t>(SuitInterest[x.Suit % 4]);
    score -= SeenScore(x);
    if (AIBehaviour == 0) score -= 5;
    if (AIBehaviour == 2) score += 5;
    return Clamp(score);
}

void Game::ComputerDiscard(TCard obtained) {
    if (OpponentHand.empty()) return;  // floating: nothing to throw

    // The first card that may be chosen at all, so that the obtained card stays in the
    // hand even when every other card scores at the floor.
    size_t best = 0;
    while (best < OpponentHand.size() && SameCard(OpponentHand[best], obtained)) ++best;
    if (best == OpponentHand.size()) best = 0;

    int64_t max = -999;
    for (size_t i = 0; i < OpponentHand.size(); ++i) {
        const TCard y = OpponentHand[i];
        if (SameCard(y, obtained)) continue;
        int64_t s = 0;
        switch (AILevel) {
            case 0: s = CardValue(y); break;
            case 2: s = int64_t{DiscardScore(y)} - SeenScore(y); break;
            case 3:
                s = int64_t{DiscardScore(y)} - SeenScore(y) -
                    10 * int64_t{RankInterest[y.Rank % 13]};
                break;
            default: s = DiscardScore(y); break;
        }
        // Only a strictly higher score wins: among equals the earliest card goes.
        if (s > max) {
            max = s;
            best = i;
        }
    }
    if (AILevel == 0 && OddChance(OddEasy))
        best = Random(static_cast<uint32_t>(OpponentHand.size()));

    TCard card = OpponentHand[best];
    // The pickup's obligation ends when the card leaves the hand that took it.
    card.Flags &= ~MustMeld;
    AppendCard(DiscardPile, card);
    LastComputerTurn.discarded = true;
    LastComputerTurn.discard = card;
    WriteLog(OpponentName + " discarded a " + CardName(card, " Of "));
    OpponentHand = RemoveCard(OpponentHand, card);

    if (!OpponentHand.empty()) return;
    WriteLog(OpponentName + " went out");
    if (!EndRound(ComputerWentOut)) NewRound();
}

}  // namespace skelda
