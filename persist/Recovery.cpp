// Crash recovery: the game in play is kept in a record of the saved-game format after
// every completed turn, so a program that is killed or crashes loses at most the turn
// it was in. A clean end removes the record; the next start-up resumes it.
#include "game/Game.h"
#include "persist/SavedGameFormat.h"

namespace skelda {

namespace {
// Saved games are "<name>.sav" whatever name a player chooses; this name can be none.
const char* const RecoveryFileName = "Skelda.recovery";
const char* const DamagedSuffix = ".damaged";
}  // namespace

std::string Game::RecoveryPath() {
    return host.DataFolder() + "/" + RecoveryFileName;
}

void Game::NoteStableState(bool toFile) {
    // A host without a data folder (the simulator) keeps no files at all.
    if (!KeepRecovery || host.DataFolder().empty()) return;
    if (!GameInPlay()) {
        StableState.clear();
        if (toFile) RemoveRecovery();
        return;
    }
    const uint8_t opponentToMove = timers.Timer4 ? StateOpponentToMove : 0;
    SavedGameRecord record;
    std::string why;
    if (!SerializeGame(opponentToMove, record, why)) return;
    StableState = SavedGameFileBytes(record);
    if (!toFile) return;
    std::string error;
    if (host.WriteFile(RecoveryPath(), StableState, error)) {
        RecoveryFailing = false;
    } else if (!RecoveryFailing) {
        // Said once, not at every turn; play goes on.
        RecoveryFailing = true;
        WriteLog("The game in play cannot be kept for recovery: " + error);
    }
}

void Game::RemoveRecovery() {
    if (host.DataFolder().empty()) return;
    const std::string path = RecoveryPath();
    if (host.FileExists(path)) host.RemoveFile(path);
}

bool Game::ResumeRecovery() {
    if (host.DataFolder().empty()) return false;
    const std::string path = RecoveryPath();
    if (!host.FileExists(path)) return false;
    const std::optional<std::string> file = host.ReadFile(path);
    SavedFileCheck check;
    if (file) check = CheckSavedGameFile(*file);
    if (file && check.error == SavedFileError::None && RestoreGame(check.record)) {
        WriteLog("Resumed the game that was in play when Skelda last stopped");
        host.ShowBalloon("Skelda",
                         "The game that was in play when Skelda stopped has been resumed.");
        return true;
    }
    // Kept for a look, out of the way of the next start-up.
    const std::string aside = path + DamagedSuffix;
    if (host.RenameFile(path, aside))
        WriteLog(std::string("The recovery record is damaged; it was set aside as ") +
                 RecoveryFileName + DamagedSuffix);
    else if (host.RemoveFile(path))
        WriteLog("The recovery record is damaged; it was removed");
    else
        WriteLog("The recovery record is damaged and cannot be set aside");
    return false;
}

}  // namespace skelda
