#include "persist/platform/DataFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace skelda {

namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string HomeFolder() {
    std::string home = Env("HOME");
    if (!home.empty()) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return std::filesystem::temp_directory_path().string();
}

void Create(const std::filesystem::path& p) {
    std::error_code ec;
    std::filesystem::create_directories(p, ec);
}

}  // namespace

std::string UserDataFolder(const std::string& appName) {
    std::filesystem::path path;
    if (const std::string appData = Env("APPDATA"); !appData.empty()) {
        path = std::filesystem::path(appData) / "Orvandel Industries";
    } else {
        // A relative XDG_DATA_HOME is invalid and ignored.
        std::filesystem::path base = Env("XDG_DATA_HOME");
        if (base.empty() || base.is_relative())
            base = std::filesystem::path(HomeFolder()) / ".local" / "share";
        path = base / "Orvandel Industries";
    }
    Create(path);
    if (!appName.empty()) {
        path /= appName;
        Create(path);
    }
    std::string s = path.string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

}  // namespace skelda
