// The table benchmarks measure at pixel ratios 1 and 2. Qt takes the ratio once, at start,
// so each ratio runs in a child process of its own with QT_SCALE_FACTOR set.
#pragma once

#include <cstdlib>
#include <cstring>
#include <string>

namespace skelda::bench {

// As a child (first argument "--ratio") runs `measure`; otherwise starts one child per ratio.
inline int RunAtEachRatio(int argc, char** argv, int (*measure)(int, char**)) {
    if (argc > 1 && std::strcmp(argv[1], "--ratio") == 0) return measure(argc, argv);
    int failed = 0;
    for (const char* ratio : {"1", "2"}) {
        const std::string command =
            std::string("QT_SCALE_FACTOR=") + ratio + " '" + argv[0] + "' --ratio";
        failed |= std::system(command.c_str());
    }
    return failed ? 1 : 0;
}

}  // namespace skelda::bench
