// The first-name list carried by the program and the opponent name drawn from it.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/Game.h"
#include "game/Random.h"
#include "persist/SettingsStore.h"
#include "tools/cli/CliHost.h"

namespace skelda {
extern const unsigned char NamesText[];
extern const std::size_t NamesTextSize;
size_t NameCount();
}  // namespace skelda

using namespace skelda;

namespace {

std::vector<std::string> EmbeddedLines() {
    std::vector<std::string> lines;
    std::istringstream in(std::string(reinterpret_cast<const char*>(NamesText), NamesTextSize));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Thousandths from "d.ddd" without going through floating point.
long Thousandths(const std::string& s) {
    const size_t dot = s.find('.');
    return std::stol(s.substr(0, dot)) * 1000 + std::stol(s.substr(dot + 1));
}

}  // namespace

TEST(Names, EveryLineHasTheFixedColumnLayout) {
    const auto lines = EmbeddedLines();
    ASSERT_GE(lines.size(), 1000u);
    EXPECT_EQ(NameCount(), lines.size());
    // Name left-aligned in 15 columns, frequency 5.3f, cumulative 7.3f, rank 7d.
    const std::regex name("[A-Z]{1,11} +"), freq(R"(\d\.\d{3})"), cumulative(R"( *\d+\.\d{3})"),
        rank(" *[1-9][0-9]*");
    for (const auto& line : lines) {
        SCOPED_TRACE(line);
        ASSERT_EQ(line.size(), 34u);
        EXPECT_TRUE(std::regex_match(line.substr(0, 15), name));
        EXPECT_TRUE(std::regex_match(line.substr(15, 5), freq));
        EXPECT_TRUE(std::regex_match(line.substr(20, 7), cumulative));
        EXPECT_TRUE(std::regex_match(line.substr(27, 7), rank));
    }
}

TEST(Names, WomenThenMenEachRankedWithRunningTotalsAndNoRepeats) {
    const auto lines = EmbeddedLines();
    int lists = 0;
    long expectedRank = 0, total = 0, previous = 0;
    std::set<std::string> seen;
    for (const auto& line : lines) {
        SCOPED_TRACE(line);
        std::istringstream in(line);
        std::string name, freq, cumulative;
        long rank = 0;
        in >> name >> freq >> cumulative >> rank;
        if (rank == 1) {
            ++lists;
            expectedRank = 0;
            total = 0;
            previous = Thousandths(freq);
            seen.clear();
        }
        ++expectedRank;
        EXPECT_EQ(rank, expectedRank);
        const long f = Thousandths(freq);
        EXPECT_GT(f, 0);
        EXPECT_LE(f, previous);  // frequencies never rise within a list
        previous = f;
        total += f;
        EXPECT_EQ(Thousandths(cumulative), total);
        EXPECT_TRUE(seen.insert(name).second) << name << " twice in one list";
    }
    EXPECT_EQ(lists, 2);
    EXPECT_EQ(lines.front().substr(0, 4), "MARY");
}

TEST(Names, OpponentNameIsTheFirstWordOfTheLineDrawn) {
    const auto lines = EmbeddedLines();
    std::ostringstream out;
    CliHost host(out, std::make_unique<MemorySettings>(), ".");
    Game game(host);
    std::set<std::string> drawn;
    for (uint32_t seed : {0u, 1u, 7u, 12345u, 0x80000000u, 0xFFFFFFFFu}) {
        SetRandSeed(seed);
        const std::string& line = lines[Random(static_cast<uint32_t>(lines.size()))];
        SetRandSeed(seed);
        game.PickOpponentName();
        EXPECT_EQ(game.OpponentName, line.substr(0, line.find(' ')));
        drawn.insert(game.OpponentName);
    }
    EXPECT_GT(drawn.size(), 3u);
}
