// The table in words, for players who listen rather than look: cards and melds named as a
// player says them, and the lines the screen reader's objects and listening keys carry.
#pragma once

#include <string>
#include <vector>

#include "game/Game.h"

namespace skelda {

// "Seven of Hearts".
std::string SpokenCard(TCard card);
// "Ten", "Queen"; the plural of a set: "Sixes", "Queens".
std::string SpokenRank(int rank);
std::string SpokenRanks(int rank);
// A meld, or a side's part of one: "Run: Seven, Eight, Nine of Diamonds", "Set of Queens";
// cards that make neither are listed: "Ten of Diamonds".
std::string SpokenMeld(const TCardList& cards);
// Cards one after another: "Seven of Hearts, Nine of Clubs".
std::string SpokenCards(const TCardList& cards);

// The melds on the table that hold cards of one side, by their index in Melds.
std::vector<size_t> SideMelds(const Game& game, bool yours);
// One side's part of a meld; when the other side has cards in it too, the whole meld
// follows in brackets.
std::string SideMeldWords(const TCardList& meld, bool yours);

// "Stock, 21 cards"; "Discard pile, 3 cards"; "LILA holds 5 cards".
std::string StockWords(const Game& game);
std::string PileWords(const Game& game);
std::string OpponentHandWords(const Game& game);
// The list's own name: "Your hand, 9 cards", "LILA's melds, 2", "Your melds, none".
std::string HandWords(const Game& game);
std::string MeldListWords(const Game& game, bool yours);
// "card 3 of 9".
std::string PositionWords(size_t index, size_t count);
// "Round 2. You 35, LILA 20. This round: you 15 points, LILA melded 30 points."
std::string ScoreWords(const Game& game);

// What the listening keys read: the whole table (scores, the counts, the top discard,
// every meld), and the hand card by card with the lifted ones said.
std::string TableReading(const Game& game);
std::string HandReading(const Game& game);

// The computer's pick-up as its log line says it, and, when it took more than one card,
// every card taken: "LILA picks up the 7 Of Hearts, taking 3 cards: Seven of Hearts, ...".
std::string PickupWords(const std::string& logLine, const TCardList& taken);

}  // namespace skelda
