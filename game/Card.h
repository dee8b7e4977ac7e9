// The card record, card lists and the small card primitives shared by every rule.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace skelda {

// Bits of TCard::Flags.
enum : uint8_t {
    Selected = 0x01,  // picked by the human in the hand
    AceLow = 0x02,    // an Ace in a meld that counts 5 instead of 15
    Yours = 0x04,     // a meld card played by the human
    MustMeld = 0x08,  // bottom card of a pile pickup that has to be melded this turn
    NoCard = 0x10,    // never a real card: "nothing was obtained"
};

enum : uint8_t { Clubs = 0, Diamonds = 1, Hearts = 2, Spades = 3 };
enum : uint8_t { Ace = 0, King = 12 };

struct TCard {
    uint8_t Suit = 0;
    uint8_t Rank = 0;
    uint8_t Flags = 0;
};

// Two cards are the same card when suit and rank agree; flags never count.
inline bool SameCard(TCard a, TCard b) {
    return a.Suit == b.Suit && a.Rank == b.Rank;
}

// Index into the 13 x 4 rank-major tables (SeenCards, MeldedCards).
inline int RankMajorIndex(TCard c) {
    return c.Rank * 4 + c.Suit;
}

using TCardList = std::vector<TCard>;

extern const char* const RankNames[13];
extern const char* const SuitNames[4];
extern const char* const PraiseWords[3];

int CardValue(TCard c);
// 1..14: ranks 2..King give Rank + 1, the Ace 1 (low) or 14 (high).
int RunValue(TCard c, bool aceHigh);

TCard& AppendCard(TCardList& list, TCard c);
TCardList RemoveCard(const TCardList& list, TCard c);
bool ContainsCard(const TCardList& list, TCard c);
// Exchange sort by ascending rank; suits are not considered.
void SortByRank(TCardList& list);
int HandPoints(const TCardList& list);

// "Ten of Hearts" style name as used in meld lines and the status messages.
std::string CardName(TCard c, const char* joiner);

}  // namespace skelda
