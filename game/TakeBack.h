// Taking back the human's own actions of the current turn. Before each action of the
// turn (a selection, a sort, a pickup from the pile, a meld or a lay-off) the state that
// the action may change is kept; taking back puts the latest one back. A draw from the
// stock ends what can be taken back (it showed a hidden card), and the discard ends the
// turn. The history lives in memory only, so a saved game always holds a whole state.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "game/Card.h"

namespace skelda {

// The part of the game that the human's actions in a turn change, and what tells one
// turn from another (the stock, the round, the computer's hand, the timers).
struct TurnSnapshot {
    TCardList yourHand;
    TCardList discardPile;
    TCardList opponentHand;
    std::vector<TCardList> melds;
    std::array<int32_t, 13> rankInterest{};
    std::array<int32_t, 4> suitInterest{};
    std::array<uint8_t, 52> meldedCards{};
    int32_t nextCard = 0;
    int32_t roundNumber = 0;
    int32_t pickupIndex = 0;
    uint32_t shuffleSeed = 0;
    size_t roundsScored = 0;
    uint8_t turnPhase = 0;
    bool humansTurn = false;
    bool roundActive = false;
    bool havePickedCard = false;
    int pickedExtras = 0;
    uint8_t controls = 0;  // bit per control, in the order of Controls
    uint8_t timers = 0;    // Timer1, Timer4, Timer5
    std::string statusPrompt;
};

// Equal in every field, card flags included.
bool SameTurnState(const TurnSnapshot& a, const TurnSnapshot& b);
// Whether the cards of the hands, the pile and the melds differ (flags included).
bool CardsDiffer(const TurnSnapshot& a, const TurnSnapshot& b);

enum class TakeBackKind { Select, Sort, Pickup, Meld };

struct TakeBackStep {
    TakeBackKind kind = TakeBackKind::Select;
    TurnSnapshot before;
    TurnSnapshot after;
    // A meld or lay-off that put the card a pickup obliged into a meld: it goes back
    // together with that pickup.
    bool forced = false;
};

using TakeBackHistory = std::vector<TakeBackStep>;

class Game;

// Kept around one action of the human: notes the action in the history when it changed
// the cards and left the turn with the human.
class TurnAction {
public:
    TurnAction(Game& game, TakeBackKind kind);
    ~TurnAction();
    TurnAction(const TurnAction&) = delete;
    TurnAction& operator=(const TurnAction&) = delete;

private:
    Game& game_;
    TakeBackKind kind_;
    TurnSnapshot before_;
};

// The log line of taking back `steps` (the latest last; more than one only for a forced
// meld and its pickup, the pickup first).
std::string TakeBackLogLine(const std::vector<TakeBackStep>& steps);

}  // namespace skelda
