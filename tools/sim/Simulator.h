// Self-play: the computer against a built-in player on the human's side, game after
// game, with the table checked after every action when asked.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "game/Game.h"
#include "opponent/Master.h"

namespace skelda::sim {

struct SimOptions {
    uint64_t games = 1000;
    uint32_t seed = 1;
    int level = -1;  // -1: the four levels in turn, game by game
    uint8_t behaviour = 1;
    uint32_t oddPickup = MaxOdds;
    uint32_t oddEasy = MaxOdds;
    std::string player = "greedy";
    bool check = false;
    int maxRounds = 1000;  // a game still open after this many rounds is given up
    // The Master engine's settings for the computer's seat and the player's.
    master::Tuning computerTuning, playerTuning;
};

struct LevelStats {
    uint64_t games = 0;
    uint64_t computerWins = 0;
    uint64_t unfinished = 0;
    uint64_t rounds = 0;
    uint64_t turns = 0;
};

struct SimResult {
    std::map<int, LevelStats> levels;
    uint64_t games = 0;
    uint64_t rounds = 0;
    uint64_t turns = 0;
    uint64_t refusals = 0;  // the human's actions the table refused
    uint32_t signature = 2166136261u;
    std::string violation;           // empty when every check held
    double seconds = 0;              // wall-clock time
    double cpuSeconds = 0;           // processor time of this process (one thread)
    std::vector<double> decisionMs;  // every decision of the Master engine, either seat
};

// The options from the command line; false (and a reason) for unusable ones.
bool ParseSimOptions(int argc, char** argv, SimOptions& out, std::string& error);
SimResult RunSimulation(const SimOptions& options);
// The line that only changes when the play changes: no times in it.
std::string SummaryLine(const SimOptions& options, const SimResult& result);
// The win rates per level, the computer's and the player's, with 95% Wilson intervals,
// one level a line.
std::string LevelTable(const SimResult& result);
std::string SpeedLine(const SimResult& result);
// The Master engine's decision times (p50, p99, max); empty when it made none.
std::string DecisionLine(const SimResult& result);

}  // namespace skelda::sim
