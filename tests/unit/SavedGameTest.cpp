// Saving, loading and the close query, driven through the headless driver in-process.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "game/Random.h"
#include "persist/SavedGameFormat.h"
#include "persist/platform/GameFiles.h"
#include "tests/unit/TestSession.h"
#include "tools/cli/CliSession.h"

using namespace skelda;

namespace {

class Session : public TestSession {
public:
    explicit Session(uint32_t seed, const std::string& data = "") : TestSession(seed, data) {}
    std::string Path(const std::string& name) {
        return cli->host().DataFolder() + "/" + name + ".sav";
    }
    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) {
        std::ifstream in(Path(name), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // The state without the saved game's name, which a load from the menu changes.
    std::string State() {
        const std::string s = cli->StateJson();
        return s.substr(0, s.find(",\"savedGameName\""));
    }
};

SavedGameRecord Record(const Game& g, uint8_t opponentToMove = 0) {
    SavedGameRecord r;
    std::string why;
    EXPECT_TRUE(g.SerializeGame(opponentToMove, r, why)) << why;
    return r;
}

// A position reached by play: a dealt round and some random moves of the human.
void PlaySomeMoves(Session& s, uint32_t seed) {
    s.Run("startup\nrun");
    SetRandSeed(seed * 7919u + 1);
    const int moves = static_cast<int>(Random(12));
    for (int m = 0; m < moves; ++m) {
        switch (Random(6)) {
            case 0: s.Run("stock"); break;
            case 1: s.Run("pile " + std::to_string(Random(4))); break;
            case 2: s.Run("select " + std::to_string(Random(9))); break;
            case 3: s.Run("meld"); break;
            case 4: s.Run("discard"); break;
            default: s.Run("run"); break;
        }
    }
    // Rounds already played and what the computer has learned.
    Game& g = s.game();
    const int rounds = static_cast<int>(Random(5));
    for (int r = 0; r < rounds; ++r) {
        // Totals stay below 500, so the game is not decided.
        g.YourScores.push_back(RandomRange(-100, 100));
        g.OpponentScores.push_back(RandomRange(-100, 100));
    }
    for (auto& v : g.RankInterest) v = RandomRange(-20, 20);
    for (auto& v : g.SuitInterest) v = RandomRange(-20, 20);
    g.MarkDiscardsSeen();  // what the repaint of a loaded game does
}

}  // namespace

TEST(SavedGame, SaveThenLoadGivesTheSameGameOverManyPositions) {
    int humanPositions = 0;
    for (uint32_t seed = 0; seed < 150; ++seed) {
        Session a(seed);
        PlaySomeMoves(a, seed);
        const Game& g = a.game();
        const bool humanMoves = g.HumansTurn && !g.timers.Timer4 && !g.timers.Timer1 &&
                                (g.TurnPhase == 1 || g.TurnPhase == 2);
        const SavedGameRecord before = Record(g, g.timers.Timer4 ? StateOpponentToMove : 0);

        Session b(seed + 1000);
        b.Run("startup\nrun");
        ASSERT_TRUE(b.game().RestoreGame(before)) << seed;
        const SavedGameRecord after = Record(b.game(), b.game().timers.Timer4 ? 4 : 0);
        for (size_t i = 0; i < SavedRecordSize; ++i) {
            if (!humanMoves && (i == 14 || i == 15)) continue;  // the move is given back
            ASSERT_EQ(before.bytes[i], after.bytes[i]) << "seed " << seed << " offset " << i;
        }
        const Game& l = b.game();
        EXPECT_EQ(l.OpponentName, g.OpponentName);
        EXPECT_EQ(l.YourScores, g.YourScores);
        if (humanMoves) {
            ++humanPositions;
            EXPECT_TRUE(l.HumansTurn);
            EXPECT_EQ(l.TurnPhase, g.TurnPhase);
            EXPECT_EQ(l.StatusPrompt, "Its your turn");
            EXPECT_EQ(l.controls.PaintBox5, g.TurnPhase == 1);
            EXPECT_EQ(l.controls.Button2, g.TurnPhase == 2);
        }
    }
    EXPECT_GT(humanPositions, 30);
}

TEST(SavedGame, SaveAndLoadCommandsGoThroughTheFile) {
    Session s(11);
    PlaySomeMoves(s, 11);
    const std::string before = s.State();
    std::string out = s.Run("save Round%20one");
    EXPECT_NE(out.find("INPUT \"Save Game\" \"Enter saved game name\" \"MyGame\""),
              std::string::npos);
    EXPECT_EQ(s.game().SavedGameName, "Round one");
    const std::string file = s.Read("Round one");
    ASSERT_EQ(file.size(), SavedFileSize);
    EXPECT_EQ(file.substr(0, 6068), SavedGameFileBytes(Record(s.game())).substr(0, 6068));

    s.Run("new-game\nrun");
    out = s.Run("load Round%20one");
    EXPECT_NE(out.find("INPUT \"Load Game\" \"Enter saved game name\" \"Round one\""),
              std::string::npos);
    EXPECT_EQ(out.find("MSG"), std::string::npos) << out;
    for (const char* key : {"\"deck\"", "\"yourHand\"", "\"melds\"", "\"yourScores\""}) {
        const auto field = [&](const std::string& st) {
            const size_t at = st.find(key);
            return st.substr(at, st.find("],", at) - at);
        };
        EXPECT_EQ(field(s.State()), field(before)) << key;
    }
    // Cancel writes and loads nothing.
    const std::string state = s.State();
    s.Run("answer cancel cancel");
    s.game().SaveGame1Click(true);
    s.game().LoadGame1Click(true);
    EXPECT_EQ(s.State(), state);
}

TEST(SavedGame, EveryLoadErrorLeavesTheGameAsItWas) {
    Session s(5);
    PlaySomeMoves(s, 5);
    const std::string good = SavedGameFileBytes(Record(s.game()));
    const std::string state = s.State();
    const auto loadError = [&](const std::string& bytes) {
        s.Write("Bad", bytes);
        const std::string out = s.Run("load Bad");
        EXPECT_TRUE(s.State() == state) << "the state changed";
        const size_t at = out.find("MSG error \"Skelda\" \"");
        if (at == std::string::npos) return std::string("(no error)");
        const size_t from = at + 20;
        return out.substr(from, out.find('"', from) - from);
    };
    EXPECT_EQ(loadError(good.substr(0, 6068)), "Filesize too small");
    std::string changed = good;
    changed[100] ^= 0x40;
    EXPECT_EQ(loadError(changed).rfind("Saved game checksum error(", 0), 0u);
    EXPECT_EQ(loadError(good.substr(0, 6068) + good.substr(6068, 63)),
              "Saved game checksum error(-1)");
    // A correct checksum over a record the game cannot use.
    for (size_t at : {0u, 6064u, 10u, 12u, 16u}) {
        SavedGameRecord r = Record(s.game());
        r.bytes[at] = 0xEE;
        EXPECT_EQ(loadError(SavedGameFileBytes(r)), "Game failed to load.") << at;
    }
    EXPECT_EQ(s.game().SavedGameName, "Bad");  // the name typed stays, as the menu answered
    // A file that is not there.
    const std::string out = s.Run("load Nothing");
    EXPECT_NE(out.find("MSG error \"Skelda\" \"Cannot open the saved game \\\"Nothing\\\".\""),
              std::string::npos);
}

TEST(SavedGame, NamesOutsideTheDataFolderAreRefused) {
    Session s(3);
    s.Run("startup\nrun");
    const std::filesystem::path data = s.cli->host().DataFolder();
    for (const char* name : {"../escape", "sub/dir", "..", "a:b"}) {
        const std::string out = s.Run(std::string("save ") + name);
        EXPECT_NE(out.find("MSG error"), std::string::npos) << name;
        EXPECT_EQ(s.game().SavedGameName, "MyGame");
    }
    EXPECT_FALSE(std::filesystem::exists(data.parent_path() / "escape.sav"));
    EXPECT_TRUE(std::filesystem::is_empty(data));
    const std::string out = s.Run("load ../escape");
    EXPECT_NE(out.find("MSG error"), std::string::npos);
}

TEST(SavedGame, AStateThatDoesNotFitIsRefusedAndTheOldFileKept) {
    Session s(4);
    s.Run("startup\nrun\nsave Keep");
    const std::string old = s.Read("Keep");
    ASSERT_EQ(old.size(), SavedFileSize);
    std::string melds = "set melds";
    for (int i = 0; i < 17; ++i) melds += std::string(i ? " |" : "") + " AC 2C 3C";
    const std::string out = s.Run(melds + "\nsave Keep");
    EXPECT_NE(out.find("MSG error \"Skelda\" \"This game cannot be saved: there are more than 16 "
                       "melds.\""),
              std::string::npos)
        << out;
    EXPECT_EQ(s.Read("Keep"), old);

    s.Run("set round-number 256\nset melds AC 2C 3C");
    EXPECT_NE(s.Run("save Keep").find("more than 255 rounds"), std::string::npos);
    EXPECT_EQ(s.Read("Keep"), old);

    // A write that fails half-way (the disk full) leaves the old file.
    s.Run("set round-number 1");
    SetGameFileFaultForTests(
        [](const char* step) { return std::string(step) == "write" ? ENOSPC : 0; });
    const std::string full = s.Run("save Keep");
    SetGameFileFaultForTests({});
    EXPECT_NE(full.find("MSG error \"Skelda\" \"The game was not saved. Cannot write"),
              std::string::npos)
        << full;
    EXPECT_NE(full.find("No space left on device"), std::string::npos) << full;
    EXPECT_EQ(s.Read("Keep"), old);
}

TEST(SavedGame, LoadingStopsTheOldDealAndComputerTurnAndGivesTheMoveBack) {
    Session s(21);
    s.Run("startup\nrun\nset computer-first 0\nset humans-turn 1\nset phase 2");
    s.Run("save Human");
    // The human's draw phase: the move is the human's.
    std::string out = s.Run("new-round\nload Human");
    EXPECT_NE(out.find("TIMER Timer1 off"), std::string::npos);
    EXPECT_FALSE(s.game().timers.Timer1);
    EXPECT_FALSE(s.game().timers.Timer4);
    EXPECT_TRUE(s.game().HumansTurn);
    EXPECT_EQ(s.game().TurnPhase, 2);
    EXPECT_TRUE(s.game().controls.Button2);

    // Saved while the computer's turn was due: the computer moves after the load.
    s.Run("set phase 0\nset humans-turn 0");
    s.game().SwitchTimer(TimerId::Timer4, true);
    s.Run("save Computer");
    EXPECT_EQ(static_cast<uint8_t>(s.Read("Computer")[14]) & StateOpponentToMove,
              StateOpponentToMove);
    s.Run("new-round");
    out = s.Run("load Computer");
    EXPECT_TRUE(s.game().timers.Timer4);
    EXPECT_FALSE(s.game().timers.Timer1);
    EXPECT_FALSE(s.game().HumansTurn);
    EXPECT_EQ(s.game().StatusPrompt, "Its the " + s.game().OpponentName + " turn...");

    // Saved while the round was still being dealt: the deal goes on.
    s.Run("new-round\ntick Timer1\ntick Timer1\nsave Dealing\nnew-game\nrun\nload Dealing");
    EXPECT_TRUE(s.game().timers.Timer1);
    EXPECT_EQ(s.game().YourHand.size(), 2u);
    while (s.game().timers.Timer1) s.Run("tick Timer1");
    EXPECT_EQ(s.game().YourHand.size(), 7u);
    EXPECT_EQ(s.game().DiscardPile.size(), 1u);
}

TEST(SavedGame, StartupResumesTheStartupGameOrFallsBackToANewGame) {
    Session s(8);
    s.Run("startup\nrun\nset your-scores 40\nset opponent-scores 30\nset phase 1");
    s.Run("save MyGame");
    const std::string name = s.game().OpponentName;
    std::string out = s.Run("startup");
    EXPECT_EQ(out.find("TIMER Timer1 on"), std::string::npos) << out;
    EXPECT_EQ(s.game().OpponentName, name);
    EXPECT_EQ(s.game().YourScores, std::vector<int32_t>{40});

    // A damaged start-up game: the error, then a new game at once.
    std::string bad = s.Read("MyGame");
    bad[6068] = bad[6068] == '0' ? '1' : '0';
    s.Write("MyGame", bad);
    out = s.Run("startup");
    EXPECT_NE(out.find("MSG error \"Skelda\" \"Saved game checksum error("), std::string::npos);
    EXPECT_GT(out.find("TIMER Timer1 on"), out.find("MSG error"));
    EXPECT_TRUE(s.game().YourScores.empty());
    EXPECT_EQ(s.game().RoundNumber, 1);
}

TEST(SavedGame, CloseQueryPaths) {
    Session s(9);
    s.Run("startup\nrun");
    // Cancel: the window stays, nothing is written.
    std::string out = s.Run("answer cancel\nclose");
    EXPECT_NE(out.find("MSG question \"Skelda\" \"Save game?\" yes,no,cancel"), std::string::npos);
    EXPECT_EQ(out.find("CLOSED"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(s.Path("MyGame")));

    // No, with no start-up game file: no second question.
    out = s.Run("answer no\nclose");
    EXPECT_NE(out.find("CLOSED"), std::string::npos);
    EXPECT_EQ(out.find("Delete saved game"), std::string::npos);

    // Yes: saved under the current name, which becomes the game to resume.
    out = s.Run("answer yes\nclose\nshow-setting Autoload");
    EXPECT_NE(out.find("CLOSED"), std::string::npos);
    EXPECT_NE(out.find("SETTING Autoload text \"MyGame\""), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(s.Path("MyGame")));

    // Saved from the menu under another name, then No: the start-up game is offered.
    s.Run("save Other");
    out = s.Run("answer no no\nclose");
    EXPECT_NE(out.find("MSG warning \"Skelda\" \"Delete saved game \\\"MyGame\\\"?\" yes,no"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(s.Path("MyGame")));
    out = s.Run("answer no yes\nclose");
    EXPECT_NE(out.find("CLOSED"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(s.Path("MyGame")));
    EXPECT_TRUE(std::filesystem::exists(s.Path("Other")));

    // Yes while the state cannot be saved: the window stays open.
    std::string melds = "set melds";
    for (int i = 0; i < 17; ++i) melds += std::string(i ? " |" : "") + " AC 2C 3C";
    out = s.Run(melds + "\nanswer yes\nclose");
    EXPECT_NE(out.find("cannot be saved"), std::string::npos);
    EXPECT_EQ(out.find("CLOSED"), std::string::npos);
}

TEST(SavedGame, ClosingWithYesResumesThatGameAtTheNextRun) {
    const auto root = std::filesystem::temp_directory_path() /
                      ("skelda-runs-" + std::to_string(std::random_device{}()));
    CliOptions o;
    o.seed = 12;
    o.sound = false;
    o.configDir = (root / "config").string();
    o.dataDir = (root / "data").string();
    std::string opponent;
    {
        std::ostringstream out;
        CliSession first(o, out);
        first.Execute("startup");
        first.Execute("run");
        first.Execute("save Friday");
        first.Execute("set your-scores 75");
        first.Execute("set opponent-scores 60");
        first.Execute("answer yes");
        first.Execute("close");
        EXPECT_NE(out.str().find("CLOSED"), std::string::npos);
        opponent = first.game().OpponentName;
    }
    o.seed = 99;
    std::ostringstream out;
    CliSession second(o, out);
    second.Execute("startup");
    EXPECT_EQ(second.game().StartupGameName, "Friday");
    EXPECT_EQ(second.game().YourScores, std::vector<int32_t>{75});
    EXPECT_EQ(second.game().OpponentName, opponent);
    EXPECT_EQ(out.str().find("TIMER Timer1 on"), std::string::npos);
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
}
