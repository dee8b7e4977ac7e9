#include "tools/sim/Players.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <vector>

#include "opponent/Hint.h"
#include "opponent/Master.h"
#include "opponent/SeatView.h"

namespace skelda::sim {

std::string Describe(Move m) {
    switch (m.kind) {
        case MoveKind::DealTick: return "deal tick (Timer1)";
        case MoveKind::ComputerTurn: return "computer turn (Timer4)";
        case MoveKind::Stock: return "human draws from the stock";
        case MoveKind::Pile: return "human clicks the discard pile at " + std::to_string(m.arg);
        case MoveKind::Select: return "human clicks hand card " + std::to_string(m.arg);
        case MoveKind::Meld: return "human presses Meld";
        case MoveKind::Discard: return "human presses Discard";
    }
    return "?";
}

void Table::Stock() {
    current = {MoveKind::Stock};
    g.PaintBox5MouseUp(MouseButton::Left, 0, 10);
    Done({MoveKind::Stock});
}
void Table::Pile(int index) {
    current = {MoveKind::Pile, index};
    g.PaintBox6MouseUp(MouseButton::Left, index * CardStep, 10);
    Done({MoveKind::Pile, index});
}
void Table::Select(int index) {
    current = {MoveKind::Select, index};
    g.PaintBox4MouseUp(MouseButton::Left, index * CardStep);
    Done({MoveKind::Select, index});
}
void Table::Meld() {
    current = {MoveKind::Meld};
    g.Button1Click();
    Done({MoveKind::Meld});
}
void Table::Discard() {
    current = {MoveKind::Discard};
    g.Button2Click();
    Done({MoveKind::Discard});
}
void Table::DeselectAll() {
    for (size_t i = 0; i < g.YourHand.size() && !stop; ++i)
        if (g.YourHand[i].Flags & Selected) Select(static_cast<int>(i));
}

namespace {

// Selects exactly the cards at `indices` (ascending) and presses Meld; true when the
// hand shrank.
bool MeldCards(Table& t, const std::vector<size_t>& indices) {
    t.DeselectAll();
    for (size_t i : indices) {
        if (t.stop) return false;
        t.Select(static_cast<int>(i));
    }
    if (t.stop) return false;
    const size_t before = t.g.YourHand.size();
    t.Meld();
    return t.g.YourHand.size() < before;
}

void DiscardAt(Table& t, size_t index) {
    t.DeselectAll();
    if (t.stop) return;
    t.Select(static_cast<int>(index));
    if (!t.stop) t.Discard();
}

bool Waiting(const Game& g) {
    return g.timers.Timer4 || g.TurnPhase != 2 || !g.HumansTurn;
}

// Three cards of one rank, or of one suit in a row with the Ace low or high.
bool Meld3(TCard a, TCard b, TCard c) {
    if (a.Rank == b.Rank && b.Rank == c.Rank) return true;
    if (a.Suit != b.Suit || b.Suit != c.Suit) return false;
    const uint32_t mask = (1u << a.Rank) | (1u << b.Rank) | (1u << c.Rank);
    if (mask == ((1u << 11) | (1u << 12) | 1u)) return true;  // Queen, King, Ace
    const uint32_t low = mask >> std::countr_zero(mask);
    return low == 7u;
}

// The first triple of the hand in index order that makes a meld (and holds the card at
// `must` when that is a valid index).
bool FindTriple(const TCardList& hand, int must, std::vector<size_t>& out) {
    const size_t n = hand.size();
    if (must >= 0) {
        const size_t m = static_cast<size_t>(must);
        for (size_t j = 0; j < n; ++j)
            for (size_t k = j + 1; k < n; ++k) {
                if (j == m || k == m || !Meld3(hand[m], hand[j], hand[k])) continue;
                out = {m, j, k};
                std::sort(out.begin(), out.end());
                return true;
            }
        return false;
    }
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i + 1; j < n; ++j)
            for (size_t k = j + 1; k < n; ++k) {
                if (!Meld3(hand[i], hand[j], hand[k])) continue;
                out = {i, j, k};
                return true;
            }
    return false;
}

// Draws from the stock, melds the first triple it sees as long as it sees one, lays
// nothing off, and throws the card worth most.
class SimplePlayer : public HumanPlayer {
public:
    void Draw(Table& t) override { t.Stock(); }
    void MeldAndDiscard(Table& t) override {
        std::vector<size_t> triple;
        for (int guard = 0; guard < 20 && !t.stop; ++guard) {
            if (!FindTriple(t.g.YourHand, -1, triple)) break;
            if (!MeldCards(t, triple) || Waiting(t.g)) return;
        }
        if (t.stop || Waiting(t.g) || t.g.YourHand.empty()) return;
        size_t best = 0;
        for (size_t i = 1; i < t.g.YourHand.size(); ++i)
            if (CardValue(t.g.YourHand[i]) > CardValue(t.g.YourHand[best])) best = i;
        DiscardAt(t, best);
    }
};

// Takes from the discard pile when the card can be melded at once (the deepest such
// card within four of the top), lays down the longest melds it can find (floating when
// they use up the hand) and every lay-off but that of its last card, and throws the
// loneliest high card.
class GreedyPlayer : public HumanPlayer {
public:
    void Draw(Table& t) override {
        const Game& g = t.g;
        // A floating hand has nothing to meld a taken card with.
        const int top = g.YourHand.empty() ? -1 : static_cast<int>(g.DiscardPile.size()) - 1;
        for (int i = std::max(0, top - 3); i <= top && top >= 0; ++i) {
            if (!Usable(g, i)) continue;
            t.Pile(i);
            if (t.stop || g.TurnPhase == 2 || !g.HumansTurn) return;
            break;  // refused: draw instead
        }
        if (!t.stop) t.Stock();
    }

    void MeldAndDiscard(Table& t) override {
        Game& g = t.g;
        // The card taken from inside the pile has to be melded first.
        for (size_t i = 0; i < g.YourHand.size(); ++i) {
            if (!(g.YourHand[i].Flags & MustMeld)) continue;
            std::vector<size_t> triple;
            if (FindTriple(g.YourHand, static_cast<int>(i), triple))
                MeldCards(t, triple);
            else
                MeldCards(t, {i});
            break;
        }
        if (t.stop || Waiting(g)) return;
        for (int guard = 0; guard < 30 && !t.stop && !Waiting(g); ++guard) {
            std::vector<size_t> meld = LongestMeld(g.YourHand);
            if (!meld.empty()) {
                if (!MeldCards(t, meld)) break;
                continue;
            }
            const int off = LayOffCandidate(g);
            if (off < 0 || g.YourHand.size() < 2) break;
            if (!MeldCards(t, {static_cast<size_t>(off)})) break;
        }
        if (t.stop || Waiting(g) || g.YourHand.empty()) return;
        DiscardAt(t, Loneliest(g.YourHand));
    }

private:
    // The discard-pile rule, read without touching the table.
    static bool Usable(const Game& g, int index) {
        const TCard b = g.DiscardPile[index];
        TCardList work = g.YourHand;
        work.insert(work.end(), g.DiscardPile.begin() + index, g.DiscardPile.end());
        std::vector<size_t> triple;
        for (size_t i = g.YourHand.size(); i < work.size(); ++i)
            if (SameCard(work[i], b) && FindTriple(work, static_cast<int>(i), triple)) return true;
        for (const TCardList& m : g.Melds)
            if (Game::CanLayOff(m, b)) return true;
        return false;
    }

    // The largest meld found by growing each valid triple with the cards that still fit.
    static std::vector<size_t> LongestMeld(const TCardList& hand) {
        std::vector<size_t> best;
        TCardList c(3);
        const size_t n = hand.size();
        for (size_t i = 0; i < n; ++i)
            for (size_t j = i + 1; j < n; ++j)
                for (size_t k = j + 1; k < n; ++k) {
                    if (!Meld3(hand[i], hand[j], hand[k])) continue;
                    c = {hand[i], hand[j], hand[k]};
                    std::vector<size_t> idx = {i, j, k};
                    for (bool grew = true; grew;) {
                        grew = false;
                        for (size_t x = 0; x < n; ++x) {
                            if (std::find(idx.begin(), idx.end(), x) != idx.end()) continue;
                            c.push_back(hand[x]);
                            if (Game::IsValidMeld(c)) {
                                idx.push_back(x);
                                grew = true;
                            } else {
                                c.pop_back();
                            }
                        }
                    }
                    if (idx.size() > best.size()) best = idx;
                }
        std::sort(best.begin(), best.end());
        return best;
    }

    static int LayOffCandidate(const Game& g) {
        for (size_t i = g.YourHand.size(); i-- > 0;)
            for (const TCardList& m : g.Melds)
                if (Game::CanLayOff(m, g.YourHand[i])) return static_cast<int>(i);
        return -1;
    }

    // Points less credit for partners of rank or suit nearby; the highest goes.
    static size_t Loneliest(const TCardList& hand) {
        size_t best = 0;
        int max = -1000;
        for (size_t i = 0; i < hand.size(); ++i) {
            int s = CardValue(hand[i]);
            for (size_t j = 0; j < hand.size(); ++j) {
                if (j == i) continue;
                if (hand[j].Rank == hand[i].Rank) s -= 8;
                if (hand[j].Suit == hand[i].Suit && std::abs(hand[j].Rank - hand[i].Rank) <= 2)
                    s -= 5;
            }
            if (s > max) {
                max = s;
                best = i;
            }
        }
        return best;
    }
};

int HandIndex(const TCardList& hand, TCard c) {
    for (size_t i = 0; i < hand.size(); ++i)
        if (SameCard(hand[i], c)) return static_cast<int>(i);
    return -1;
}

// Selects the cards (all must be in the hand) and presses Meld; true when the hand shrank.
bool MeldNamed(Table& t, const TCardList& cards) {
    std::vector<size_t> indices;
    for (const TCard& c : cards) {
        const int i = HandIndex(t.g.YourHand, c);
        if (i < 0) return false;
        indices.push_back(static_cast<size_t>(i));
    }
    std::sort(indices.begin(), indices.end());
    return MeldCards(t, indices);
}

// The Master level's engine on the human's side, told only what the human may know.
class MasterPlayer : public HumanPlayer {
public:
    void Draw(Table& t) override {
        const master::DrawDecision d = master::DecideDraw(HumanSeatView(t.g));
        if (d.pileIndex >= 0) {
            t.Pile(d.pileIndex);
            if (t.stop || t.g.TurnPhase == 2 || !t.g.HumansTurn) return;
        }
        if (!t.stop) t.Stock();
    }
    void MeldAndDiscard(Table& t) override {
        Game& g = t.g;
        const SeatView v = HumanSeatView(g);
        const master::MeldPlan plan = master::DecideMeldAndDiscard(v);
        // The card taken from inside the pile goes first.
        std::vector<TCardList> steps;
        const bool haveMust = v.mustMeld >= 0;
        const TCard must = haveMust ? v.hand[static_cast<size_t>(v.mustMeld)] : TCard{};
        for (const TCardList& m : plan.melds)
            if (haveMust && ContainsCard(m, must))
                steps.insert(steps.begin(), m);
            else
                steps.push_back(m);
        for (const TCard& c : plan.layOffs)
            if (haveMust && SameCard(c, must))
                steps.insert(steps.begin(), TCardList{c});
            else
                steps.push_back({c});
        for (const TCardList& step : steps) {
            if (t.stop || Waiting(g)) return;
            MeldNamed(t, step);
        }
        if (t.stop || Waiting(g) || g.YourHand.empty()) return;
        int at = plan.discards ? HandIndex(g.YourHand, plan.discard) : -1;
        if (at < 0) at = 0;
        DiscardAt(t, static_cast<size_t>(at));
    }
};

// Does what the hint says, one step at a time, and nothing else.
class HintPlayer : public HumanPlayer {
public:
    void Draw(Table& t) override { Follow(t); }
    void MeldAndDiscard(Table& t) override { Follow(t); }

private:
    static void Follow(Table& t) {
        Game& g = t.g;
        for (int guard = 0; guard < 40 && !t.stop; ++guard) {
            const HintAdvice a = ComputeHint(g);
            switch (a.kind) {
                case HintAdvice::None: return;
                case HintAdvice::DrawStock: t.Stock(); return;
                case HintAdvice::TakePile: t.Pile(a.pileIndex); return;
                case HintAdvice::Meld:
                case HintAdvice::LayOff:
                    if (!MeldNamed(t, a.cards)) return;
                    break;
                case HintAdvice::Discard: {
                    const int at = HandIndex(g.YourHand, a.cards.at(0));
                    if (at >= 0) DiscardAt(t, static_cast<size_t>(at));
                    return;
                }
            }
        }
    }
};

}  // namespace

std::unique_ptr<HumanPlayer> MakePlayer(const std::string& name) {
    if (name == "simple") return std::make_unique<SimplePlayer>();
    if (name == "greedy") return std::make_unique<GreedyPlayer>();
    if (name == "master") return std::make_unique<MasterPlayer>();
    if (name == "hint") return std::make_unique<HintPlayer>();
    return nullptr;
}

}  // namespace skelda::sim
