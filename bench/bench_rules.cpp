// Times the discard-pile rule and a whole scripted round through the driver, and prints
// figures as ratios against a baseline measured in the same run (one three-card meld test).
#include <chrono>
#include <cstdio>
#include <sstream>

#include "game/Game.h"
#include "game/Random.h"
#include "tools/cli/CliSession.h"

using namespace skelda;
using Clock = std::chrono::steady_clock;

namespace {

template <typename F>
double NanosPerCall(F&& f, int calls) {
    const auto start = Clock::now();
    for (int i = 0; i < calls; ++i) f(i);
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / calls;
}

// A dealt position: `handSize` cards in the hand, `pileSize` on the pile, no melds.
void Position(Game& g, uint32_t seed, int handSize, int pileSize) {
    SetRandSeed(seed);
    g.NewDeck();
    g.ShuffleDeck();
    g.YourHand.assign(g.Deck.begin(), g.Deck.begin() + handSize);
    g.DiscardPile.assign(g.Deck.begin() + handSize, g.Deck.begin() + handSize + pileSize);
    g.Melds.clear();
}

}  // namespace

int main() {
    std::ostringstream sink;
    CliOptions options;
    options.seed = 1;
    CliSession session(options, sink);
    Game& g = session.game();

    // Baseline: one three-card meld test.
    const TCardList triples[2] = {{{0, 4, 0}, {0, 5, 0}, {0, 6, 0}},
                                  {{0, 4, 0}, {1, 4, 0}, {2, 9, 0}}};
    volatile bool sinkBool = false;
    const double base =
        NanosPerCall([&](int i) { sinkBool = Game::IsValidMeld(triples[i & 1]); }, 2000000);
    std::printf("baseline: IsValidMeld of 3 cards            %9.1f ns  (1.0x)\n", base);

    for (int pile : {5, 15, 30}) {
        std::vector<uint32_t> seeds(64);
        for (size_t i = 0; i < seeds.size(); ++i) seeds[i] = static_cast<uint32_t>(i * 7919 + pile);
        const int calls = pile >= 30 ? 2000 : 20000;
        const double ns = NanosPerCall(
            [&](int i) {
                if (i % 64 == 0) Position(g, seeds[(i / 64) % 64], 7, pile);
                sinkBool = g.CanTakeDiscards(i % pile, g.YourHand);
            },
            calls);
        std::printf("CanTakeDiscards, hand 7, pile %2d          %9.1f ns  (%.0fx baseline)\n", pile,
                    ns, ns / base);
    }

    // A whole round played through the driver: the human draws and discards until the
    // stock runs out; the computer's turns are ticked in between.
    const int rounds = 200;
    int64_t commands = 0;
    const auto start = Clock::now();
    for (int r = 0; r < rounds; ++r) {
        session.Execute("seed " + std::to_string(r + 1));
        session.Execute("new-game");
        session.Execute("run");
        for (int turn = 0; turn < 60 && g.RoundNumber == 1; ++turn) {
            session.Execute("set humans-turn 1");
            session.Execute("set phase 1");
            session.Execute("stock");
            session.Execute("select 0");
            session.Execute("discard");
            session.Execute("run");
            commands += 6;
        }
        sink.str("");
    }
    const double usPerRound =
        std::chrono::duration<double, std::micro>(Clock::now() - start).count() / rounds;
    std::printf(
        "scripted round through the driver          %9.1f us  (%.0fx baseline, %lld commands)\n",
        usPerRound, usPerRound * 1000 / base, static_cast<long long>(commands / rounds));
    return sinkBool ? 0 : 0;
}
