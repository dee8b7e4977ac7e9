// The QSettings store's reads of values of every kind, including values of the wrong
// type or size, and what the start-up sequence makes of them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "persist/qt/QtSettingsStore.h"
#include "tools/cli/CliSession.h"

using namespace skelda;

namespace {

class TempFolder {
public:
    TempFolder() {
        std::random_device rd;
        path = std::filesystem::temp_directory_path() /
               ("skelda-settings-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::filesystem::path path;
};

// A store over an INI file written by hand.
std::unique_ptr<QtSettingsStore> StoreWith(const TempFolder& t, const std::string& ini) {
    const auto file = t.path / "skelda.ini";
    std::ofstream(file) << "[General]\n" << ini;
    return std::make_unique<QtSettingsStore>(QString::fromStdString(file.string()));
}

}  // namespace

TEST(Settings, WrittenValuesReadBackByKind) {
    TempFolder t;
    const QString file = QString::fromStdString((t.path / "skelda.ini").string());
    {
        QtSettingsStore s(file);
        s.WriteNumber("HighScore", 720);
        s.WriteNumber("TableColor", 0x01000000);
        s.WriteNumber("Big", 0xFFFFFFFF);
        s.WriteText("Username", "Zoë, the \"best\" = player; [x]");
        s.WriteBytes("AIStyles", std::string("\x02\x03", 2));
        s.WriteFlag("NoSound");
        s.WriteText("Gone", "x");
        s.Delete("Gone");
    }
    // A fresh store over the same file sees what the first one wrote.
    QtSettingsStore s(file);
    EXPECT_EQ(s.ReadNumber("HighScore"), 720u);
    EXPECT_EQ(s.ReadNumber("TableColor"), 0x01000000u);
    EXPECT_EQ(s.ReadNumber("Big"), 0xFFFFFFFFu);
    EXPECT_EQ(s.ReadText("Username", 256), "Zoë, the \"best\" = player; [x]");
    EXPECT_EQ(s.ReadBytes("AIStyles"), std::string("\x02\x03", 2));
    EXPECT_TRUE(s.Exists("NoSound"));
    EXPECT_FALSE(s.Exists("Gone"));
    EXPECT_FALSE(s.ReadNumber("Absent"));
    EXPECT_FALSE(s.ReadText("Absent", 261));
}

TEST(Settings, ValuesOfTheWrongTypeOrSizeReadAsAbsent) {
    TempFolder t;
    auto s = StoreWith(t,
                       "Word=abc\n"
                       "TooBig=4294967296\n"
                       "Negative=-1\n"
                       "TooNegative=-2147483649\n"
                       "List=1, 2\n"
                       "Bytes=@ByteArray(\\x1\\x2)\n"
                       "Empty=\n"
                       "Long=" +
                           std::string(300, 'n') +
                           "\n"
                           "Wide=" +
                           std::string(254, 'w') + "\xc3\xa9\n");
    EXPECT_FALSE(s->ReadNumber("Word"));
    EXPECT_FALSE(s->ReadNumber("TooBig"));
    EXPECT_EQ(s->ReadNumber("Negative"), 0xFFFFFFFFu);  // a signed -1 as written by hand
    EXPECT_FALSE(s->ReadNumber("TooNegative"));
    EXPECT_FALSE(s->ReadNumber("List"));
    EXPECT_FALSE(s->ReadNumber("Bytes"));
    EXPECT_FALSE(s->ReadNumber("Empty"));
    EXPECT_FALSE(s->ReadText("List", 256));
    EXPECT_FALSE(s->ReadBytes("List"));
    EXPECT_EQ(s->ReadBytes("Bytes"), std::string("\x01\x02", 2));
    // Texts are cut to their buffer, never in the middle of a character.
    EXPECT_EQ(s->ReadText("Long", 256)->size(), 255u);
    EXPECT_EQ(*s->ReadText("Wide", 256), std::string(254, 'w'));
    // A presence flag counts whatever it holds.
    for (const char* name : {"Word", "List", "Bytes", "Empty"}) EXPECT_TRUE(s->Exists(name));
}

TEST(Settings, StartupKeepsDefaultsForUnusableValues) {
    TempFolder t;
    std::ofstream(t.path / "skelda.ini") << "[General]\n"
                                            "Autoload=../../etc/passwd\n"
                                            "OddPickup=lots\n"
                                            "OddEasy=7\n"
                                            "AIStyles=@ByteArray(\\x2)\n"
                                            "GamesPlayed=1, 2\n"
                                            "Username=\n"
                                            "NoSound=@ByteArray(x)\n";
    CliOptions o;
    o.seed = 1;
    o.configDir = t.path.string();
    std::ostringstream out;
    CliSession session(o, out);
    session.Execute("startup");
    const Game& g = session.game();
    EXPECT_EQ(g.StartupGameName, "MyGame");
    EXPECT_EQ(g.SavedGameName, "MyGame");
    EXPECT_EQ(g.OddPickup, 2147483647u);
    EXPECT_EQ(g.OddEasy, 7u);
    EXPECT_EQ(g.AILevel, 1);
    EXPECT_EQ(g.AIBehaviour, 1);
    EXPECT_EQ(g.GamesPlayed, 1);  // 0 read, then the first deal counted
    EXPECT_EQ(g.PlayerName, "");  // an empty stored name is a name
    EXPECT_TRUE(g.NoSound);
    EXPECT_NE(out.str().find("TIMER Timer1 on"), std::string::npos);
}

TEST(Settings, StartupReadsWhatTheGameUses) {
    TempFolder t;
    std::ofstream(t.path / "skelda.ini") << "[General]\n"
                                            "Autoload=Evening\n"
                                            "OddPickup=3\n"
                                            "AIStyles=@ByteArray(\\x2\\x3)\n"
                                            "GamesPlayed=4294967295\n"
                                            "Username=Ann\n";
    CliOptions o;
    o.seed = 1;
    o.configDir = t.path.string();
    std::ostringstream out;
    CliSession session(o, out);
    session.Execute("startup");
    const Game& g = session.game();
    EXPECT_EQ(g.StartupGameName, "Evening");
    EXPECT_EQ(g.OddPickup, 3u);
    EXPECT_EQ(g.AIBehaviour, 2);
    EXPECT_EQ(g.AILevel, 3);
    EXPECT_EQ(g.GamesPlayed, 1);  // a stored -1 counts as 0
    EXPECT_EQ(g.PlayerName, "Ann");
    EXPECT_FALSE(g.NoSound);
    EXPECT_NE(out.str().find("SOUND 8 played"), std::string::npos);
}

TEST(Settings, TheRoundCountWrapsAtItsLargestValue) {
    // Found by the settings fuzzer: the count after the largest signed value overflowed.
    TempFolder t;
    std::ofstream(t.path / "skelda.ini") << "[General]\nGamesPlayed=2147483647\n";
    CliOptions o;
    o.seed = 1;
    o.configDir = t.path.string();
    std::ostringstream out;
    CliSession session(o, out);
    session.Execute("startup");
    session.Execute("show-setting GamesPlayed");
    EXPECT_NE(out.str().find("SETTING GamesPlayed number 2147483648"), std::string::npos);
}

// A value QSettings cannot read (a damaged variant), a value of the wrong kind, values
// in other sections: each reads as absent or as before, and every write of another
// setting leaves its text exactly as it was.
TEST(Settings, WritingOneSettingLeavesEveryOtherAsItWas) {
    TempFolder t;
    const std::string garbage = "@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x1eGarbage\\xff)";
    const std::string cut = "@Variant(\\0\\0\\0\\n";
    auto s = StoreWith(t, "OddPickup=" + garbage + "\n" + "OddEasy=hello\n" + "Username=" + cut +
                              "\n"
                              "AIStyles=@ByteArray(\\x1\\x2)\n"
                              "NoSound=\n"
                              "\n[Other]\nKept=" +
                              garbage + "\n");
    auto file = [&] {
        std::ifstream in(t.path / "skelda.ini");
        std::ostringstream o;
        o << in.rdbuf();
        return o.str();
    };
    EXPECT_FALSE(s->ReadNumber("OddPickup"));
    EXPECT_FALSE(s->ReadText("OddPickup", 261));
    EXPECT_FALSE(s->ReadNumber("OddEasy"));
    EXPECT_TRUE(s->Exists("OddPickup")) << "a presence test sees any kind";

    s->WriteNumber("GamesPlayed", 3);
    s->WriteText("Autoload", "Evening");
    s->WriteBytes("AIStyles", std::string("\x00\x03", 2));
    s->Delete("NoSound");
    s->WriteFlag("NoMusic");
    const std::string after = file();
    for (const std::string& line : {"OddPickup=" + garbage, std::string("OddEasy=hello"),
                                    "Username=" + cut, "Kept=" + garbage})
        EXPECT_NE(after.find(line + "\n"), std::string::npos) << line << " in\n" << after;
    EXPECT_EQ(after.find("@Invalid()"), std::string::npos) << after;

    // A fresh store reads the file as the first one left it.
    QtSettingsStore again(QString::fromStdString((t.path / "skelda.ini").string()));
    EXPECT_EQ(again.ReadNumber("GamesPlayed"), 3u);
    EXPECT_EQ(again.ReadText("Autoload", 261), "Evening");
    EXPECT_EQ(again.ReadBytes("AIStyles"), std::string("\x00\x03", 2));
    EXPECT_FALSE(again.Exists("NoSound"));
    EXPECT_TRUE(again.Exists("NoMusic"));
    EXPECT_FALSE(again.ReadNumber("OddPickup"));
    // Writing the damaged value itself replaces it.
    again.WriteNumber("OddPickup", 9);
    EXPECT_EQ(QtSettingsStore(QString::fromStdString((t.path / "skelda.ini").string()))
                  .ReadNumber("OddPickup"),
              9u);
}
