// The record of finished games: what a won and a lost game add, per level and overall,
// what damaged values read as and how they are repaired, and Reset.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "persist/Statistics.h"
#include "persist/qt/QtSettingsStore.h"
#include "tools/cli/CliSession.h"

using namespace skelda;

namespace {

struct ConfigFolder {
    ConfigFolder() {
        std::random_device rd;
        path = std::filesystem::temp_directory_path() /
               ("skelda-stats-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path);
    }
    ~ConfigFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::filesystem::path path;
};

// A driver on a settings file in a folder of its own, so what it stores can be reread.
struct Driver {
    explicit Driver(const std::filesystem::path& config) {
        CliOptions o;
        o.seed = 5;
        o.sound = false;
        o.configDir = config.string();
        cli = std::make_unique<CliSession>(o, out);
    }
    std::string Run(const std::string& lines) {
        out.str("");
        std::istringstream in(lines);
        for (std::string line; std::getline(in, line);) cli->Execute(line);
        return out.str();
    }
    // The last round of a game at `level`, ended by the empty stock with the totals given;
    // "Play again?" is answered No.
    std::string FinishGame(int level, int you, int them) {
        return Run("level " + std::to_string(level) + "\nset round-number 2\nset your-scores " +
                   std::to_string(you - 20) + "\nset opponent-scores " + std::to_string(them) +
                   "\nset melds 5D/4 6D/4 7D/4 8D/4\nset opponent-hand\nset your-hand\n"
                   "set discard-pile 2C\nset next-card 52\nset round-active 1\n"
                   "set humans-turn 1\nset phase 1\nstock\n");
    }
    std::ostringstream out;
    std::unique_ptr<CliSession> cli;
};

}  // namespace

TEST(Statistics, WonAndLostGamesAreCountedPerLevelWithTotalsAndStreaks) {
    ConfigFolder config;
    Driver d(config.path);
    d.FinishGame(2, 620, 100);                          // won at Hard with 620
    d.FinishGame(2, 560, 480);                          // won at Hard with 560
    d.FinishGame(0, 300, 505);                          // lost at Easy(dumb)
    const std::string tie = d.FinishGame(3, 510, 510);  // 510 to 510: the game goes on
    EXPECT_NE(tie.find("TIMER Timer1 on"), std::string::npos) << tie;
    d.Run("set computer-first 0\nrun");
    d.FinishGame(3, 700, 10);  // won at Expert with 700

    QtSettingsStore store(QString::fromStdString((config.path / "skelda.ini").string()));
    const Statistics s = ReadStatistics(store);
    EXPECT_EQ(s.played(), 4u);
    EXPECT_EQ(s.won, 3u);
    EXPECT_EQ(s.lost, 1u);
    EXPECT_EQ(s.wonAtLevel, (std::array<uint32_t, 5>{0, 0, 2, 1, 0}));
    EXPECT_EQ(s.lostAtLevel, (std::array<uint32_t, 5>{1, 0, 0, 0, 0}));
    EXPECT_EQ(s.bestWin, 700u);
    EXPECT_EQ(s.averageWin(), (620u + 560u + 700u) / 3);
    EXPECT_EQ(s.streak, 1u);  // the loss broke the first streak of two
    EXPECT_EQ(s.longestStreak, 2u);
    EXPECT_EQ(Statistics::RatePercent(s.won, s.lost), 75);
    // The count of rounds dealt keeps its own meaning: the one round dealt, after the tie.
    EXPECT_EQ(store.ReadNumber("GamesPlayed"), 1u);

    const std::string shown = d.Run("menu statistics");
    EXPECT_NE(shown.find("Games played: 4\\u000d\\nWon: 3\\u000d\\nLost: 1\\u000d\\n"
                         "Win rate: 75%\\u000d\\nEasy(dumb): 0% of 1\\u000d\\nMedium: - of 0"),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find("Best winning total: 700"), std::string::npos);

    d.Run("menu reset-statistics");
    EXPECT_EQ(ReadStatistics(store).played(), 0u);
    EXPECT_FALSE(store.Exists("StatsWon"));
    EXPECT_EQ(store.ReadNumber("GamesPlayed"), 1u);  // not a statistic
}

TEST(Statistics, DamagedValuesReadAsZeroAndAreRepaired) {
    ConfigFolder config;
    const auto ini = config.path / "skelda.ini";
    std::ofstream(ini) << "[General]\n"
                          "StatsWon=lots\n"
                          "StatsLost=1, 2\n"
                          "StatsWonLevel1=@ByteArray(\\x1)\n"
                          "StatsBestWin=4294967295\n"
                          "StatsWinPoints=1200\n"
                          "StatsStreak=5\n"
                          "StatsLongestStreak=3\n";
    {
        QtSettingsStore store(QString::fromStdString(ini.string()));
        const Statistics s = ReadStatistics(store);
        EXPECT_EQ(s.won, 0u);
        EXPECT_EQ(s.lost, 0u);
        EXPECT_EQ(s.wonAtLevel[1], 0u);
        EXPECT_EQ(s.bestWin, 0u);  // past any real total: damaged
        EXPECT_EQ(s.winPoints, 1200u);
        EXPECT_EQ(s.averageWin(), 0u);   // no win to divide by
        EXPECT_EQ(s.longestStreak, 5u);  // never shorter than the current streak
        // Written back, so the next read finds numbers.
        for (const char* name : {"StatsWon", "StatsLost", "StatsWonLevel1", "StatsBestWin"})
            EXPECT_EQ(store.ReadNumber(name), 0u) << name;
        EXPECT_EQ(store.ReadNumber("StatsLongestStreak"), 5u);
    }
    // A game won on the repaired record counts from zero.
    Driver d(config.path);
    d.FinishGame(1, 530, 100);
    QtSettingsStore store(QString::fromStdString(ini.string()));
    const Statistics s = ReadStatistics(store);
    EXPECT_EQ(s.won, 1u);
    EXPECT_EQ(s.wonAtLevel[1], 1u);
    EXPECT_EQ(s.bestWin, 530u);
    EXPECT_EQ(s.streak, 6u);
    EXPECT_EQ(s.longestStreak, 6u);
    // A level outside the four counts overall only.
    d.FinishGame(9, 100, 600);
    const Statistics t = ReadStatistics(store);
    EXPECT_EQ(t.lost, 1u);
    EXPECT_EQ(t.lostAtLevel, (std::array<uint32_t, 5>{}));
    EXPECT_EQ(t.streak, 0u);
}

TEST(Statistics, GamesWonWithoutAHintAreCountedAndOldRecordsReadAsHintFree) {
    ConfigFolder config;
    const auto ini = config.path / "skelda.ini";
    // A record from before hints existed: its wins were all won without one.
    std::ofstream(ini) << "[General]\nStatsWon=3\nStatsLost=2\n";
    Driver d(config.path);
    EXPECT_NE(d.Run("menu statistics").find("Won without a hint: 3"), std::string::npos);
    // A game in which a hint was given counts as won, not as won without a hint.
    d.Run("new-game\nrun\nset humans-turn 1\nset phase 1\nhint");
    EXPECT_TRUE(d.cli->game().HintUsed);
    d.FinishGame(4, 520, 100);  // won at Master
    QtSettingsStore store(QString::fromStdString(ini.string()));
    Statistics s = ReadStatistics(store);
    EXPECT_EQ(s.won, 4u);
    EXPECT_EQ(s.wonWithoutHint, 3u);
    EXPECT_EQ(s.wonAtLevel[4], 1u);
    // A new game starts without one; the old program's view of the record is unchanged.
    d.Run("new-game\nrun");
    EXPECT_FALSE(d.cli->game().HintUsed);
    d.FinishGame(4, 530, 100);
    s = ReadStatistics(store);
    EXPECT_EQ(s.won, 5u);
    EXPECT_EQ(s.wonWithoutHint, 4u);
    EXPECT_EQ(store.ReadNumber("StatsWon"), 5u);
    EXPECT_NE(StatisticsReport(s).find("Master: 100% of 2"), std::string::npos);
}
