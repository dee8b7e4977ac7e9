// The computer's turn: the Timer4 tick that runs it and hands the table back to the
// human, and the turn itself (lay-off check of the top discard, draw, meld, discard).
#include <optional>

#include "game/Game.h"
#include "opponent/MasterTurn.h"

namespace skelda {

namespace {

// Whether the round that was running at construction has since been scored: the round
// ended, a new one was started, or a new deal began.
class RoundWatch {
public:
    explicit RoundWatch(const Game& g)
        : g_(g), active_(g.RoundActive), round_(g.RoundNumber), dealing_(g.timers.Timer1) {}
    bool Ended() const {
        return (active_ && !g_.RoundActive) || g_.RoundNumber != round_ ||
               (!dealing_ && g_.timers.Timer1);
    }

private:
    const Game& g_;
    bool active_;
    int32_t round_;
    bool dealing_;
};

}  // namespace

void Game::Timer4Timer() {
    if (!timers.Timer4) return;
    // Should the program end half-way through, this is the game to save.
    NoteStableState(false);
    SwitchTimer(TimerId::Timer4, false);
    // No saving in the middle of the computer's turn.
    controls.SaveGame1 = false;

    const RoundWatch watch(*this);
    ComputerTurn();
    // A turn that ended the round has already scored it and, unless the game is over,
    // started the next deal; handing the table to the human now would overwrite the new
    // round's first player and prompt.
    const bool roundEnded = watch.Ended();
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
    WriteRecovery();
}

void Game::ComputerTurn() {
    LastComputerTurn = ComputerTurnRecord{};
    LastComputerTurn.recorded = true;
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

    // The Master level plans its own turn; the steps around its decisions are the same.
    std::optional<MasterTurn> master;
    if (AILevel == MasterLevel) master.emplace(*this);
    const TCard obtained = master ? master->Draw() : ComputerDraw(topCardLaysOff);
    if (!GameInPlay() || (obtained.Flags & NoCard)) return;

    SetTurnPhase(2);
    if (master ? master->Meld() : ComputerMeld()) {
        host.LogLine(" " + OpponentName + " Melded ");
        PlaySoundId(3);
    }
    SetTurnPhase(3);
    RepaintArea(Area::PaintBox2);
    const RoundWatch watch(*this);
    if (master)
        master->Discard();
    else
        ComputerDiscard(obtained);
    // Going out has started the next round, whose first player stands.
    if (!watch.Ended()) {
        HumansTurn = true;
        SetTurnPhase(1);
    }
    PickedExtras = 0;
    PlaySoundId(3);
}

}  // namespace skelda
