#include "game/Card.h"

#include <utility>

namespace skelda {

const char* const RankNames[13] = {"Ace", "2", "3",   "4",    "5",     "6",   "7",
                                   "8",   "9", "Ten", "Jack", "Queen", "King"};
const char* const SuitNames[4] = {"Clubs", "Diamonds", "Hearts", "Spades"};
const char* const PraiseWords[3] = {"Goodjob!", "Excellent!", "Wonderful!"};

int CardValue(TCard c) {
    if (c.Rank == Ace) return (c.Flags & AceLow) ? 5 : 15;
    return c.Rank >= 10 ? 10 : 5;
}

int RunValue(TCard c, bool aceHigh) {
    if (c.Rank == Ace) return aceHigh ? 14 : 1;
    return c.Rank + 1;
}

TCard& AppendCard(TCardList& list, TCard c) {
    list.push_back(c);
    return list.back();
}

TCardList RemoveCard(const TCardList& list, TCard c) {
    TCardList out;
    out.reserve(list.size());
    bool removed = false;
    for (const TCard& x : list) {
        if (!removed && SameCard(x, c)) {
            removed = true;
            continue;
        }
        out.push_back(x);
    }
    return out;
}

bool ContainsCard(const TCardList& list, TCard c) {
    for (const TCard& x : list)
        if (SameCard(x, c)) return true;
    return false;
}

void SortByRank(TCardList& list) {
    const size_t n = list.size();
    for (size_t i = 0; i + 1 < n; ++i)
        for (size_t j = i + 1; j < n; ++j)
            if (list[j].Rank < list[i].Rank) std::swap(list[i], list[j]);
}

int HandPoints(const TCardList& list) {
    int sum = 0;
    for (const TCard& c : list) sum += CardValue(c);
    return sum;
}

std::string CardName(TCard c, const char* joiner) {
    std::string s = RankNames[c.Rank % 13];
    s += joiner;
    s += SuitNames[c.Suit % 4];
    return s;
}

}  // namespace skelda
