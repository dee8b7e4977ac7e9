// Figures for the computer opponent: the discard-pile rule as counted against the
// enumeration of every triple, on the same positions in one run, and the simulator's
// speed in games and rounds per second.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "game/CanTakeDiscardsLiteral.h"
#include "game/Random.h"
#include "tools/sim/NullHost.h"
#include "tools/sim/Simulator.h"

using namespace skelda;

namespace {

struct Position {
    TCardList hand, pile;
    std::vector<TCardList> melds;
};

// A shuffled deck dealt into a hand, a discard pile and a few melds of the kind play
// leaves on the table.
Position RandomPosition(uint32_t handSize, uint32_t pileSize) {
    std::vector<TCard> deck;
    for (uint8_t s = 0; s < 4; ++s)
        for (uint8_t r = 0; r < 13; ++r) deck.push_back({s, r, 0});
    for (size_t i = 0; i < deck.size(); ++i) std::swap(deck[i], deck[Random(52)]);
    Position p;
    size_t k = 0;
    for (uint32_t i = 0; i < handSize; ++i) p.hand.push_back(deck[k++]);
    for (uint32_t i = 0; i < pileSize; ++i) p.pile.push_back(deck[k++]);
    // Runs of three from what is left, when the rest of the deck holds them.
    for (size_t i = k; i + 2 < deck.size() && p.melds.size() < 3; ++i) {
        const TCard c = deck[i];
        if (c.Rank > 10) continue;
        p.melds.push_back({c, {c.Suit, uint8_t(c.Rank + 1), 0}, {c.Suit, uint8_t(c.Rank + 2), 0}});
    }
    return p;
}

// Processor time, so that other processes sharing the machine do not count.
template <typename F>
double Time(F&& f) {
    const std::clock_t t0 = std::clock();
    f();
    return double(std::clock() - t0) / CLOCKS_PER_SEC;
}

}  // namespace

int main(int argc, char** argv) {
    const uint64_t games = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 4000;
    NullHost host;
    Game g(host);

    std::printf(
        "CanTakeDiscards, every index of the pile, 20000 positions per row, processor time\n");
    std::printf("hand  pile   literal ns/call   counted ns/call   ratio\n");
    for (auto [handSize, pileSize] : {std::pair{7u, 5u}, {8u, 12u}, {12u, 20u}, {20u, 25u}}) {
        SetRandSeed(handSize * 1000 + pileSize);
        std::vector<Position> positions;
        for (int i = 0; i < 20000; ++i) positions.push_back(RandomPosition(handSize, pileSize));
        // Placing a position on the table is timed alone and taken off both figures; the
        // counted rule runs every index `reps` times per placing to stand above that.
        auto run = [&](int mode, int reps) {
            long trues = 0;
            for (const Position& p : positions) {
                g.DiscardPile = p.pile;
                g.Melds = p.melds;
                if (mode == 0) continue;
                for (int r = 0; r < reps; ++r)
                    for (int i = 0; i < static_cast<int>(p.pile.size()); ++i)
                        trues += mode == 1 ? CanTakeDiscardsLiteral(g, i, p.hand)
                                           : g.CanTakeDiscards(i, p.hand);
            }
            return trues;
        };
        const int reps = 20;
        long lit = 0, fast = 0;
        const double tp = Time([&] { run(0, 1); });
        const double tl = Time([&] { lit = run(1, 1); }) - tp;
        const double tf = (Time([&] { fast = run(2, reps); }) - tp) / reps;
        fast /= reps;
        const long calls = static_cast<long>(positions.size()) * pileSize;
        std::printf("%4u  %4u  %16.1f  %16.1f  %6.1fx   (%ld of %ld true%s)\n", handSize, pileSize,
                    1e9 * tl / double(calls), 1e9 * tf / double(calls), tl / tf, fast, calls,
                    lit == fast ? "" : ", COUNTS DIFFER");
    }

    sim::SimOptions o;
    o.games = games;
    o.seed = 1;
    std::printf("\nskelda-sim, %llu games, greedy player, levels in turn\n",
                static_cast<unsigned long long>(games));
    for (bool check : {false, true}) {
        o.check = check;
        const sim::SimResult r = sim::RunSimulation(o);
        std::printf("%-10s %s\n", check ? "--check" : "plain", sim::SpeedLine(r).c_str());
    }
    return 0;
}
