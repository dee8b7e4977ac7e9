// The game's part of the start-up sequence: names, the settings the game reads, the
// start-up sound, who opens, then the saved game to resume or a new round. The window's
// own settings (melds shown horizontally, music, table colour and picture, card deck
// and back) are read by the desktop program.
#include "game/Game.h"
#include "game/Random.h"
#include "persist/SavedGameFormat.h"

namespace skelda {

void Game::Startup() {
    StartupGameName = "MyGame";
    PickOpponentName();
    PlayerName = host.LogonName();
    RoundNumber = 0;
    RoundActive = true;
    YourScores.clear();
    OpponentScores.clear();

    SettingsStore& s = host.Settings();
    // A stored name that could not be a file in the data folder is no name at all.
    std::string message;
    if (auto name = s.ReadText("Autoload", 261); name && CheckSavedGameName(*name, message))
        StartupGameName = *name;
    SavedGameName = StartupGameName;
    OddPickup = s.ReadNumber("OddPickup").value_or(MaxOdds);
    OddEasy = s.ReadNumber("OddEasy").value_or(MaxOdds);
    if (auto styles = s.ReadBytes("AIStyles"); styles && styles->size() == 2) {
        AIBehaviour = static_cast<uint8_t>((*styles)[0]);
        AILevel = static_cast<uint8_t>((*styles)[1]);
    } else {
        AIBehaviour = 1;
        AILevel = 1;
    }
    if (auto name = s.ReadText("Username", 256)) PlayerName = *name;
    if (s.Exists("NoSound")) NoSound = true;
    GamesPlayed = static_cast<int32_t>(s.ReadNumber("GamesPlayed").value_or(0));

    PlaySoundId(8);
    ComputerFirst = RandomFirstPlayer();
    HumansTurn = !ComputerFirst;
    // A game that was in play when the program last stopped without a clean end comes
    // first; a damaged record is set aside and the start-up goes on as usual.
    if (ResumeRecovery()) return;
    if (host.FileExists(SavedGamePath(StartupGameName)))
        LoadGame1Click(false);
    else
        NewRound();
}

}  // namespace skelda
