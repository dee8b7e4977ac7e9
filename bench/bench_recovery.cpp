// What keeping the recovery record costs a turn: the same game (same seed, same moves)
// played through the headless driver with and without the record, on a real folder so
// that the writes are synced to a real disk. Prints the time the record adds to a turn as
// a ratio to the turns' own processing and to the 1024 ms the computer's timer waits
// before every turn of the computer.
//   bench_recovery [turns] [folder]   (the folder defaults to a new one under /var/tmp)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>

#include "tools/cli/CliSession.h"

using namespace skelda;

namespace {

struct Run {
    double seconds = 0;      // wall time of the turns
    uint64_t screenMs = 0;   // the turns' time on screen: timer delays and pauses
    int recoveryWrites = 0;  // turns that ended with a record written
};

// One turn of each side per round of the loop: the human draws and discards the first
// card; the computer's turn follows when its timer falls due.
Run Play(bool keep, const std::string& data, int turns) {
    CliOptions o;
    o.seed = 42;
    o.dataDir = data;
    o.sound = false;
    std::ostream null(nullptr);
    CliSession s(o, null);
    s.game().KeepRecovery = keep;
    s.Execute("startup");
    s.Execute("run");
    const std::string record = s.game().RecoveryPath();
    Run r;
    const uint64_t virtualStart = s.host().now;
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < turns; ++i) {
        if (!s.game().GameInPlay()) s.Execute("new-game");
        s.Execute("stock");
        s.Execute("select 0");
        s.Execute("discard");
        s.Execute("run");
    }
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    r.screenMs = s.host().now - virtualStart;
    r.recoveryWrites = std::filesystem::exists(record) ? 2 * turns : 0;
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    const int turns = argc > 1 ? std::atoi(argv[1]) : 300;
    std::string base = argc > 2 ? argv[2] : "/var/tmp";
    std::string tmpl = base + "/skelda-bench-recovery-XXXXXX";
    if (!::mkdtemp(tmpl.data())) {
        std::perror("bench_recovery: cannot make a folder");
        return 2;
    }
    const std::string without = tmpl + "/without", with = tmpl + "/with";

    // Alternating runs, the better of three each, against the machine's other work.
    Run a, b;
    a.seconds = b.seconds = 1e9;
    for (int k = 0; k < 3; ++k) {
        const Run x = Play(false, without, turns);
        const Run y = Play(true, with, turns);
        if (x.seconds < a.seconds) a = x;
        if (y.seconds < b.seconds) b = y;
    }
    std::filesystem::remove_all(tmpl);

    // Per pair of turns (the human's and the computer's, a record after each).
    const double perPair = a.seconds / turns * 1e6;
    const double added = (b.seconds - a.seconds) / turns * 1e6;
    const double onScreen = 1024e3;  // the computer's timer alone, before any pause
    std::printf("recovery record, %d pairs of turns (yours and the computer's), best of 3\n",
                turns);
    std::printf("  processing of the two turns without the record: %10.1f us\n", perPair);
    std::printf("  added by the two records (write, sync, rename):  %10.1f us\n", added);
    std::printf("  ratio to the turns' processing:                  %10.2f\n", added / perPair);
    std::printf("  ratio to the computer's 1024 ms timer alone:     %10.5f\n", added / onScreen);
    std::printf("  (the turns as played lasted %.0f ms of timers and pauses per pair)\n",
                static_cast<double>(b.screenMs) / turns);
    if (b.recoveryWrites == 0) std::printf("  (no record was written: check the folder)\n");
    return 0;
}
