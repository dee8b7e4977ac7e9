// The one way the game's files (saved games and the recovery record) are read, written
// and removed, shared by the desktop program and skelda-cli. Plain POSIX.
//
// Reads take regular files only: a FIFO, a device, a folder or a link to one is refused
// at once, without waiting on it, and a file larger than the bound is refused without
// being read. Writes go to a temporary file created exclusively beside the target, are
// flushed to the disk, renamed over the target and the folder is synced, so the target
// is always either the old file or the new one; any failure removes the temporary,
// leaves the old file and says why. Temporaries that a killed writer left behind are
// removed by the next write of the same file once they are a minute old.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace skelda {

// Room for a saved game (6133 bytes) with plenty to spare, far below anything that
// could hurt to hold in memory.
constexpr size_t GameFileMaxBytes = 64 * 1024;

// Whether `path` names a regular file (after links).
bool GameFileExists(const std::string& path);

// The whole file, or nothing with the reason in `error`.
std::optional<std::string> ReadGameFile(const std::string& path, std::string& error,
                                        size_t maxBytes = GameFileMaxBytes);

// Replaces `path` whole; false with a message for the player when it did not.
bool WriteGameFile(const std::string& path, const std::string& bytes, std::string& error);

// Removes a file (not a folder); false when there was nothing to remove or it failed.
bool RemoveGameFile(const std::string& path);

// Renames `from` to `to`, replacing `to`; false on failure.
bool RenameGameFile(const std::string& from, const std::string& to);

// For the tests: a step of a write can be made to fail with an error number. The
// function gets the step's name ("create", "write", "sync", "rename", "sync-folder")
// and returns 0 to let it run or the errno to fail it with. Empty: no faults.
using GameFileFault = std::function<int(const char* step)>;
void SetGameFileFaultForTests(GameFileFault fault);

}  // namespace skelda
