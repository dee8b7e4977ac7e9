// Where saved games live, from the environment, with the folders made on the way.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>

#include "persist/platform/DataFolder.h"

using namespace skelda;

namespace {

// Sets an environment variable for the life of the object.
class EnvOverride {
public:
    EnvOverride(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvOverride() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

}  // namespace

TEST(DataFolder, FromAppDataOrTheXdgDataHome) {
    std::random_device rd;
    const auto root = std::filesystem::temp_directory_path() /
                      ("skelda-data-" + std::to_string(rd()) + std::to_string(rd()));
    const std::string r = root.string();
    {
        EnvOverride appData("APPDATA", (r + "/appdata").c_str());
        EXPECT_EQ(UserDataFolder("Skelda"), r + "/appdata/Orvandel Industries/Skelda");
        EXPECT_EQ(UserDataFolder(""), r + "/appdata/Orvandel Industries");
        EXPECT_TRUE(std::filesystem::is_directory(r + "/appdata/Orvandel Industries/Skelda"));
    }
    {
        EnvOverride appData("APPDATA", "");
        EnvOverride xdg("XDG_DATA_HOME", (r + "/xdg/").c_str());
        EXPECT_EQ(UserDataFolder("Skelda"), r + "/xdg/Orvandel Industries/Skelda");
        EXPECT_TRUE(std::filesystem::is_directory(r + "/xdg/Orvandel Industries/Skelda"));
    }
    {
        EnvOverride appData("APPDATA", nullptr);
        EnvOverride xdg("XDG_DATA_HOME", "relative/ignored");
        EnvOverride home("HOME", (r + "/home").c_str());
        EXPECT_EQ(UserDataFolder("Skelda"), r + "/home/.local/share/Orvandel Industries/Skelda");
        EXPECT_TRUE(std::filesystem::is_directory(r + "/home/.local/share/Orvandel Industries"));
    }
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
}
