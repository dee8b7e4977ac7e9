#include "game/CanTakeDiscardsLiteral.h"

namespace skelda {

bool CanTakeDiscardsLiteral(Game& g, int index, const TCardList& hand) {
    TCardList& pile = g.DiscardPile;
    if (index < 0 || index >= static_cast<int>(pile.size())) return false;
    const TCard bottom = pile[index];
    TCardList work = hand;
    work.insert(work.end(), pile.begin() + index, pile.end());
    const size_t n = work.size();
    TCardList triple(3);
    for (size_t p = 0; p < n; ++p)
        for (size_t q = p + 1; q < n; ++q)
            for (size_t r = q + 1; r < n; ++r) {
                if (!SameCard(work[p], bottom) && !SameCard(work[q], bottom) &&
                    !SameCard(work[r], bottom))
                    continue;
                triple[0] = work[p];
                triple[1] = work[q];
                triple[2] = work[r];
                if (Game::IsValidMeld(triple)) {
                    pile[index].Flags |= MustMeld;
                    return true;
                }
            }
    bool any = false;
    for (const TCardList& meld : g.Melds)
        if (Game::CanLayOff(meld, bottom)) {
            pile[index].Flags |= MustMeld;
            any = true;
        }
    return any;
}

}  // namespace skelda
