// What makes a meld, when a card may be laid off, when an Ace counts low, how melds
// enter the table, and the rule for taking cards from inside the discard pile.
#include <bit>

#include "game/CanTakeDiscardsLiteral.h"
#include "game/Game.h"

namespace skelda {

namespace {

// Run values of a one-suit list as a bit mask; consecutive and free of repeats exactly
// when the mask is one unbroken block with a bit per card.
bool Consecutive(uint32_t mask, size_t count) {
    if (std::popcount(mask) != static_cast<int>(count)) return false;
    const uint32_t shifted = mask >> std::countr_zero(mask);
    return (shifted & (shifted + 1)) == 0;
}

// The counters may come from a saved game at any 32-bit value; they wrap rather than
// overflow.
void AddWrapping(int32_t& counter, int32_t delta) {
    counter = static_cast<int32_t>(static_cast<uint32_t>(counter) + static_cast<uint32_t>(delta));
}

bool RunWithExtra(const TCardList& list, const TCard* extra) {
    const size_t n = list.size() + (extra ? 1 : 0);
    if (n < 3) return false;
    const uint8_t suit = list.empty() ? extra->Suit : list[0].Suit;
    uint32_t low = 0, high = 0;
    auto add = [&](TCard c) {
        low |= 1u << RunValue(c, false);
        high |= 1u << RunValue(c, true);
        return c.Suit == suit;
    };
    for (const TCard& c : list)
        if (!add(c)) return false;
    if (extra && !add(*extra)) return false;
    return Consecutive(low, n) || Consecutive(high, n);
}

}  // namespace

bool Game::IsSet(const TCardList& list) {
    if (list.size() < 3) return false;
    for (const TCard& c : list)
        if (c.Rank != list[0].Rank) return false;
    return true;
}

bool Game::IsRun(const TCardList& list) {
    return RunWithExtra(list, nullptr);
}

bool Game::IsValidMeld(const TCardList& list) {
    return IsSet(list) || IsRun(list);
}

bool Game::CanLayOff(const TCardList& meld, TCard card) {
    if (ContainsCard(meld, card)) return false;
    if (IsSet(meld)) return card.Rank == meld[0].Rank;
    return RunWithExtra(meld, &card);
}

bool Game::HoldsAceAndTwo(uint8_t suit, const TCardList& a, const TCardList& b) {
    int count = 0;
    for (const TCardList* list : {&a, &b})
        for (const TCard& c : *list)
            if (c.Suit == suit && c.Rank <= 1) ++count;
    return count == 2;
}

void Game::LogMeld(const std::string& who, const TCardList& list) {
    std::string cards;
    for (const TCard& c : list) {
        if (!cards.empty()) cards += ", ";
        cards += CardName(c, " of ");
    }
    WriteLog(who + " melded: " + cards);
}

void Game::AddMeld(const TCardList& list) {
    Melds.push_back(list);
    // A card in a meld has done what a pickup asked of it.
    for (TCard& c : Melds.back()) c.Flags &= ~MustMeld;
    LogMeld(!list.empty() && (list[0].Flags & Yours) ? "You" : OpponentName, list);
    for (const TCard& c : list) NoteMelded(c);
    SortByRank(Melds.back());
}

void Game::AddToMeld(TCardList& meld, TCard card) {
    card.Flags &= ~MustMeld;
    AppendCard(meld, card);
    WriteLog(CardName(card, " of ") + " added to a meld");
    SortByRank(meld);
    NoteMelded(card);
}

void Game::NoteMelded(TCard card) {
    if (card.Rank >= 13 || card.Suit >= 4) return;
    MeldedCards[RankMajorIndex(card)] = 1;
    SeenCards[RankMajorIndex(card)] = 1;
    for (int s = 0; s < 4; ++s)
        if (!MeldedCards[card.Rank * 4 + s]) return;
    const std::string rank = RankNames[card.Rank];
    if (!PlaySoundId(100 + card.Rank)) host.ShowBalloon("Skelda", "All " + rank + "a are gone!");
    WriteLog("All " + rank + "s are gone!");
}

bool Game::LayOffSelected() {
    const TCardList selected = SelectedCards();
    // Find a meld for every card first, counting the cards placed before it; all or none.
    std::vector<TCardList> trial = Melds;
    std::vector<size_t> target;
    target.reserve(selected.size());
    for (const TCard& c : selected) {
        size_t m = 0;
        while (m < trial.size() && !CanLayOff(trial[m], c)) ++m;
        if (m == trial.size()) return false;
        trial[m].push_back(c);
        target.push_back(m);
    }
    for (size_t k = 0; k < selected.size(); ++k) {
        TCard c = selected[k];
        TCardList& meld = Melds[target[k]];
        if (c.Rank == Ace && HoldsAceAndTwo(c.Suit, meld, selected)) c.Flags |= AceLow;
        c.Flags |= Yours;
        AddToMeld(meld, c);
    }
    RemoveSelected();
    return true;
}

// Whether the card at `index` can be used at once: three cards of the hand and the cards
// taken along that include it and form a meld, or a table meld that takes it. Counting
// stands in for trying every triple: a set needs three cards of its rank (the card
// itself is one), a run needs the two cards of its suit on one side of it or around it.
bool Game::CanTakeDiscards(int index, const TCardList& hand) {
    if (index < 0 || index >= static_cast<int>(DiscardPile.size())) return false;
    const TCard bottom = DiscardPile[index];
    int sameRank = 0;
    uint32_t suitRanks = 0;  // bit r: a card of the bottom card's suit and rank r
    bool foreign = false;    // a card outside the deck, from a damaged position
    auto note = [&](TCard c) {
        if (c.Rank >= 13 || c.Suit >= 4) foreign = true;
        if (c.Rank == bottom.Rank) ++sameRank;
        if (c.Suit == bottom.Suit) suitRanks |= 1u << (c.Rank & 15);
    };
    for (const TCard& c : hand) note(c);
    for (size_t i = index; i < DiscardPile.size(); ++i) note(DiscardPile[i]);
    if (foreign) return CanTakeDiscardsLiteral(*this, index, hand);

    bool meld = sameRank >= 3;
    const int r = bottom.Rank;
    for (int low = r - 2; !meld && low <= r; ++low) {
        if (low < 0 || low + 2 > 12) continue;
        const uint32_t window = 7u << low;
        meld = (suitRanks & window) == window;
    }
    // Queen, King and Ace read Ace-high.
    const uint32_t topRun = (1u << 11) | (1u << 12) | 1u;
    if (!meld && (r == 11 || r == 12 || r == 0)) meld = (suitRanks & topRun) == topRun;
    if (meld) {
        DiscardPile[index].Flags |= MustMeld;
        return true;
    }

    bool any = false;
    for (const TCardList& m : Melds)
        if (CanLayOff(m, bottom)) {
            DiscardPile[index].Flags |= MustMeld;
            any = true;
        }
    return any;
}

void Game::TakeDiscards(TCardList& hand) {
    if (PickupIndex < 0 || PickupIndex >= static_cast<int>(DiscardPile.size())) return;
    host.DrawPickupMarker(PickupIndex * CardStep, 32);
    HavePickedCard = false;
    PickedExtras = 0;
    const TCard bottom = DiscardPile[PickupIndex];
    if (&hand == &YourHand) {
        AddWrapping(RankInterest[bottom.Rank % 13], 3);
        AddWrapping(SuitInterest[bottom.Suit % 4], 2);
    }
    for (size_t i = PickupIndex; i < DiscardPile.size(); ++i) {
        // A card discarded while selected keeps the flag on the pile; it comes back
        // into the human's hand lowered, like every card that arrives there.
        TCard& taken = AppendCard(hand, DiscardPile[i]);
        if (&hand == &YourHand) taken.Flags &= ~Selected;
        if (!HavePickedCard)
            HavePickedCard = true;
        else
            ++PickedExtras;
    }
    if (PickedExtras >= 6) {
        if (!PlaySoundId(7)) host.Pause(4096);
    } else {
        host.Pause(4096);
    }
    DiscardPile.resize(PickupIndex);
}

}  // namespace skelda
