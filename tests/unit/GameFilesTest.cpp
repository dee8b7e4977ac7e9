// The file layer under hostile files: whatever sits at a saved game's name, a read ends at
// once, and a write either replaces the file whole or leaves it as it was.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "persist/platform/GameFiles.h"

namespace skelda {
namespace {

namespace fs = std::filesystem;

class GameFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "skelda-files-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir = tmpl;
    }
    void TearDown() override {
        SetGameFileFaultForTests({});
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    static std::string Slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // Every name in the folder; a write must leave no temporary behind.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
    fs::path dir;
};

TEST_F(GameFilesTest, ReadsRefuseEverythingButARegularFileAtOnce) {
    std::string error;
    ASSERT_EQ(::mkfifo(Path("fifo.sav").c_str(), 0600), 0);
    EXPECT_FALSE(ReadGameFile(Path("fifo.sav"), error)) << "a FIFO with no writer would hang";
    EXPECT_FALSE(GameFileExists(Path("fifo.sav")));
    fs::create_symlink("/dev/zero", Path("zero.sav"));
    EXPECT_FALSE(ReadGameFile(Path("zero.sav"), error)) << "an endless device";
    fs::create_symlink(Path("fifo.sav"), Path("to-fifo.sav"));
    EXPECT_FALSE(ReadGameFile(Path("to-fifo.sav"), error));
    fs::create_directory(Path("folder.sav"));
    EXPECT_FALSE(ReadGameFile(Path("folder.sav"), error));
    EXPECT_FALSE(GameFileExists(Path("folder.sav")));
    EXPECT_FALSE(ReadGameFile(Path("missing.sav"), error));
    EXPECT_FALSE(error.empty());

    // A huge (sparse) file is refused from its size, without being read.
    { std::ofstream(Path("huge.sav")); }
    fs::resize_file(Path("huge.sav"), 300u * 1024 * 1024);
    error.clear();
    EXPECT_FALSE(ReadGameFile(Path("huge.sav"), error));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;

    // A regular file, directly or through a link, is read whole.
    const std::string bytes(6133, 'x');
    ASSERT_TRUE(WriteGameFile(Path("game.sav"), bytes, error)) << error;
    fs::create_symlink(Path("game.sav"), Path("link.sav"));
    EXPECT_EQ(ReadGameFile(Path("link.sav"), error), bytes);
    EXPECT_EQ(ReadGameFile(Path("game.sav"), error, 6133), bytes);
    EXPECT_FALSE(ReadGameFile(Path("game.sav"), error, 6132)) << "one byte over the bound";
}

TEST_F(GameFilesTest, WritesNeverFollowAPlantedLink) {
    // Links where a writer might put its temporary: the old fixed name and many names
    // of the layer's own pattern, all pointing at a file outside the folder.
    const fs::path outside = dir / "outside";
    fs::create_directory(outside);
    const std::string victim = (outside / "victim").string();
    { std::ofstream(victim) << "precious"; }
    fs::create_directory(dir / "data");
    const std::string target = (dir / "data" / "x.sav").string();
    fs::create_symlink(victim, target + ".tmp");
    fs::create_symlink(victim, (dir / "data" / ".x.sav.tmp").string());
    const char* const letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    srand(7);
    for (int i = 0; i < 500; ++i) {
        std::string name = ".x.sav.";
        for (int k = 0; k < 6; ++k) name += letters[rand() % 62];
        std::error_code ec;
        fs::create_symlink(victim, dir / "data" / name, ec);
    }
    std::string error;
    for (int round = 0; round < 20; ++round)
        ASSERT_TRUE(WriteGameFile(target, "new " + std::to_string(round), error)) << error;
    EXPECT_EQ(Slurp(victim), "precious");
    EXPECT_EQ(Slurp(target), "new 19");

    // The target itself a link: the link is replaced by the file, its target is kept.
    fs::remove(target);
    fs::create_symlink(victim, target);
    ASSERT_TRUE(WriteGameFile(target, "mine", error)) << error;
    EXPECT_FALSE(fs::is_symlink(target));
    EXPECT_EQ(Slurp(victim), "precious");
    EXPECT_EQ(Slurp(target), "mine");
}

TEST_F(GameFilesTest, AFailedWriteSaysWhyAndLeavesTheOldFile) {
    std::string error;
    ASSERT_TRUE(WriteGameFile(Path("g.sav"), "old", error));
    const std::vector<std::string> before = Names();
    // A full disk at each step, a read-only folder at creation, a rename refused.
    for (const auto& [step, err] : std::vector<std::pair<std::string, int>>{{"create", EROFS},
                                                                            {"create", EACCES},
                                                                            {"write", ENOSPC},
                                                                            {"sync", EIO},
                                                                            {"rename", ENOSPC}}) {
        SetGameFileFaultForTests(
            [step = step, err = err](const char* s) { return step == s ? err : 0; });
        error.clear();
        EXPECT_FALSE(WriteGameFile(Path("g.sav"), std::string(6133, 'n'), error)) << step;
        EXPECT_NE(error.find(std::strerror(err)), std::string::npos) << step << ": " << error;
        EXPECT_NE(error.find(Path("g.sav")), std::string::npos) << error;
        EXPECT_EQ(Slurp(Path("g.sav")), "old") << step;
        EXPECT_EQ(Names(), before) << "no temporary left after a failed " << step;
    }
    SetGameFileFaultForTests({});

    // Over a folder, into a missing folder: refused, nothing left behind.
    fs::create_directory(Path("folder.sav"));
    EXPECT_FALSE(WriteGameFile(Path("folder.sav"), "x", error));
    EXPECT_TRUE(fs::is_directory(Path("folder.sav")));
    EXPECT_FALSE(WriteGameFile(Path("none/g.sav"), "x", error));
    EXPECT_EQ(Names().size(), before.size() + 1);

    // What a killed writer left is cleared by the next write once it is old; a fresh
    // one may belong to a writer running now and stays.
    for (const char* name : {".g.sav.Old123", ".g.sav.New456"}) std::ofstream(Path(name)) << "x";
    const auto old = fs::last_write_time(Path(".g.sav.Old123")) - std::chrono::minutes(5);
    fs::last_write_time(Path(".g.sav.Old123"), old);
    ASSERT_TRUE(WriteGameFile(Path("g.sav"), "new", error)) << error;
    EXPECT_FALSE(fs::exists(Path(".g.sav.Old123")));
    EXPECT_TRUE(fs::exists(Path(".g.sav.New456")));

    // Removing: files yes, folders no.
    EXPECT_FALSE(RemoveGameFile(Path("folder.sav")));
    EXPECT_TRUE(RemoveGameFile(Path("g.sav")));
    EXPECT_FALSE(RemoveGameFile(Path("g.sav")));
}

}  // namespace
}  // namespace skelda
