// The statistics of finished games in the settings store.
#include "persist/Statistics.h"

#include <algorithm>

namespace skelda {

namespace {

constexpr uint32_t MaxCount = 0x7FFFFFFF;  // a count past this is damaged, not earned

std::string LevelName(const char* stem, int level) {
    return std::string(stem) + std::to_string(level);
}

// A count as stored, or 0 (written back) when the value is there but unreadable or
// out of reach of any real record.
uint32_t ReadCount(SettingsStore& store, const std::string& name) {
    if (!store.Exists(name)) return 0;
    const std::optional<uint32_t> v = store.ReadNumber(name);
    if (v && *v <= MaxCount) return *v;
    store.WriteNumber(name, 0);
    return 0;
}

uint32_t Add(uint32_t a, uint64_t b) {
    return static_cast<uint32_t>(std::min<uint64_t>(uint64_t{a} + b, MaxCount));
}

const char* const kLevelNames[StatisticsLevels] = {"Easy(dumb)", "Medium", "Hard", "Expert",
                                                   "Master"};

std::string Rate(uint32_t won, uint32_t lost) {
    const int r = Statistics::RatePercent(won, lost);
    return r < 0 ? std::string("-") : std::to_string(r) + "%";
}

}  // namespace

int Statistics::RatePercent(uint32_t won, uint32_t lost) {
    const uint64_t n = uint64_t{won} + lost;
    return n == 0 ? -1 : static_cast<int>(uint64_t{won} * 100 / n);
}

Statistics ReadStatistics(SettingsStore& store) {
    Statistics s;
    s.won = ReadCount(store, "StatsWon");
    s.lost = ReadCount(store, "StatsLost");
    for (int l = 0; l < StatisticsLevels; ++l) {
        s.wonAtLevel[l] = ReadCount(store, LevelName("StatsWonLevel", l));
        s.lostAtLevel[l] = ReadCount(store, LevelName("StatsLostLevel", l));
    }
    s.bestWin = ReadCount(store, "StatsBestWin");
    s.winPoints = ReadCount(store, "StatsWinPoints");
    s.streak = ReadCount(store, "StatsStreak");
    s.longestStreak = ReadCount(store, "StatsLongestStreak");
    // Kept since hints exist: a record from before them has no such value, and all its
    // wins were won without one. Wins without a hint never outnumber the wins.
    s.wonWithoutHint = store.Exists("StatsWonNoHint")
                           ? std::min(ReadCount(store, "StatsWonNoHint"), s.won)
                           : s.won;
    // The current streak is part of the longest one.
    if (s.longestStreak < s.streak) {
        s.longestStreak = s.streak;
        store.WriteNumber("StatsLongestStreak", s.longestStreak);
    }
    return s;
}

void RecordGameResult(SettingsStore& store, bool won, int level, int32_t total, bool hinted) {
    Statistics s = ReadStatistics(store);
    const bool knownLevel = level >= 0 && level < StatisticsLevels;
    if (won) {
        store.WriteNumber("StatsWon", Add(s.won, 1));
        // Written with every win, so the value is there once a hint can have been used.
        store.WriteNumber("StatsWonNoHint", hinted ? s.wonWithoutHint : Add(s.wonWithoutHint, 1));
        if (knownLevel)
            store.WriteNumber(LevelName("StatsWonLevel", level), Add(s.wonAtLevel[level], 1));
        const uint32_t points = total > 0 ? static_cast<uint32_t>(total) : 0;
        if (points > s.bestWin) store.WriteNumber("StatsBestWin", points);
        store.WriteNumber("StatsWinPoints", Add(s.winPoints, points));
        const uint32_t streak = Add(s.streak, 1);
        store.WriteNumber("StatsStreak", streak);
        if (streak > s.longestStreak) store.WriteNumber("StatsLongestStreak", streak);
    } else {
        store.WriteNumber("StatsLost", Add(s.lost, 1));
        if (knownLevel)
            store.WriteNumber(LevelName("StatsLostLevel", level), Add(s.lostAtLevel[level], 1));
        store.WriteNumber("StatsStreak", 0);
    }
}

void ResetStatistics(SettingsStore& store) {
    for (const char* name : {"StatsWon", "StatsLost", "StatsBestWin", "StatsWinPoints",
                             "StatsStreak", "StatsLongestStreak", "StatsWonNoHint"})
        store.Delete(name);
    for (int l = 0; l < StatisticsLevels; ++l) {
        store.Delete(LevelName("StatsWonLevel", l));
        store.Delete(LevelName("StatsLostLevel", l));
    }
}

std::string StatisticsReport(const Statistics& s) {
    const char* crlf = "\r\n";
    std::string r = "Games played: " + std::to_string(s.played()) + crlf +
                    "Won: " + std::to_string(s.won) + crlf + "Lost: " + std::to_string(s.lost) +
                    crlf + "Win rate: " + Rate(s.won, s.lost);
    for (int l = 0; l < StatisticsLevels; ++l)
        r += crlf + std::string(kLevelNames[l]) + ": " + Rate(s.wonAtLevel[l], s.lostAtLevel[l]) +
             " of " + std::to_string(uint64_t{s.wonAtLevel[l]} + s.lostAtLevel[l]);
    r += crlf + std::string("Won without a hint: ") + std::to_string(s.wonWithoutHint);
    r += crlf + std::string("Best winning total: ") + std::to_string(s.bestWin) + crlf +
         "Average winning total: " + std::to_string(s.averageWin()) + crlf +
         "Longest winning streak: " + std::to_string(s.longestStreak) + crlf +
         "Current winning streak: " + std::to_string(s.streak);
    return r;
}

}  // namespace skelda
