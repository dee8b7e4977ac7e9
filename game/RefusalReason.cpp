// Why a selection is no meld or cannot be laid off, and why Meld or Discard refuses,
// told the way a player would say it.
#include "game/RefusalReason.h"

#include <algorithm>
#include <array>

#include "game/Game.h"
#include "opponent/CardText.h"

namespace skelda {

namespace {

const char* const kSuitWords[4] = {"Club", "Diamond", "Heart", "Spade"};

// "an Ace", "a 7", "an 8", "a Ten"; plural "Aces", "7s", "Tens".
std::string RankWord(int rank, bool plural) {
    const std::string name = RankNames[rank % 13];
    if (plural) return name + "s";
    return (rank == Ace || rank == 7 ? "an " : "a ") + name;
}

// "a", "a and b", "a, b and c".
std::string Listed(const std::vector<std::string>& items) {
    std::string s;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0) s += i + 1 == items.size() ? " and " : ", ";
        s += items[i];
    }
    return s;
}

std::string TheCards(const TCardList& cards) {
    std::vector<std::string> names;
    for (const TCard& c : cards) names.push_back(ShortCardName(c));
    return "the " + Listed(names);
}

TCardList ByRank(TCardList cards) {
    std::stable_sort(cards.begin(), cards.end(), [](TCard a, TCard b) { return a.Rank < b.Rank; });
    return cards;
}

// What is wrong with cards as one meld: what they are not, and why.
struct Fault {
    std::string shown;  // the cards in the order the reason reads them
    std::string notA;   // "is not a run", ...
    std::string why;
};

// One suit, three cards or more, no card twice: a run read Ace-low or Ace-high.
Fault RunFault(const TCardList& cards) {
    const uint8_t suit = cards[0].Suit;
    const int n = static_cast<int>(cards.size());
    // Around the corner: the ranks lie together only when the King joins the Ace.
    std::array<bool, 13> has{};
    for (const TCard& c : cards) has[c.Rank % 13] = true;
    if (has[Ace]) {
        for (int start = 0; start < 13; ++start) {
            bool together = true;
            for (int k = 0; k < n; ++k) together = together && has[(start + k) % 13];
            if (!together || start + n <= 13 || start == 0) continue;
            TCardList shown;
            for (int k = 0; k < n; ++k)
                shown.push_back(TCard{suit, static_cast<uint8_t>((start + k) % 13), 0});
            return {ShortCardNames(shown), "is not a run",
                    "it goes around the corner (an Ace is low, A 2 3, or high, Q K A, never "
                    "both)"};
        }
    }
    // The reading with fewer gaps; its missing cards.
    std::vector<int> best;
    bool bestHigh = false;
    for (bool high : {false, true}) {
        if (high && !has[Ace]) break;
        std::vector<int> values;
        for (const TCard& c : cards) values.push_back(RunValue(c, high));
        std::sort(values.begin(), values.end());
        std::vector<int> missing;
        for (int v = values.front() + 1; v < values.back(); ++v)
            if (!std::binary_search(values.begin(), values.end(), v)) missing.push_back(v);
        if (!high || missing.size() < best.size()) {
            best = missing;
            bestHigh = high;
        }
    }
    TCardList shown = cards;
    std::stable_sort(shown.begin(), shown.end(), [bestHigh](TCard a, TCard b) {
        return RunValue(a, bestHigh) < RunValue(b, bestHigh);
    });
    if (best.size() > 3)
        return {ShortCardNames(shown), "is not a run",
                "its cards are too far apart (" + std::to_string(best.size()) +
                    " cards are missing between them)"};
    TCardList missing;
    for (int v : best)
        missing.push_back(TCard{suit, static_cast<uint8_t>(v == 14 || v == 1 ? 0 : v - 1), 0});
    return {ShortCardNames(shown), "is not a run",
            TheCards(missing) + (missing.size() == 1 ? " is missing" : " are missing")};
}

// Why the cards make no meld; an empty `why` when they do.
Fault MeldFault(const TCardList& cards) {
    if (cards.empty()) return {"", "", "no card is selected"};
    if (Game::IsValidMeld(cards)) return {};
    const size_t n = cards.size();
    if (n < 3) {
        if (n == 1)
            return {ShortCardName(cards[0]), "alone is not a meld",
                    "a meld needs three cards or more"};
        return {ShortCardNames(cards), "is too short for a meld",
                "a meld needs three cards or more"};
    }
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i + 1; j < n; ++j)
            if (SameCard(cards[i], cards[j]))
                return {ShortCardNames(cards), "is not a meld",
                        "the " + ShortCardName(cards[i]) + " is there twice"};

    std::array<int, 13> ranks{};
    std::array<int, 4> suits{};
    for (const TCard& c : cards) {
        ++ranks[c.Rank % 13];
        ++suits[c.Suit % 4];
    }
    const int rank = static_cast<int>(std::max_element(ranks.begin(), ranks.end()) - ranks.begin());
    const int suit = static_cast<int>(std::max_element(suits.begin(), suits.end()) - suits.begin());
    if (suits[suit] == static_cast<int>(n)) return RunFault(cards);

    const TCardList shown = ByRank(cards);
    if (ranks[rank] == 1 && suits[suit] == 1)
        return {ShortCardNames(shown), "is neither a set nor a run",
                "both the ranks and the suits differ"};
    // Read as what most of the cards are: a set when as many share a rank as a suit.
    const bool asSet = ranks[rank] >= suits[suit];
    TCardList odd;
    for (const TCard& c : shown)
        if (asSet ? c.Rank != rank : c.Suit != suit) odd.push_back(c);
    const bool one = odd.size() == 1;
    if (asSet)
        return {ShortCardNames(shown), "is not a set",
                TheCards(odd) + (one ? " is not " : " are not ") + RankWord(rank, !one)};
    return {ShortCardNames(shown), "is not a run",
            TheCards(odd) + (one ? " is not a " : " are not ") + kSuitWords[suit] +
                (one ? "" : "s") + " (a run is all of one suit)"};
}

std::string Opponent(const Game& g) {
    return g.OpponentName.empty() ? std::string("the computer") : g.OpponentName;
}

// Outside the human's meld-and-discard phase.
std::string NotNow(const Game& g, bool discard) {
    if (!g.GameInPlay() || !g.RoundActive) return "the round is over";
    if (g.timers.Timer1) return "the cards are still being dealt";
    if (g.HumansTurn && !g.timers.Timer4 && g.TurnPhase == 1)
        return discard ? "draw from the stock or take from the pile before you discard"
                       : "draw from the stock or take from the pile first";
    return "it is " + Opponent(g) + "'s turn now";
}

std::string MustMeldFirst(TCard c) {
    return "the " + ShortCardName(c) + " taken from the pile must go into a meld first";
}

// The first selected card that finds no meld to go on, counting the cards placed before
// it, as the lay-off tries them; none when every card finds one.
const TCard* NoPlaceFor(const TCardList& selected, std::vector<TCardList> melds) {
    for (const TCard& c : selected) {
        size_t m = 0;
        while (m < melds.size() && !Game::CanLayOff(melds[m], c)) ++m;
        if (m == melds.size()) return &c;
        melds[m].push_back(c);
    }
    return nullptr;
}

}  // namespace

std::string WhyNotMeld(const TCardList& cards) {
    const Fault f = MeldFault(cards);
    if (f.why.empty()) return {};
    if (f.shown.empty()) return f.why;
    return f.shown + " " + f.notA + ": " + f.why;
}

std::string WhyNotLayOff(const TCardList& meld, TCard card) {
    if (meld.empty() || Game::CanLayOff(meld, card)) return {};
    const std::string head =
        "the " + ShortCardName(card) + " does not go on " + ShortCardNames(meld) + ": ";
    if (ContainsCard(meld, card)) return head + "it is in that meld already";
    if (Game::IsSet(meld)) return head + "it is not " + RankWord(meld[0].Rank, false);
    TCardList joined = meld;
    joined.push_back(card);
    return head + MeldFault(joined).why;
}

std::string WhyMeldRefused(const Game& g) {
    if (g.TurnPhase != 2 || g.timers.Timer4) return NotNow(g, false);
    const TCard* must = nullptr;
    for (const TCard& c : g.YourHand)
        if (c.Flags & MustMeld) must = &c;
    const TCardList selected = g.SelectedCards();
    if (selected.empty()) return "no card is selected: click the cards you want to meld";
    if (must && !ContainsCard(selected, *must)) return MustMeldFirst(*must);

    const TCard* homeless = NoPlaceFor(selected, g.Melds);
    if (!homeless || Game::IsValidMeld(selected)) return {};
    for (const TCardList& meld : g.Melds) {
        TCardList joined = selected;
        joined.insert(joined.end(), meld.begin(), meld.end());
        if (Game::IsValidMeld(joined)) return {};
    }
    if (selected.size() >= 3) return WhyNotMeld(selected);

    // One or two cards: only a lay-off could take them.
    const std::string shortOne = WhyNotMeld(selected);
    if (g.Melds.empty())
        return shortOne + ", and there is no meld on the table to lay " +
               (selected.size() == 1 ? "it" : "them") + " off on";
    // The meld the card comes nearest to fitting: a set of its rank, or a run of its suit.
    std::string why;
    for (const TCardList& meld : g.Melds) {
        const bool near = Game::IsSet(meld) ? meld[0].Rank == homeless->Rank
                                            : !meld.empty() && meld[0].Suit == homeless->Suit;
        if (near) {
            why = WhyNotLayOff(meld, *homeless);
            break;
        }
    }
    if (why.empty()) why = "the " + ShortCardName(*homeless) + " fits no meld on the table";
    return selected.size() == 1 ? why : shortOne + "; " + why;
}

std::string WhyDiscardRefused(const Game& g) {
    if (g.TurnPhase != 2 || g.timers.Timer4) return NotNow(g, true);
    for (const TCard& c : g.YourHand)
        if (c.Flags & MustMeld) return MustMeldFirst(c);
    const TCardList selected = g.SelectedCards();
    if (selected.empty()) return "no card is selected: click the one card you want to discard";
    if (selected.size() > 1)
        return std::to_string(selected.size()) + " cards are selected (" +
               ShortCardNames(selected) + "): select only the one to discard";
    return {};
}

}  // namespace skelda
