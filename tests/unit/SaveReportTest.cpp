// The saved-game inspector's verdicts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "persist/SavedGameFormat.h"
#include "tools/cli/SaveReport.h"

using namespace skelda;

namespace {

int Inspect(const std::string& bytes, std::string& json) {
    const auto path = std::filesystem::temp_directory_path() / "skelda-inspect-test.sav";
    std::ofstream(path, std::ios::binary) << bytes;
    std::ostringstream out;
    const int status = InspectSavedGame(path.string(), out);
    std::filesystem::remove(path);
    json = out.str();
    return status;
}

}  // namespace

TEST(Inspect, ReportsTheChecksumAndWhetherTheGameWouldLoad) {
    SavedGameData d;
    d.playerName = std::string("Jos\xe9", 4);  // an 8-bit name from another program
    d.opponentName = "MARY";
    d.yourHand = {{2, 9, 0}};
    SavedGameRecord r;
    std::string why;
    ASSERT_TRUE(EncodeSavedGame(d, r, why));
    std::string json;

    EXPECT_EQ(Inspect(SavedGameFileBytes(r), json), 0);
    EXPECT_NE(json.find("\"holds\": true"), std::string::npos);
    EXPECT_NE(json.find("\"loads\": true"), std::string::npos);
    EXPECT_NE(json.find("\"playerName\": \"Jos\\u00e9\""), std::string::npos);
    EXPECT_NE(json.find("\"yourHand\": [\"TH\"]"), std::string::npos);

    std::string damaged = SavedGameFileBytes(r);
    damaged[330] = 7;  // a suit that does not exist, under a wrong checksum
    EXPECT_EQ(Inspect(damaged, json), 1);
    EXPECT_NE(json.find("\"holds\": false"), std::string::npos);
    EXPECT_NE(json.find("\"message\": \"Saved game checksum error("), std::string::npos);
    EXPECT_NE(json.find("a card that is no card in your hand"), std::string::npos);

    r.bytes[0] = 'X';
    EXPECT_EQ(Inspect(SavedGameFileBytes(r), json), 1);
    EXPECT_NE(json.find("\"message\": \"Game failed to load.\""), std::string::npos);

    EXPECT_EQ(Inspect("short", json), 1);
    EXPECT_NE(json.find("\"message\": \"Filesize too small\""), std::string::npos);

    std::ostringstream out;
    EXPECT_EQ(InspectSavedGame("/nonexistent/skelda.sav", out), 2);
}
