// The human's own order of the hand: cards moved by hand within it. Only the order
// changes; every card keeps its flags, and a saved game keeps the order like any other.
#include <algorithm>

#include "game/Game.h"

namespace skelda {

bool Game::ArrangeHand(const std::vector<int>& order) {
    const size_t n = YourHand.size();
    if (order.size() != n) return false;
    std::vector<bool> used(n, false);
    for (int i : order) {
        if (i < 0 || static_cast<size_t>(i) >= n || used[static_cast<size_t>(i)]) return false;
        used[static_cast<size_t>(i)] = true;
    }
    TCardList arranged;
    arranged.reserve(n);
    for (int i : order) arranged.push_back(YourHand[static_cast<size_t>(i)]);
    YourHand.swap(arranged);
    RepaintArea(Area::PaintBox4);
    return true;
}

std::vector<int> MoveWithin(size_t count, const std::vector<int>& moved, int before) {
    std::vector<int> order;
    std::vector<bool> isMoved(count, false);
    for (int i : moved)
        if (i >= 0 && static_cast<size_t>(i) < count) isMoved[static_cast<size_t>(i)] = true;
    before = std::clamp(before, 0, static_cast<int>(count));
    std::vector<int> block;
    for (size_t i = 0; i < count; ++i)
        if (isMoved[i]) block.push_back(static_cast<int>(i));
    for (int i = 0; i <= static_cast<int>(count); ++i) {
        if (i == before) order.insert(order.end(), block.begin(), block.end());
        if (i < static_cast<int>(count) && !isMoved[static_cast<size_t>(i)]) order.push_back(i);
    }
    return order;
}

}  // namespace skelda
