// Saving and loading games, and the close query that offers to save at the end.
#include "game/Game.h"
#include "persist/SavedGameFormat.h"

namespace skelda {

std::string Game::SavedGamePath(const std::string& name) {
    return host.DataFolder() + "/" + name + ".sav";
}

bool Game::SerializeGame(uint8_t opponentToMove, SavedGameRecord& record, std::string& why) const {
    if (RoundNumber < 0 || RoundNumber > static_cast<int32_t>(SavedMaxRounds))
        return why = "the game has more than 255 rounds", false;
    if (NextCard < 0 || NextCard > 52) return why = "the stock index is past the deck", false;
    SavedGameData d;
    d.shuffleSeed = ShuffleSeed;
    d.roundNumber = static_cast<uint8_t>(RoundNumber);
    d.backID = BackID;
    d.nextCard = static_cast<uint8_t>(NextCard);
    d.stateBits = static_cast<uint8_t>((TurnPhase == 1 ? StateDrawPhase : 0) |
                                       (ComputerFirst ? StateComputerFirst : 0) |
                                       (opponentToMove & StateOpponentToMove));
    d.turnPhase = TurnPhase;
    d.discardPile = DiscardPile;
    d.deck = Deck;
    d.yourHand = YourHand;
    d.opponentHand = OpponentHand;
    d.yourScores = YourScores;
    d.opponentScores = OpponentScores;
    d.melds = Melds;
    d.playerName = PlayerName;
    d.opponentName = OpponentName;
    d.suitInterest = SuitInterest;
    d.rankInterest = RankInterest;
    d.seenCards = SeenCards;
    d.meldedCards = MeldedCards;
    return EncodeSavedGame(d, record, why);
}

bool Game::RestoreGame(const SavedGameRecord& record) {
    const std::optional<SavedGameData> read = ReadSavedGame(record);
    if (!read) return false;
    const SavedGameData& d = *read;

    // A deal or a computer turn of the old game must not run on into this one.
    if (timers.Timer1) SwitchTimer(TimerId::Timer1, false);
    if (timers.Timer4) SwitchTimer(TimerId::Timer4, false);

    ShuffleSeed = d.shuffleSeed;
    LastComputerTurn = ComputerTurnRecord{};
    // Nothing of the loaded game can be taken back, and no advice of the old one holds.
    TakeBackSteps.clear();
    Advice = TableAdvice{};
    RoundNumber = d.roundNumber;
    DiscardPile = d.discardPile;
    SeenCards = d.seenCards;
    MeldedCards = d.meldedCards;
    RankInterest = d.rankInterest;
    SuitInterest = d.suitInterest;
    Deck = d.deck;
    NextCard = d.nextCard;
    PlayerName = d.playerName;
    OpponentName = d.opponentName;
    YourHand = d.yourHand;
    OpponentHand = d.opponentHand;
    BackID = d.backID;
    YourScores = d.yourScores;
    OpponentScores = d.opponentScores;
    Melds = d.melds;
    ComputerFirst = (d.stateBits & StateComputerFirst) != 0;
    SavedOnOpponentsTurn = (d.stateBits & StateOpponentToMove) != 0;
    const uint8_t phase = (d.stateBits & StateDrawPhase) ? 1 : d.turnPhase;

    // What a pickup of the old game left behind does not belong to this one.
    PickupIndex = 0;
    HavePickedCard = false;
    PickedExtras = 0;
    DiscardRunTaken = false;
    controls.SaveGame1 = true;

    // Give the move back. The file says whose move it was through the phase and the
    // opponent-to-move bit; the deal of a round still being dealt simply goes on.
    const bool decided = !YourScores.empty() &&
                         (YourTotal() >= WinningTotal || OpponentTotal() >= WinningTotal) &&
                         YourTotal() != OpponentTotal();
    bool computerMoves = false;
    if (decided) {
        RoundActive = false;
        HumansTurn = false;
        SetTurnPhase(0);
    } else if (DiscardPile.empty() && NextCard < 14) {
        RoundActive = true;
        HumansTurn = !ComputerFirst;
        SwitchTimer(TimerId::Timer1, true);
        SetTurnPhase(1);
    } else if (SavedOnOpponentsTurn || phase == 0 || phase == 3) {
        RoundActive = true;
        HumansTurn = false;
        SetTurnPhase(0);
        SwitchTimer(TimerId::Timer4, true);
        computerMoves = true;
    } else {
        RoundActive = true;
        HumansTurn = true;
        SetTurnPhase(phase);
    }

    RepaintArea(Area::All);
    StatusPrompt = computerMoves ? "Its the " + OpponentName + " turn..." : "Its your turn";
    NoteStableState(false);
    return true;
}

bool Game::SaveGameAs(const std::string& name) {
    std::string message;
    if (!WriteSavedGame(name, message)) {
        ShowError(message);
        return false;
    }
    return true;
}

bool Game::WriteSavedGame(const std::string& name, std::string& message) {
    if (!CheckSavedGameName(name, message)) return false;
    // A computer turn that is due is saved as the opponent's move.
    const uint8_t opponentToMove = timers.Timer4 ? StateOpponentToMove : 0;
    SavedGameRecord record;
    std::string why;
    if (!SerializeGame(opponentToMove, record, why)) {
        message = "This game cannot be saved: " + why + ".";
        return false;
    }
    std::string error;
    if (!host.WriteFile(SavedGamePath(name), SavedGameFileBytes(record), error)) {
        message = "The game was not saved. " + error;
        return false;
    }
    return true;
}

bool Game::SaveSilently(bool midOperation) {
    if (!GameInPlay()) {
        RemoveRecovery();
        return true;
    }
    std::string message;
    bool saved = false;
    if (midOperation && !StableState.empty()) {
        // Half-way through a turn the table is between two states; what is saved is the
        // game as it stood when the last turn was complete.
        std::string error;
        if (CheckSavedGameName(SavedGameName, message)) {
            saved = host.WriteFile(SavedGamePath(SavedGameName), StableState, error);
            if (!saved) message = "The game was not saved. " + error;
        }
    } else {
        saved = WriteSavedGame(SavedGameName, message);
    }
    if (!saved) {
        // The recovery record stays, so the next start-up resumes the game all the same.
        WriteLog("The game in play could not be saved at shut-down: " + message);
        return false;
    }
    host.Settings().WriteText("Autoload", SavedGameName);
    WriteLog("The game in play was saved as \"" + SavedGameName + "\" at shut-down");
    RemoveRecovery();
    return true;
}

void Game::SaveGame1Click(bool fromMenu) {
    if (!fromMenu) {
        // The close-time save names the game to resume at the next start.
        if (SaveGameAs(SavedGameName)) host.Settings().WriteText("Autoload", SavedGameName);
        return;
    }
    const auto answer = host.InputBox("Save Game", "Enter saved game name", SavedGameName);
    if (!answer) return;
    std::string message;
    if (!CheckSavedGameName(*answer, message)) {
        ShowError(message);
        return;
    }
    SavedGameName = *answer;
    SaveGameAs(SavedGameName);
}

void Game::LoadGame1Click(bool fromMenu) {
    if (fromMenu) {
        const auto answer = host.InputBox("Load Game", "Enter saved game name", SavedGameName);
        if (!answer) return;
        std::string message;
        if (!CheckSavedGameName(*answer, message)) {
            ShowError(message);
            return;
        }
        SavedGameName = *answer;
    } else {
        std::string buffer = host.Settings().ReadText("Autoload", 261).value_or(SavedGameName);
        std::string message;
        if (CheckSavedGameName(buffer, message)) SavedGameName = buffer;
    }
    const std::string name = SavedGameName;

    // At start-up any failure gives a new game; from the menu the table stays as it was.
    auto fail = [&](const std::string& text) {
        ShowError(text);
        if (!fromMenu) NewGame(false);
    };
    const std::optional<std::string> file = host.ReadFile(SavedGamePath(name));
    if (!file) return fail("Cannot open the saved game \"" + name + "\".");
    const SavedFileCheck check = CheckSavedGameFile(*file);
    if (check.error != SavedFileError::None) return fail(SavedFileErrorText(check));
    if (!RestoreGame(check.record)) return fail(GameFailedToLoadText);
}

// Whether the main window may close.
bool Game::FormCloseQuery() {
    const Answer a = host.MessageBox("Skelda", "Save game?", Icon::Question, Buttons::YesNoCancel);
    if (a == Answer::Cancel) return false;
    if (a == Answer::Yes) {
        // A failed save keeps the window open, so the game is not lost with it.
        if (!SaveGameAs(SavedGameName)) return false;
        host.Settings().WriteText("Autoload", SavedGameName);
        RemoveRecovery();
        return true;
    }
    // Whatever the answer to the delete question, this is a clean end.
    RemoveRecovery();
    std::string message;
    if (!CheckSavedGameName(StartupGameName, message)) return true;
    const std::string path = SavedGamePath(StartupGameName);
    if (host.FileExists(path) &&
        host.MessageBox("Skelda", "Delete saved game \"" + StartupGameName + "\"?", Icon::Warning,
                        Buttons::YesNo) == Answer::Yes &&
        !host.RemoveFile(path))
        ShowError("The saved game \"" + StartupGameName + "\" could not be deleted.");
    return true;
}

}  // namespace skelda
