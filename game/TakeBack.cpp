// Taking back the human's actions of the turn: the state before each one is kept, and
// Game > Take Back puts the latest back, with a line in the log.
#include "game/TakeBack.h"

#include "game/Game.h"

namespace skelda {

namespace {

bool SameCards(const TCardList& a, const TCardList& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!SameCard(a[i], b[i]) || a[i].Flags != b[i].Flags) return false;
    return true;
}

bool SameMelds(const std::vector<TCardList>& a, const std::vector<TCardList>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!SameCards(a[i], b[i])) return false;
    return true;
}

uint8_t ControlBits(const Controls& c) {
    return static_cast<uint8_t>(c.PaintBox4 | c.PaintBox5 << 1 | c.PaintBox6 << 2 | c.Button1 << 3 |
                                c.Button2 << 4 | c.SaveGame1 << 5);
}

Controls ControlsOf(uint8_t bits) {
    Controls c;
    c.PaintBox4 = bits & 1;
    c.PaintBox5 = bits & 2;
    c.PaintBox6 = bits & 4;
    c.Button1 = bits & 8;
    c.Button2 = bits & 16;
    c.SaveGame1 = bits & 32;
    return c;
}

bool HoldsMustMeld(const TCardList& hand) {
    for (const TCard& c : hand)
        if (c.Flags & MustMeld) return true;
    return false;
}

// The cards of `from` that are not in `to`, in the order of `from`.
TCardList Gone(const TCardList& from, const TCardList& to) {
    TCardList out;
    for (const TCard& c : from)
        if (!ContainsCard(to, c)) out.push_back(c);
    return out;
}

std::string Names(const TCardList& cards) {
    std::string s;
    for (const TCard& c : cards) s += (s.empty() ? "" : ", ") + CardName(c, " of ");
    return s;
}

std::string StepText(const TakeBackStep& step) {
    const TurnSnapshot& b = step.before;
    const TurnSnapshot& a = step.after;
    switch (step.kind) {
        case TakeBackKind::Select:
            for (size_t i = 0; i < b.yourHand.size() && i < a.yourHand.size(); ++i)
                if (b.yourHand[i].Flags != a.yourHand[i].Flags)
                    return std::string((a.yourHand[i].Flags & Selected) ? "selecting"
                                                                        : "unselecting") +
                           " the " + CardName(b.yourHand[i], " of ");
            return "a selection";
        case TakeBackKind::Sort: return "sorting your hand";
        case TakeBackKind::Pickup:
            if (a.pickupIndex >= 0 && a.pickupIndex < static_cast<int>(b.discardPile.size()))
                return "the pickup of the " + CardName(b.discardPile[a.pickupIndex], " of ");
            return "the pickup";
        case TakeBackKind::Meld: {
            const TCardList played = Gone(b.yourHand, a.yourHand);
            const bool newMeld = a.melds.size() > b.melds.size();
            return std::string(newMeld ? "your meld: " : "the lay-off: ") + Names(played);
        }
    }
    return {};
}

}  // namespace

bool SameTurnState(const TurnSnapshot& a, const TurnSnapshot& b) {
    return !CardsDiffer(a, b) && SameCards(a.opponentHand, b.opponentHand) &&
           a.rankInterest == b.rankInterest && a.suitInterest == b.suitInterest &&
           a.meldedCards == b.meldedCards && a.nextCard == b.nextCard &&
           a.roundNumber == b.roundNumber && a.pickupIndex == b.pickupIndex &&
           a.shuffleSeed == b.shuffleSeed && a.roundsScored == b.roundsScored &&
           a.turnPhase == b.turnPhase && a.humansTurn == b.humansTurn &&
           a.roundActive == b.roundActive && a.havePickedCard == b.havePickedCard &&
           a.pickedExtras == b.pickedExtras && a.controls == b.controls && a.timers == b.timers &&
           a.statusPrompt == b.statusPrompt;
}

bool CardsDiffer(const TurnSnapshot& a, const TurnSnapshot& b) {
    return !SameCards(a.yourHand, b.yourHand) || !SameCards(a.discardPile, b.discardPile) ||
           !SameMelds(a.melds, b.melds);
}

std::string TakeBackLogLine(const std::vector<TakeBackStep>& steps) {
    std::string line = "You took back ";
    bool first = true;
    for (const TakeBackStep& s : steps) {
        // Selections between a pickup and the meld it forced go back unmentioned.
        if (steps.size() > 1 && s.kind != TakeBackKind::Pickup && &s != &steps.back()) continue;
        line += (first ? "" : " and ") + StepText(s);
        first = false;
    }
    return line;
}

TurnSnapshot Game::Snapshot() const {
    TurnSnapshot s;
    s.yourHand = YourHand;
    s.discardPile = DiscardPile;
    s.opponentHand = OpponentHand;
    s.melds = Melds;
    s.rankInterest = RankInterest;
    s.suitInterest = SuitInterest;
    s.meldedCards = MeldedCards;
    s.nextCard = NextCard;
    s.roundNumber = RoundNumber;
    s.pickupIndex = PickupIndex;
    s.shuffleSeed = ShuffleSeed;
    s.roundsScored = YourScores.size();
    s.turnPhase = TurnPhase;
    s.humansTurn = HumansTurn;
    s.roundActive = RoundActive;
    s.havePickedCard = HavePickedCard;
    s.pickedExtras = PickedExtras;
    s.controls = ControlBits(controls);
    s.timers = static_cast<uint8_t>(timers.Timer1 | timers.Timer4 << 1 | timers.Timer5 << 2);
    s.statusPrompt = StatusPrompt;
    return s;
}

void Game::NoteTurnAction(TakeBackKind kind, const TurnSnapshot& before) {
    TurnSnapshot after = Snapshot();
    if (!CardsDiffer(before, after)) return;
    // A history from before this action's turn, or cut by a draw, does not lead here.
    if (!TakeBackSteps.empty() && !SameTurnState(TakeBackSteps.back().after, before))
        TakeBackSteps.clear();
    // Once the turn has passed to the computer (a meld that left the hand empty) there is
    // nothing to take back.
    if (!HumansTurn || timers.Timer4 || timers.Timer1 || !RoundActive) {
        TakeBackSteps.clear();
        return;
    }
    TakeBackStep step;
    step.kind = kind;
    step.forced =
        kind == TakeBackKind::Meld && HoldsMustMeld(before.yourHand) && !HoldsMustMeld(YourHand);
    step.before = before;
    step.after = std::move(after);
    TakeBackSteps.push_back(std::move(step));
}

bool Game::CanTakeBack() const {
    if (TakeBackSteps.empty() || !HumansTurn || !RoundActive || timers.Timer1 || timers.Timer4)
        return false;
    return SameTurnState(TakeBackSteps.back().after, Snapshot());
}

bool Game::TakeBack1Click() {
    if (!CanTakeBack()) {
        TakeBackSteps.clear();
        return false;
    }
    std::vector<TakeBackStep> undone = {TakeBackSteps.back()};
    TakeBackSteps.pop_back();
    // A forced meld takes its pickup with it, and whatever lay between the two.
    if (undone.front().forced) {
        size_t k = TakeBackSteps.size();
        while (k > 0 && TakeBackSteps[k - 1].kind != TakeBackKind::Pickup) --k;
        if (k > 0) {
            undone.insert(undone.begin(), TakeBackSteps.begin() + static_cast<long>(k - 1),
                          TakeBackSteps.end());
            TakeBackSteps.resize(k - 1);
        }
    }
    const TurnSnapshot& s = undone.front().before;
    YourHand = s.yourHand;
    DiscardPile = s.discardPile;
    Melds = s.melds;
    RankInterest = s.rankInterest;
    SuitInterest = s.suitInterest;
    // What the computer has seen on the table stays seen; only the melds' own record of
    // their cards goes back.
    MeldedCards = s.meldedCards;
    PickupIndex = s.pickupIndex;
    HavePickedCard = s.havePickedCard;
    PickedExtras = s.pickedExtras;
    StatusPrompt = s.statusPrompt;
    controls = ControlsOf(s.controls);
    SetTurnPhase(s.turnPhase);
    controls = ControlsOf(s.controls);
    WriteLog(TakeBackLogLine(undone));
    ClearAdvice();
    RepaintArea(Area::All);
    return true;
}

TurnAction::TurnAction(Game& game, TakeBackKind kind)
    : game_(game), kind_(kind), before_(game.Snapshot()) {}

TurnAction::~TurnAction() {
    game_.NoteTurnAction(kind_, before_);
}

}  // namespace skelda
