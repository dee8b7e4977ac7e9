// The hint: the Master level's engine from the human's seat, told only what the human
// may know, turned into the one step to take now and a line that says why.
#include "opponent/Hint.h"

#include <cmath>
#include <cstdlib>

#include "game/Game.h"
#include "opponent/CardText.h"
#include "opponent/Master.h"
#include "opponent/SeatView.h"

namespace skelda {

namespace {

int FirstMeldTaking(const Game& g, TCard c) {
    for (size_t m = 0; m < g.Melds.size(); ++m)
        if (Game::CanLayOff(g.Melds[m], c)) return static_cast<int>(m);
    return -1;
}

TCardList Plain(TCardList cards) {
    for (TCard& c : cards) c.Flags = 0;
    return cards;
}

std::string Chance(double p) {
    return std::to_string(static_cast<int>(std::lround(100 * p))) + "%";
}

// The longest meld the taken cards and the hand make that holds the pile's card.
TCardList MeldWith(const TCardList& cards, TCard bottom) {
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
                if (ContainsCard(m, bottom) && m.size() > best.size()) best = m;
            }
    SortByRank(best);
    return best;
}

HintAdvice DrawAdvice(const Game& g) {
    HintAdvice a;
    const master::DrawDecision d = master::DecideDraw(HumanSeatView(g));
    const std::string chance = " (your chance to win the game: " + Chance(d.chance) + ")";
    if (d.pileIndex < 0 || d.pileIndex >= static_cast<int>(g.DiscardPile.size())) {
        a.kind = HintAdvice::DrawStock;
        a.reason = g.DiscardPile.empty()
                       ? "Draw from the stock: the pile is empty" + chance
                       : "Draw from the stock: no card of the pile is worth taking" + chance;
        return a;
    }
    a.kind = HintAdvice::TakePile;
    a.pileIndex = d.pileIndex;
    const TCard bottom = Plain({g.DiscardPile[d.pileIndex]})[0];
    TCardList work = g.YourHand;
    work.insert(work.end(), g.DiscardPile.begin() + d.pileIndex, g.DiscardPile.end());
    const TCardList meld = Plain(MeldWith(work, bottom));
    const int onto = FirstMeldTaking(g, bottom);
    std::string why;
    if (!meld.empty())
        why = "it completes " + ShortCardNames(meld);
    else if (onto >= 0)
        why = "it goes on " + ShortCardNames(Plain(g.Melds[onto]));
    else
        why = "it fits your hand better than a card from the stock";
    const size_t count = g.DiscardPile.size() - static_cast<size_t>(d.pileIndex);
    if (count == 2) why += ", and 1 more card comes with it";
    if (count > 2) why += ", and " + std::to_string(count - 1) + " more cards come with it";
    a.reason = "Take the pile from the " + ShortCardName(bottom) + ": " + why + chance;
    return a;
}

HintAdvice MeldAdvice(const Game& g) {
    HintAdvice a;
    const SeatView v = HumanSeatView(g);
    const master::MeldPlan plan = master::DecideMeldAndDiscard(v);
    const std::string chance = " (your chance to win the game: " + Chance(plan.chance) + ")";
    const bool haveMust = v.mustMeld >= 0;
    const TCard must = haveMust ? v.hand[static_cast<size_t>(v.mustMeld)] : TCard{};

    // The card taken from inside the pile goes first; then new melds, then lay-offs.
    const TCardList* meld = nullptr;
    for (const TCardList& m : plan.melds)
        if (!meld && (!haveMust || ContainsCard(m, must))) meld = &m;
    int layOff = -1;
    for (size_t i = 0; i < plan.layOffs.size() && layOff < 0; ++i) {
        const TCard c = plan.layOffs[i];
        if (haveMust && !SameCard(c, must)) continue;
        if (FirstMeldTaking(g, c) >= 0) layOff = static_cast<int>(i);
    }
    if (meld && (layOff < 0 || !haveMust)) {
        a.kind = HintAdvice::Meld;
        a.cards = Plain(*meld);
        SortByRank(a.cards);
        a.reason = "Meld " + ShortCardNames(a.cards) + ": " + std::to_string(HandPoints(a.cards)) +
                   " points count for you now" + chance;
        return a;
    }
    if (layOff >= 0) {
        const TCard c = Plain({plan.layOffs[static_cast<size_t>(layOff)]})[0];
        a.kind = HintAdvice::LayOff;
        a.cards = {c};
        a.meldIndex = FirstMeldTaking(g, c);
        a.reason = "Lay off the " + ShortCardName(c) + " on " +
                   ShortCardNames(Plain(g.Melds[static_cast<size_t>(a.meldIndex)])) + ": " +
                   std::to_string(CardValue(c)) + " more points for you" + chance;
        return a;
    }
    if (haveMust) {
        // The plan would place the card only after another meld, which the human may
        // not do: place it now the plain way.
        const int onto = FirstMeldTaking(g, must);
        const TCardList own = Plain(MeldWith(g.YourHand, must));
        if (own.empty() && onto < 0) return a;
        a.kind = own.empty() ? HintAdvice::LayOff : HintAdvice::Meld;
        a.cards = own.empty() ? TCardList{must} : own;
        a.meldIndex = own.empty() ? onto : -1;
        a.reason =
            "The " + ShortCardName(must) + " taken from the pile has to go into a meld first";
        return a;
    }
    if (!plan.discards) return a;
    a.kind = HintAdvice::Discard;
    a.cards = {plan.discard};
    // A card with no partner of its rank or suit nearby fits nothing.
    bool partner = false;
    for (const TCard& h : v.hand) {
        if (SameCard(h, plan.discard)) continue;
        const bool nearSuit = h.Suit == plan.discard.Suit &&
                              (std::abs(RunValue(h, false) - RunValue(plan.discard, false)) <= 2 ||
                               std::abs(RunValue(h, true) - RunValue(plan.discard, true)) <= 2);
        partner = partner || h.Rank == plan.discard.Rank || nearSuit;
    }
    std::string why = partner ? "of your cards it helps you least"
                              : "it fits nothing in your hand and would cost " +
                                    std::to_string(CardValue(plan.discard)) +
                                    " points if the round ended";
    if (!plan.heldBack.empty()) why += "; keep " + ShortCardNames(plan.heldBack) + " back for now";
    a.reason = "Discard the " + ShortCardName(plan.discard) + ": " + why + chance;
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
