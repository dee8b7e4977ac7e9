// Crash recovery through the headless driver: a session that stops without a clean end
// is resumed by the next one at the same position; a damaged record is set aside; every
// clean end (the close query, the silent save) leaves no record behind.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "persist/platform/GameFiles.h"
#include "tests/unit/TestSession.h"

using namespace skelda;

namespace {

namespace fs = std::filesystem;

class RecoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "skelda-recovery-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        data = tmpl;
    }
    void TearDown() override {
        SetGameFileFaultForTests({});
        std::error_code ec;
        fs::remove_all(data, ec);
    }
    std::string Record() const { return data + "/Skelda.recovery"; }
    // The position: everything of the state that a saved game holds.
    static std::string Position(TestSession& s) {
        std::string out;
        for (const char* key :
             {"deck", "nextCard", "discardPile", "yourHand", "opponentHand", "melds", "yourScores",
              "opponentScores", "roundNumber", "computerFirst", "opponentName", "seenCards"})
            out += s.Run(std::string("show ") + key);
        return out;
    }
    std::string data;
};

TEST_F(RecoveryTest, AStoppedSessionIsResumedWhereItStood) {
    std::string position, afterDiscard;
    {
        TestSession s(11, data);
        s.Run("startup\nrun");
        // The human's turn: draw, discard; the record holds the computer's move to come.
        s.Run("stock\nselect 0\ndiscard");
        ASSERT_TRUE(fs::exists(Record()));
        afterDiscard = Position(s);
        // The computer's turn, then the process "dies": no close query.
        s.Run("run");
        position = Position(s);
        ASSERT_NE(position, afterDiscard);
    }
    TestSession next(99, data);
    const std::string out = next.Run("startup");
    EXPECT_NE(out.find("LOG \"T - Resumed the game that was in play when Skelda last stopped\""),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("BALLOON \"Skelda\""), std::string::npos) << out;
    EXPECT_EQ(out.find("TIMER Timer1 on"), std::string::npos) << "no new round is dealt";
    EXPECT_EQ(Position(next), position);
    EXPECT_EQ(next.Run("show humansTurn"), "SHOW humansTurn true\n");
    EXPECT_EQ(next.Run("show turnPhase"), "SHOW turnPhase 1\n");

    // The close query's No is a clean end too: the record goes, the saved game stays.
    next.Run("answer no\nclose");
    EXPECT_FALSE(fs::exists(Record()));
    TestSession fresh(5, data);
    EXPECT_NE(fresh.Run("startup").find("TIMER Timer1 on"), std::string::npos);
}

TEST_F(RecoveryTest, ARecordTakenOnTheComputersMoveGivesItTheMove) {
    {
        TestSession s(11, data);
        s.Run("startup\nrun\nstock\nselect 0\ndiscard");
    }
    TestSession next(12, data);
    next.Run("startup");
    EXPECT_EQ(next.Run("show humansTurn"), "SHOW humansTurn false\n");
    const std::string turn = next.Run("run");
    EXPECT_NE(turn.find("TIMER Timer4 off"), std::string::npos) << turn;
    EXPECT_EQ(next.Run("show humansTurn"), "SHOW humansTurn true\n");
}

TEST_F(RecoveryTest, ADamagedRecordIsSetAsideAndTheStartUpGoesOn) {
    {
        TestSession s(11, data);
        s.Run("startup\nrun\nstock\nselect 0\ndiscard");
    }
    // One flipped byte: the checksum no longer holds.
    std::string bytes;
    {
        std::ifstream in(Record(), std::ios::binary);
        std::ostringstream o;
        o << in.rdbuf();
        bytes = o.str();
    }
    bytes[100] ^= 1;
    std::ofstream(Record(), std::ios::binary | std::ios::trunc) << bytes;

    TestSession next(3, data);
    const std::string out = next.Run("startup");
    EXPECT_NE(out.find("LOG \"T - The recovery record is damaged; it was set aside as "
                       "Skelda.recovery.damaged\""),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("TIMER Timer1 on"), std::string::npos) << "a new round: " << out;
    EXPECT_FALSE(fs::exists(Record()));
    EXPECT_TRUE(fs::exists(Record() + ".damaged"));
    EXPECT_EQ(out.find("MSG"), std::string::npos) << "no box at start-up: " << out;
}

TEST_F(RecoveryTest, TheSilentSaveIsTheCloseQuerysYesWithoutTheQuestion) {
    TestSession s(11, data);
    s.Run("startup\nrun\nstock\nselect 0\ndiscard\nrun");
    const std::string position = Position(s);
    const std::string out = s.Run("shutdown");
    EXPECT_EQ(out.find("MSG"), std::string::npos) << out;
    EXPECT_NE(out.find("CLOSED"), std::string::npos);
    EXPECT_TRUE(fs::exists(data + "/MyGame.sav"));
    EXPECT_FALSE(fs::exists(Record()));

    TestSession next(1, data);
    next.Run("startup");
    EXPECT_EQ(Position(next), position);

    // A failed silent save (a full disk) keeps the recovery record, so nothing is lost.
    next.Run("stock\nselect 0\ndiscard");
    ASSERT_TRUE(fs::exists(Record()));
    SetGameFileFaultForTests(
        [](const char* step) { return std::string(step) == "write" ? ENOSPC : 0; });
    const std::string failed = next.Run("shutdown");
    SetGameFileFaultForTests({});
    EXPECT_NE(failed.find("could not be saved at shut-down"), std::string::npos) << failed;
    EXPECT_TRUE(fs::exists(Record()));
}

TEST_F(RecoveryTest, ARecordThatCannotBeWrittenIsSaidOnceAndPlayGoesOn) {
    TestSession s(11, data);
    s.Run("startup\nrun");
    SetGameFileFaultForTests(
        [](const char* step) { return std::string(step) == "create" ? EROFS : 0; });
    std::string out = s.Run("stock\nselect 0\ndiscard\nrun\nstock\nselect 0\ndiscard\nrun");
    SetGameFileFaultForTests({});
    size_t said = 0;
    for (size_t at = out.find("cannot be kept for recovery"); at != std::string::npos;
         at = out.find("cannot be kept for recovery", at + 1))
        ++said;
    EXPECT_EQ(said, 1u) << out;
    EXPECT_EQ(out.find("MSG"), std::string::npos) << out;
    EXPECT_EQ(s.Run("show humansTurn"), "SHOW humansTurn true\n");
}

}  // namespace
