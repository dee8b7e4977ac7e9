// The player's record of finished games: won and lost, overall and per strength level,
// the best and the summed winning totals, the winning streaks and the games won without
// a hint. Kept in the settings
// store under names of its own, so the desktop program and the headless driver share
// it. A value that cannot be read as a count reads as zero and is written back as zero.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "persist/SettingsStore.h"

namespace skelda {

constexpr int StatisticsLevels = 5;  // Easy(dumb), Medium, Hard, Expert, Master

struct Statistics {
    uint32_t won = 0;
    uint32_t lost = 0;
    std::array<uint32_t, StatisticsLevels> wonAtLevel{};
    std::array<uint32_t, StatisticsLevels> lostAtLevel{};
    uint32_t bestWin = 0;    // the highest winning total
    uint32_t winPoints = 0;  // the winning totals added up, for the average
    uint32_t streak = 0;     // games won in a row, up to the last one
    uint32_t longestStreak = 0;
    uint32_t wonWithoutHint = 0;  // games won with no hint asked for

    uint64_t played() const { return uint64_t{won} + lost; }
    // Wins as a share of the finished games, 0 to 100; -1 when none was finished.
    static int RatePercent(uint32_t won, uint32_t lost);
    // The average winning total, rounded down; 0 without a win.
    uint32_t averageWin() const { return won == 0 ? 0 : winPoints / won; }
};

// Reads the record; damaged values are repaired in the store as they are found.
Statistics ReadStatistics(SettingsStore& store);
// Adds one decided game at `level` (AILevel; a level outside 0..4 counts only overall);
// `hinted`: a hint was given during the game.
void RecordGameResult(SettingsStore& store, bool won, int level, int32_t total,
                      bool hinted = false);
// Deletes every statistics value (GamesPlayed, the count of rounds dealt, stays).
void ResetStatistics(SettingsStore& store);
// The record as lines of text, CR LF between them.
std::string StatisticsReport(const Statistics& s);

}  // namespace skelda
