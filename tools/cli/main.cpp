// skelda-cli: the game without a window, driven by commands on standard input.
#include <iostream>

#include "tools/cli/CliSession.h"
#include "tools/cli/SaveReport.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    auto options = skelda::ParseCliOptions(args, error);
    if (!options) {
        std::cerr << "skelda-cli: " << error << "\n"
                  << "usage: skelda-cli [--seed N] [--config DIR] [--data DIR] [--sound on|off]\n"
                  << "       skelda-cli --inspect FILE.sav\n";
        return 2;
    }
    if (!options->inspect.empty()) return skelda::InspectSavedGame(options->inspect, std::cout);
    std::ios::sync_with_stdio(false);
    skelda::CliSession session(*options, std::cout);
    return session.Run(std::cin);
}
