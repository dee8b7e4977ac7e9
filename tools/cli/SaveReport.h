// skelda-cli --inspect FILE: a saved game as JSON, with whether its checksum holds and
// whether the game would load it, for players and for bug reports.
#pragma once

#include <ostream>
#include <string>

namespace skelda {

// The exit status: 0 when the game would load the file, 1 when it would refuse it,
// 2 when the file cannot be read.
int InspectSavedGame(const std::string& path, std::ostream& out);

}  // namespace skelda
