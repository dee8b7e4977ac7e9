// The computer's turn: the Timer4 tick that runs it and hands the table back to the
// human, and the turn itself (lay-off check of the top discard, draw, meld, discard).
#include "game/Game.h"

namespace skelda {

void Game::Timer4Timer() {
    if (!timers.Timer4) return;
    SwitchTimer(TimerId::Timer4, false);
    // No saving in the middle of the computer's turn.
    controls.SaveGame1 = false;

    const bool wasActive = RoundActive;
    const int32_t roundBefore = RoundNumber;
    const bool dealingBefore = timers.Timer1;
    ComputerTurn();
    // A turn that ended the round has already scored it and, unless the game is over,
    // started the next deal; handing the table to the human now would overwrite the new
    // round's first player and prompt.
    const bool roundEnded = (wasActive && !RoundActive) || RoundNumber != roundBefore ||
                            (!dealingBefore && timers.Timer1);
    if (!roundEnded) {
        RepaintArea(Area::PaintBox1);
        RepaintArea(Area::PaintBox2);
        RepaintArea(Area::PaintBox3);
        RepaintArea(Area::PaintBox5);
        RepaintArea(Area::PaintBox6);
        HumansTurn = true;
        SetTurnPhase(1);
    }
    controls.SaveGame1 = true;
    if (!roundEnded) StatusPrompt = "Your turn, please draw or pickup discard";
}

void Game::ComputerTurn() {
    DiscardRunTaken = false;
    SetTurnPhase(1);
    HumansTurn = false;
    StatusPrompt = OpponentName + " is now taking its turn";

    bool topCardLaysOff = false;
    if (!DiscardPile.empty()) {
        const TCard top = DiscardPile.back();
        for (const TCardList& meld : Melds)
            if (CanLayOff(meld, top)) {
                topCardLaysOff = true;
                PlaySoundId(6);
                break;
            }
    }
    PlaySoundId(3);

    const TCard obtained = ComputerDraw(topCardLaysOff);
    if (!GameInPlay() || (obtained.Flags & NoCard)) return;

    SetTurnPhase(2);
    if (ComputerMeld()) {
        host.LogLine(" " + OpponentName + " Melded ");
        PlaySoundId(3);
    }
    SetTurnPhase(3);
    RepaintArea(Area::PaintBox2);
    ComputerDiscard(obtained);
    HumansTurn = true;
    SetTurnPhase(1);
    PickedExtras = 0;
    PlaySoundId(3);
}

}  // namespace skelda
