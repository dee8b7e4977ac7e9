// The driver's settings: in memory unless --config names a folder, where they live in
// an INI file through the same QSettings store as the desktop program's.
#include <filesystem>

#include "persist/qt/QtSettingsStore.h"
#include "tools/cli/CliSession.h"

namespace skelda {

std::unique_ptr<SettingsStore> MakeCliSettings(const std::string& configDir) {
    if (configDir.empty()) return std::make_unique<MemorySettings>();
    std::error_code ec;
    std::filesystem::create_directories(configDir, ec);
    const std::string file = (std::filesystem::path(configDir) / "skelda.ini").string();
    return std::make_unique<QtSettingsStore>(QString::fromStdString(file));
}

}  // namespace skelda
