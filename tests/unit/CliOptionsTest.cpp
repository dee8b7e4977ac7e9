// The driver's command line: what it accepts, and the options it refuses as unusable
// (exit status 2) before anything runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "tools/cli/CliSession.h"

using namespace skelda;

namespace {

std::optional<CliOptions> Parse(std::vector<std::string> args, std::string* why = nullptr) {
    std::string error;
    auto o = ParseCliOptions(args, error);
    if (why) *why = error;
    return o;
}

}  // namespace

TEST(CliOptions, SeedAndSoundTakeOnlyTheirValues) {
    auto o = Parse({"--seed", "4294967295", "--sound", "off"});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->seed, 4294967295u);
    EXPECT_FALSE(o->sound);
    EXPECT_FALSE(Parse({"--seed", "4294967296"}));
    EXPECT_FALSE(Parse({"--seed", "x"}));
    EXPECT_FALSE(Parse({"--sound", "loud"}));
    EXPECT_FALSE(Parse({"--seed"}));
    EXPECT_FALSE(Parse({"--colour", "green"}));
    EXPECT_TRUE(Parse({}));
}

TEST(CliOptions, FoldersAreMadeAndAFileIsRefused) {
    std::random_device rd;
    const auto root =
        std::filesystem::temp_directory_path() / ("skelda-cli-options-" + std::to_string(rd()));
    const auto config = root / "config" / "deeper";
    auto o = Parse({"--config", config.string(), "--data", (root / "data").string()});
    ASSERT_TRUE(o);
    EXPECT_TRUE(std::filesystem::is_directory(config));
    EXPECT_TRUE(std::filesystem::is_directory(root / "data"));

    const auto file = root / "a-file";
    std::ofstream(file) << "not a folder";
    std::string why;
    EXPECT_FALSE(Parse({"--config", file.string()}, &why));
    EXPECT_NE(why.find("--config"), std::string::npos);
    EXPECT_FALSE(Parse({"--data", (file / "below").string()}, &why));
    EXPECT_NE(why.find("--data"), std::string::npos);
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
}
