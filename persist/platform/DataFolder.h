// The per-user folder for saved games.
#pragma once

#include <string>

namespace skelda {

// "$APPDATA/Orvandel Industries" when APPDATA is set, otherwise
// "$XDG_DATA_HOME/Orvandel Industries" (or "~/.local/share/Orvandel Industries"); then
// the application's own folder below it when `appName` is not empty, so the program's
// folder is ".../Orvandel Industries/Skelda". Every level is created
// as needed (a failure to create one is left to the first file operation to report).
// No trailing separator.
std::string UserDataFolder(const std::string& appName);

}  // namespace skelda
