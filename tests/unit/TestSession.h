// The headless driver in-process, sound off, for tests that run a few commands and read
// what they printed.
#pragma once

#include <memory>
#include <sstream>
#include <string>

#include "tools/cli/CliSession.h"

namespace skelda {

class TestSession {
public:
    explicit TestSession(uint32_t seed, const std::string& data = "") {
        CliOptions o;
        o.seed = seed;
        o.dataDir = data;
        o.sound = false;
        cli = std::make_unique<CliSession>(o, out);
    }
    // Runs commands, one a line, and gives what they printed.
    std::string Run(const std::string& lines) {
        out.str("");
        std::istringstream in(lines);
        std::string line;
        while (std::getline(in, line)) cli->Execute(line);
        return out.str();
    }
    Game& game() { return cli->game(); }

    std::ostringstream out;
    std::unique_ptr<CliSession> cli;
};

}  // namespace skelda
