// The hint: the human's next step. This first form reads the table with simple rules:
// take a pile card that melds at once, meld the longest meld, lay off, then throw the
// loneliest card.
#include "opponent/Hint.h"

#include <algorithm>
#include <cstdlib>

#include "game/Game.h"
#include "opponent/CardText.h"

namespace skelda {

namespace {

// The longest meld among `cards` that holds `must` (any meld when `must` is null).
TCardList LongestMeld(const TCardList& cards, const TCard* must) {
    TCardList best;
    const size_t n = cards.size();
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i + 1; j < n; ++j)
            for (size_t k = j + 1; k < n; ++k) {
                TCardList m = {cards[i], cards[j], cards[k]};
                if (!Game::IsValidMeld(m)) continue;
                for (bool grew = true; grew;) {
                    grew = false;
                    for (const TCard& c : cards) {
                        if (ContainsCard(m, c)) continue;
                        m.push_back(c);
                        if (Game::IsValidMeld(m))
                            grew = true;
                        else
                            m.pop_back();
                    }
                }
                if (must && !ContainsCard(m, *must)) continue;
                if (m.size() > best.size()) best = m;
            }
    return best;
}

int FirstMeldTaking(const Game& g, TCard c) {
    for (size_t m = 0; m < g.Melds.size(); ++m)
        if (Game::CanLayOff(g.Melds[m], c)) return static_cast<int>(m);
    return -1;
}

TCardList Plain(TCardList cards) {
    for (TCard& c : cards) c.Flags = 0;
    return cards;
}

HintAdvice DrawAdvice(const Game& g) {
    HintAdvice a;
    const int top = static_cast<int>(g.DiscardPile.size()) - 1;
    for (int i = 0; i <= top; ++i) {
        const TCard b = g.DiscardPile[i];
        TCardList work = g.YourHand;
        work.insert(work.end(), g.DiscardPile.begin() + i, g.DiscardPile.end());
        const TCardList meld = LongestMeld(work, &b);
        const int onto = FirstMeldTaking(g, b);
        if (meld.empty() && onto < 0) continue;
        a.kind = HintAdvice::TakePile;
        a.pileIndex = i;
        a.reason =
            "Take the pile from the " + ShortCardName(b) + ": it " +
            (meld.empty() ? "can be laid off at once" : "completes " + ShortCardNames(Plain(meld)));
        return a;
    }
    a.kind = HintAdvice::DrawStock;
    a.reason = "Draw from the stock: no card of the pile fits your hand";
    return a;
}

HintAdvice MeldAdvice(const Game& g) {
    HintAdvice a;
    const TCard* must = nullptr;
    for (const TCard& c : g.YourHand)
        if (c.Flags & MustMeld) must = &c;
    const TCardList meld = LongestMeld(g.YourHand, must);
    if (!meld.empty()) {
        a.kind = HintAdvice::Meld;
        a.cards = Plain(meld);
        a.reason = "Meld " + ShortCardNames(a.cards) + ": its points count for you";
        return a;
    }
    for (const TCard& c : g.YourHand) {
        if (must && !SameCard(c, *must)) continue;
        const int onto = FirstMeldTaking(g, c);
        if (onto < 0 || (g.YourHand.size() < 2 && !must)) continue;
        a.kind = HintAdvice::LayOff;
        a.cards = Plain({c});
        a.meldIndex = onto;
        a.reason = "Lay off the " + ShortCardName(c) + " on " +
                   ShortCardNames(Plain(g.Melds[onto])) + ": its points count for you";
        return a;
    }
    if (must || g.YourHand.empty()) return a;
    size_t best = 0;
    int max = -1000;
    for (size_t i = 0; i < g.YourHand.size(); ++i) {
        const TCard x = g.YourHand[i];
        int s = CardValue(x);
        for (const TCard& h : g.YourHand) {
            if (SameCard(h, x)) continue;
            if (h.Rank == x.Rank) s -= 8;
            if (h.Suit == x.Suit && std::abs(h.Rank - x.Rank) <= 2) s -= 5;
        }
        if (s > max) {
            max = s;
            best = i;
        }
    }
    a.kind = HintAdvice::Discard;
    a.cards = Plain({g.YourHand[best]});
    a.reason = "Discard the " + ShortCardName(a.cards[0]) + ": it fits least with your hand";
    return a;
}

}  // namespace

HintAdvice ComputeHint(const Game& g) {
    if (!g.GameInPlay() || !g.HumansTurn || g.timers.Timer1 || g.timers.Timer4) return {};
    if (g.TurnPhase == 1) return DrawAdvice(g);
    if (g.TurnPhase == 2) return MeldAdvice(g);
    return {};
}

}  // namespace skelda
