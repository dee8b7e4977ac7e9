// Help > Hint and the line beside the pile: a hint's marks and reason, or why a move
// was refused. Asking changes nothing of the game but the marks and the line.
#include "game/Advice.h"

#include "game/Game.h"
#include "game/RefusalReason.h"
#include "opponent/CardText.h"
#include "opponent/Hint.h"

namespace skelda {

namespace {

// A line for a hint that came without one.
std::string HintLine(const HintAdvice& a) {
    if (!a.reason.empty()) return a.reason;
    switch (a.kind) {
        case HintAdvice::None: return "No hint for this position";
        case HintAdvice::DrawStock: return "Draw from the stock";
        case HintAdvice::TakePile: return "Take the pile";
        case HintAdvice::Meld: return "Meld " + ShortCardNames(a.cards);
        case HintAdvice::LayOff: return "Lay off " + ShortCardNames(a.cards);
        case HintAdvice::Discard: return "Discard " + ShortCardNames(a.cards);
    }
    return {};
}

}  // namespace

HintAdvice Game::Hint1Click() {
    HintAdvice hint;
    if (!GameInPlay() || !RoundActive)
        hint.reason = "No hint: the round is over";
    else if (timers.Timer1)
        hint.reason = "No hint while the cards are dealt";
    else if (!HumansTurn || timers.Timer4 || (TurnPhase != 1 && TurnPhase != 2))
        hint.reason = "No hint now: it is " +
                      (OpponentName.empty() ? "the computer" : OpponentName) + "'s turn";
    else
        hint = ComputeHint(*this);
    if (hint.kind != HintAdvice::None) HintUsed = true;

    TableAdvice a;
    a.line = HintLine(hint);
    switch (hint.kind) {
        case HintAdvice::DrawStock: a.stock = true; break;
        case HintAdvice::TakePile: a.pileIndex = hint.pileIndex; break;
        case HintAdvice::LayOff: a.meldIndex = hint.meldIndex; [[fallthrough]];
        case HintAdvice::Meld:
        case HintAdvice::Discard: a.handCards = hint.cards; break;
        case HintAdvice::None: break;
    }
    a.givenAt = Snapshot();
    Advice = std::move(a);
    // Straight to the host: a repaint through the game would note the pile as seen by
    // the computer, and asking must change nothing of what it knows.
    host.Repaint(Area::All);
    return hint;
}

void Game::ShowRefusal(const std::string& why) {
    TableAdvice a;
    a.line = why;
    a.givenAt = Snapshot();
    Advice = std::move(a);
    host.Repaint(Area::PaintBox6);
}

void Game::ClearAdvice() {
    const bool marked = Advice.stock || Advice.pileIndex >= 0 || !Advice.handCards.empty();
    const bool shown = CurrentAdvice() != nullptr;
    Advice = TableAdvice{};
    if (marked && shown) {
        // Straight to the host: nothing new is seen on the pile.
        for (Area area :
             {Area::PaintBox2, Area::PaintBox3, Area::PaintBox4, Area::PaintBox5, Area::PaintBox6})
            host.Repaint(area);
    } else if (shown) {
        host.Repaint(Area::PaintBox6);
    }
}

const TableAdvice* Game::CurrentAdvice() const {
    if (Advice.line.empty()) return nullptr;
    return SameTurnState(Advice.givenAt, Snapshot()) ? &Advice : nullptr;
}

std::string Game::AdviceLine() const {
    const TableAdvice* a = CurrentAdvice();
    return a ? a->line : std::string();
}

}  // namespace skelda
