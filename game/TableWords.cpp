#include "game/TableWords.h"

#include <algorithm>

namespace skelda {

namespace {

const char* const kSpokenRanks[13] = {"Ace",   "Two",  "Three", "Four", "Five",  "Six", "Seven",
                                      "Eight", "Nine", "Ten",   "Jack", "Queen", "King"};

std::string Count(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string Join(const std::vector<std::string>& parts, const char* between) {
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : between) + p;
    return out;
}

TCardList SidePart(const TCardList& meld, bool yours) {
    TCardList part;
    for (const TCard& c : meld)
        if (((c.Flags & Yours) != 0) == yours) part.push_back(c);
    return part;
}

}  // namespace

std::string SpokenRank(int rank) {
    return kSpokenRanks[((rank % 13) + 13) % 13];
}

std::string SpokenRanks(int rank) {
    const std::string one = SpokenRank(rank);
    return one == "Six" ? "Sixes" : one + "s";
}

std::string SpokenCard(TCard card) {
    return SpokenRank(card.Rank) + " of " + SuitNames[card.Suit % 4];
}

std::string SpokenCards(const TCardList& cards) {
    std::vector<std::string> names;
    for (const TCard& c : cards) names.push_back(SpokenCard(c));
    return Join(names, ", ");
}

std::string SpokenMeld(const TCardList& cards) {
    if (Game::IsSet(cards)) return "Set of " + SpokenRanks(cards[0].Rank);
    if (Game::IsRun(cards)) {
        // In the order a player reads the run: the Ace high only above a King.
        const bool aceHigh =
            std::any_of(cards.begin(), cards.end(), [](TCard c) { return c.Rank == King; });
        TCardList run = cards;
        std::stable_sort(run.begin(), run.end(), [aceHigh](TCard a, TCard b) {
            return RunValue(a, aceHigh) < RunValue(b, aceHigh);
        });
        std::vector<std::string> ranks;
        for (const TCard& c : run) ranks.push_back(SpokenRank(c.Rank));
        return "Run: " + Join(ranks, ", ") + " of " + SuitNames[run[0].Suit % 4];
    }
    return SpokenCards(cards);
}

std::vector<size_t> SideMelds(const Game& game, bool yours) {
    std::vector<size_t> out;
    for (size_t m = 0; m < game.Melds.size(); ++m)
        if (!SidePart(game.Melds[m], yours).empty()) out.push_back(m);
    return out;
}

std::string SideMeldWords(const TCardList& meld, bool yours) {
    const TCardList part = SidePart(meld, yours);
    std::string words = SpokenMeld(part);
    if (part.size() != meld.size()) words += " (in " + SpokenMeld(meld) + ")";
    return words;
}

std::string StockWords(const Game& game) {
    const int n = std::clamp(52 - game.NextCard, 0, 52);
    return n == 0 ? "Stock, empty" : "Stock, " + Count(n, "card", "cards");
}

std::string PileWords(const Game& game) {
    const size_t n = game.DiscardPile.size();
    return n == 0 ? "Discard pile, empty" : "Discard pile, " + Count(n, "card", "cards");
}

std::string OpponentHandWords(const Game& game) {
    return game.OpponentName + " holds " + Count(game.OpponentHand.size(), "card", "cards");
}

std::string HandWords(const Game& game) {
    const size_t n = game.YourHand.size();
    return n == 0 ? "Your hand, empty" : "Your hand, " + Count(n, "card", "cards");
}

std::string MeldListWords(const Game& game, bool yours) {
    const size_t n = SideMelds(game, yours).size();
    const std::string owner = yours ? "Your melds" : game.OpponentName + "'s melds";
    return owner + ", " + (n == 0 ? std::string("none") : std::to_string(n));
}

std::string PositionWords(size_t index, size_t count) {
    return "card " + std::to_string(index + 1) + " of " + std::to_string(count);
}

std::string ScoreWords(const Game& game) {
    return "Round " + std::to_string(game.RoundNumber) + ". You " +
           std::to_string(game.YourTotal()) + ", " + game.OpponentName + " " +
           std::to_string(game.OpponentTotal()) + ". This round: you " +
           std::to_string(game.RoundScore(true)) + " points, " + game.OpponentName + " melded " +
           std::to_string(game.MeldPoints(false)) + " points.";
}

std::string TableReading(const Game& game) {
    std::vector<std::string> parts = {ScoreWords(game), StockWords(game) + "."};
    std::string pile = PileWords(game);
    if (!game.DiscardPile.empty()) pile += ", top card " + SpokenCard(game.DiscardPile.back());
    parts.push_back(pile + ".");
    parts.push_back(OpponentHandWords(game) + ".");
    for (bool yours : {false, true}) {
        std::vector<std::string> melds;
        for (size_t m : SideMelds(game, yours))
            melds.push_back(SideMeldWords(game.Melds[m], yours));
        const std::string owner = yours ? "Your melds" : game.OpponentName + "'s melds";
        parts.push_back(owner + ": " + (melds.empty() ? "none" : Join(melds, "; ")) + ".");
    }
    return Join(parts, " ");
}

std::string HandReading(const Game& game) {
    if (game.YourHand.empty()) return "Your hand is empty.";
    std::vector<std::string> cards;
    for (const TCard& c : game.YourHand)
        cards.push_back(SpokenCard(c) + ((c.Flags & Selected) ? " (lifted)" : ""));
    return HandWords(game) + ": " + Join(cards, ", ") + ".";
}

std::string PickupWords(const std::string& logLine, const TCardList& taken) {
    if (taken.size() < 2) return logLine;
    return logLine + ", taking " + Count(taken.size(), "card", "cards") + ": " + SpokenCards(taken);
}

}  // namespace skelda
