// skelda-sim: the computer plays game after game against a built-in player on the
// human's side; prints the speed, the win rates per level and a summary line that only
// changes when the play changes.
#include <cstdio>
#include <string>

#include "tools/sim/Simulator.h"

int main(int argc, char** argv) {
    skelda::sim::SimOptions options;
    std::string error;
    if (!skelda::sim::ParseSimOptions(argc, argv, options, error)) {
        std::fprintf(
            stderr,
            "skelda-sim: %s\nusage: skelda-sim [--games N] [--seed N] [--level N|master|all] "
            "[--behaviour N] [--odd-pickup N] [--odd-easy N] [--player simple|greedy|master|hint] "
            "[--max-rounds N] [--check]\n"
            "       [--computer-tuning LIST] [--player-tuning LIST]\n",
            error.c_str());
        return 2;
    }
    const auto result = skelda::sim::RunSimulation(options);
    std::printf("%s\n%s", skelda::sim::SpeedLine(result).c_str(),
                skelda::sim::LevelTable(result).c_str());
    const std::string decisions = skelda::sim::DecisionLine(result);
    if (!decisions.empty()) std::printf("%s\n", decisions.c_str());
    std::printf("%s\n", skelda::sim::SummaryLine(options, result).c_str());
    if (!result.violation.empty()) {
        std::printf("VIOLATION %s\n", result.violation.c_str());
        std::printf("(replay that game alone with --games 1 and its seed and level)\n");
        return 1;
    }
    return 0;
}
