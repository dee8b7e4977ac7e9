// Decision times of the Master engine on positions from self-play, in processor time of
// one thread: the draw decision, the meld-and-discard decision after a draw from the
// stock, and, as the baseline measured in the same run, a whole turn of the Expert level
// on the same positions.
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "game/Game.h"
#include "game/Random.h"
#include "opponent/Master.h"
#include "opponent/SeatView.h"
#include "tools/sim/NullHost.h"
#include "tools/sim/Players.h"

using namespace skelda;

namespace {

double ThreadMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return 1e3 * static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_nsec);
}

struct Figures {
    double p50, p99, max, mean;
};

Figures Of(std::vector<double> t) {
    std::sort(t.begin(), t.end());
    double sum = 0;
    for (double x : t) sum += x;
    auto at = [&](double q) { return t[std::min(t.size() - 1, size_t(q * double(t.size())))]; };
    return {at(0.5), at(0.99), t.back(), sum / double(t.size())};
}

void Print(const char* what, const Figures& f, const Figures& base) {
    std::printf("%-28s p50 %8.3f  p99 %8.3f  max %8.3f  mean %8.3f   p50 ratio %7.0fx\n", what,
                f.p50, f.p99, f.max, f.mean, f.p50 / base.p50);
}

}  // namespace

int main(int argc, char** argv) {
    const int games = argc > 1 ? std::atoi(argv[1]) : 40;
    NullHost host;
    std::vector<Game> positions;  // the computer about to play its turn
    for (int k = 0; k < games; ++k) {
        SetRandSeed(900 + static_cast<uint32_t>(k));
        Game g(host);
        g.AILevel = MasterLevel;
        g.PlayerName = "Bench";
        g.PickOpponentName();
        g.ComputerFirst = g.RandomFirstPlayer();
        g.NewGame(false);
        sim::Table table(g, [](sim::Move) {});
        const auto player = sim::MakePlayer("greedy");
        for (int step = 0; step < 3000 && g.GameInPlay(); ++step) {
            if (g.timers.Timer1) {
                g.Timer1Timer();
            } else if (g.timers.Timer4) {
                if (!g.DiscardPile.empty() && g.NextCard < 52) positions.push_back(g);
                g.Timer4Timer();
            } else if (g.HumansTurn && g.TurnPhase == 1) {
                player->Draw(table);
            } else if (g.HumansTurn && g.TurnPhase == 2) {
                player->MeldAndDiscard(table);
            } else {
                break;
            }
        }
    }

    std::vector<double> draw, meld, turn, expert;
    for (const Game& p : positions) {
        const SeatView before = ComputerSeatView(p, false);
        Game drawn(p);
        drawn.OpponentHand.push_back(drawn.Deck[static_cast<size_t>(drawn.NextCard++)]);
        const SeatView after = ComputerSeatView(drawn, true);

        double t0 = ThreadMs();
        master::DecideDraw(before);
        double t1 = ThreadMs();
        master::DecideMeldAndDiscard(after);
        double t2 = ThreadMs();
        draw.push_back(t1 - t0);
        meld.push_back(t2 - t1);
        turn.push_back(t2 - t0);

        Game e(p);
        e.AILevel = 3;
        const uint32_t seed = RandSeed();
        t0 = ThreadMs();
        e.Timer4Timer();
        expert.push_back(ThreadMs() - t0);
        SetRandSeed(seed);
    }
    const Figures base = Of(expert);
    std::printf(
        "Master decisions on %zu positions from %d self-play games (Master against the\n"
        "greedy player), processor time of one thread, milliseconds\n",
        positions.size(), games);
    Print("Expert, whole turn (base)", base, base);
    Print("Master, draw", Of(draw), base);
    Print("Master, meld and discard", Of(meld), base);
    Print("Master, both decisions", Of(turn), base);
    return 0;
}
