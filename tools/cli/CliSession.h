// The headless driver: reads commands one a line and prints what the game does, one
// event a line. Used by the skelda-cli program and, in-process, by the transcript tests.
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "game/Game.h"
#include "tools/cli/CliHost.h"

namespace skelda {

struct CliOptions {
    std::optional<uint32_t> seed;
    std::string configDir;  // empty: a store in memory, thrown away at exit
    std::string dataDir;    // empty: a fresh temporary folder
    bool sound = true;
};

// Parses the command line; nothing (and a reason) for unusable options.
std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& args, std::string& error);

class CliSession {
public:
    CliSession(const CliOptions& options, std::ostream& out);
    ~CliSession();

    // Runs one command line; false after "quit".
    bool Execute(const std::string& line);
    // Runs every line of the input; the exit status.
    int Run(std::istream& in);

    Game& game() { return *game_; }
    CliHost& host() { return *host_; }
    std::string StateJson();
    // The keys and JSON values of the state object, in order.
    std::vector<std::pair<std::string, std::string>> StateFields();

private:
    void Error(const std::string& reason);
    bool Set(const std::string& field, const std::string& rest);
    void Tick(const std::string& timer);
    void RunTimers();

    std::ostream& out_;
    std::string tempDir_;
    std::unique_ptr<CliHost> host_;
    std::unique_ptr<Game> game_;
};

// Makes the settings store for --config DIR (or a memory store for an empty DIR).
std::unique_ptr<SettingsStore> MakeCliSettings(const std::string& configDir);

}  // namespace skelda
