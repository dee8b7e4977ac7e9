#include "tools/sim/Simulator.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>

#include "game/Random.h"
#include "opponent/Master.h"
#include "tools/sim/Checker.h"
#include "tools/sim/NullHost.h"
#include "tools/sim/Players.h"

namespace skelda::sim {

namespace {

bool ParseUnsigned(const std::string& s, uint64_t max, uint64_t& out) {
    if (s.empty() || s.size() > 20) return false;
    uint64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        if (v > (max - static_cast<uint64_t>(c - '0')) / 10) return false;
        v = v * 10 + static_cast<uint64_t>(c - '0');
    }
    out = v;
    return true;
}

void Mix(uint32_t& h, int64_t v) {
    for (int i = 0; i < 8; ++i) {
        h ^= static_cast<uint8_t>(v >> (8 * i));
        h *= 16777619u;
    }
}

// One game from its own seed. Returns false when a check failed or play got stuck.
struct GameRun {
    const SimOptions& options;
    SimResult& result;
    uint64_t index;
    uint32_t seed;
    int level;

    std::string Where(const Game& g, Move m, uint64_t action) const {
        // The game replays alone with --games 1 --seed <seed> --level <level>.
        return "seed " + std::to_string(seed) + " (game " + std::to_string(index + 1) + ", level " +
               std::to_string(level) + "), round " + std::to_string(g.RoundNumber) + ", action " +
               std::to_string(action) + ": " + Describe(m);
    }

    void Play(HumanPlayer& player) {
        SetRandSeed(seed);
        NullHost host;
        Game g(host);
        g.AILevel = static_cast<uint8_t>(level);
        g.AIBehaviour = options.behaviour;
        g.OddPickup = options.oddPickup;
        g.OddEasy = options.oddEasy;
        g.PlayerName = host.LogonName();
        g.PickOpponentName();
        g.ComputerFirst = g.RandomFirstPlayer();

        LevelStats& stats = result.levels[level];
        uint64_t action = 0;
        uint64_t roundActions = 0;
        uint64_t turnsThisRound = 0;
        int rounds = 0;
        Move last{MoveKind::DealTick};
        Table table(g, [&](Move m) {
            ++action;
            ++roundActions;
            last = m;
            if (!options.check || table.stop) return;
            const std::string bad = CheckTable(g);
            if (!bad.empty()) {
                result.violation = Where(g, m, action) + ": " + bad;
                table.stop = true;
            }
        });
        host.onRoundOver = [&] {
            ++rounds;
            ++stats.rounds;
            stats.turns += turnsThisRound;
            turnsThisRound = 0;
            roundActions = 0;
            if (!options.check || table.stop) return;
            std::string bad = CheckRoundScores(g);
            if (bad.empty()) bad = CheckTable(g);
            if (!bad.empty()) {
                result.violation =
                    Where(g, table.current, action + 1) + " (at the end of the round): " + bad;
                table.stop = true;
            }
        };

        g.NewGame(false);
        ++stats.games;
        bool finished = false;
        for (uint64_t idle = 0; !table.stop;) {
            const uint64_t before = action;
            if (g.timers.Timer1) {
                table.current = {MoveKind::DealTick};
                g.Timer1Timer();
                table.Done({MoveKind::DealTick});
            } else if (g.timers.Timer4) {
                ++turnsThisRound;
                table.current = {MoveKind::ComputerTurn};
                g.Timer4Timer();
                table.Done({MoveKind::ComputerTurn});
            } else if (!g.GameInPlay()) {
                finished = true;
                break;
            } else if (g.HumansTurn && g.TurnPhase == 1 && g.controls.PaintBox5) {
                ++turnsThisRound;
                player.Draw(table);
            } else if (g.HumansTurn && g.TurnPhase == 2) {
                player.MeldAndDiscard(table);
            }
            idle = action == before ? idle + 1 : 0;
            if (idle > 3 || roundActions > 20000) {
                result.violation = Where(g, last, action) + ": play is stuck (phase " +
                                   std::to_string(g.TurnPhase) + ", human's turn " +
                                   (g.HumansTurn ? "yes" : "no") + ")";
                table.stop = true;
            }
            if (rounds >= options.maxRounds) break;
        }
        result.refusals += static_cast<uint64_t>(host.errors);
        if (table.stop) return;
        ++result.games;
        const int you = g.YourTotal(), them = g.OpponentTotal();
        if (!finished)
            ++stats.unfinished;
        else if (them > you)
            ++stats.computerWins;
        Mix(result.signature, static_cast<int64_t>(index));
        Mix(result.signature, you);
        Mix(result.signature, them);
        Mix(result.signature, rounds);
    }
};

std::string Percent(double x) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f%%", 100.0 * x);
    return buf;
}

// "samples=8,objective=round,hold=off": the engine's settings, each optional.
bool ParseTuning(const std::string& text, master::Tuning& t) {
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find(',', start), text.size());
        const std::string item = text.substr(start, end - start);
        const size_t eq = item.find('=');
        if (eq == std::string::npos) return false;
        const std::string key = item.substr(0, eq), value = item.substr(eq + 1);
        uint64_t n = 0;
        if (key == "samples" && ParseUnsigned(value, 200, n) && n > 0)
            t.samples = static_cast<int>(n);
        else if (key == "objective" && (value == "game" || value == "round"))
            t.gameChance = value == "game";
        else if (key == "hold" && (value == "on" || value == "off"))
            t.holdBack = value == "on";
        else if (key == "bonus" && ParseUnsigned(value, 1000, n))
            t.placeBonus = static_cast<double>(n) / 10000.0;
        else
            return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

bool ParseSimOptions(int argc, char** argv, SimOptions& o, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--check") {
            o.check = true;
            continue;
        }
        if (i + 1 >= argc) {
            error = "option " + a + " needs a value";
            return false;
        }
        const std::string v = argv[++i];
        uint64_t n = 0;
        if (a == "--games") {
            if (!ParseUnsigned(v, 100000000, n) || n == 0)
                return error = "--games takes a number from 1 to 100000000", false;
            o.games = n;
        } else if (a == "--seed") {
            if (!ParseUnsigned(v, 4294967295u, n))
                return error = "--seed takes a number from 0 to 4294967295", false;
            o.seed = static_cast<uint32_t>(n);
        } else if (a == "--level") {
            if (v == "all") {
                o.level = -1;
            } else if (v == "master") {
                o.level = MasterLevel;
            } else if (ParseUnsigned(v, 255, n)) {
                o.level = static_cast<int>(n);
            } else {
                return error = "--level takes a number from 0 to 255, master or all", false;
            }
        } else if (a == "--behaviour" || a == "--behavior") {
            if (!ParseUnsigned(v, 255, n))
                return error = "--behaviour takes a number from 0 to 255", false;
            o.behaviour = static_cast<uint8_t>(n);
        } else if (a == "--odd-pickup" || a == "--odd-easy") {
            if (!ParseUnsigned(v, 4294967295u, n))
                return error = a + " takes a number from 0 to 4294967295", false;
            (a == "--odd-pickup" ? o.oddPickup : o.oddEasy) = static_cast<uint32_t>(n);
        } else if (a == "--player") {
            if (v != "simple" && v != "greedy" && v != "master" && v != "hint")
                return error = "--player takes simple, greedy, master or hint", false;
            o.player = v;
        } else if (a == "--computer-tuning" || a == "--player-tuning") {
            if (!ParseTuning(v, a == "--computer-tuning" ? o.computerTuning : o.playerTuning))
                return error = a +
                               " takes a list such as samples=8,objective=round,hold=off,bonus=10 "
                               "(samples 1 to 200, objective game or round, hold on or off, "
                               "bonus 0 to 1000 ten-thousandths per point)",
                       false;
        } else if (a == "--max-rounds") {
            if (!ParseUnsigned(v, 1000000, n) || n == 0)
                return error = "--max-rounds takes a number from 1 to 1000000", false;
            o.maxRounds = static_cast<int>(n);
        } else {
            error = "unknown option " + a;
            return false;
        }
    }
    return true;
}

SimResult RunSimulation(const SimOptions& options) {
    SimResult result;
    const auto player = MakePlayer(options.player);
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    master::SetDecisionObserver([&](double ms) { result.decisionMs.push_back(ms); });
    master::SeatTuning(Seat::Computer) = options.computerTuning;
    master::SeatTuning(Seat::Human) = options.playerTuning;
    for (uint64_t k = 0; k < options.games && result.violation.empty(); ++k) {
        const int level = options.level >= 0 ? options.level : static_cast<int>(k % 4);
        GameRun run{options, result, k, static_cast<uint32_t>(options.seed + k), level};
        run.Play(*player);
    }
    for (const auto& [level, s] : result.levels) {
        result.rounds += s.rounds;
        result.turns += s.turns;
    }
    master::SetDecisionObserver(nullptr);
    master::SeatTuning(Seat::Computer) = master::Tuning{};
    master::SeatTuning(Seat::Human) = master::Tuning{};
    result.cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}

std::string SummaryLine(const SimOptions& o, const SimResult& r) {
    uint64_t wins = 0, unfinished = 0;
    for (const auto& [level, s] : r.levels) {
        wins += s.computerWins;
        unfinished += s.unfinished;
    }
    char buf[512];
    std::snprintf(buf, sizeof buf,
                  "SUMMARY seed=%u games=%llu player=%s level=%s behaviour=%u odd-pickup=%u "
                  "odd-easy=%u rounds=%llu computer-wins=%llu unfinished=%llu "
                  "mean-round-length=%.3f signature=%08x",
                  o.seed, static_cast<unsigned long long>(r.games), o.player.c_str(),
                  o.level < 0 ? "all" : std::to_string(o.level).c_str(), o.behaviour, o.oddPickup,
                  o.oddEasy, static_cast<unsigned long long>(r.rounds),
                  static_cast<unsigned long long>(wins),
                  static_cast<unsigned long long>(unfinished),
                  r.rounds ? double(r.turns) / double(r.rounds) : 0.0, r.signature);
    return buf;
}

namespace {

// The Wilson score interval (z = 1.96) of k successes in n.
std::string Rate(uint64_t k, uint64_t n) {
    const double dn = double(n);
    const double p = n > 0 ? double(k) / dn : 0;
    const double z = 1.96, z2 = z * z;
    double lo = 0, hi = 0;
    if (n > 0) {
        const double centre = (p + z2 / (2 * dn)) / (1 + z2 / dn);
        const double half = z * std::sqrt(p * (1 - p) / dn + z2 / (4 * dn * dn)) / (1 + z2 / dn);
        lo = centre - half;
        hi = centre + half;
    }
    char buf[96];
    std::snprintf(buf, sizeof buf, "%-6s  [%s, %s]", Percent(p).c_str(), Percent(lo).c_str(),
                  Percent(hi).c_str());
    return buf;
}

}  // namespace

std::string LevelTable(const SimResult& r) {
    std::string out =
        "level  games  computer wins  rate    95% interval     player rate  95% interval"
        "     rounds/game  turns/round\n";
    for (const auto& [level, s] : r.levels) {
        const uint64_t decided = s.games - s.unfinished;
        char buf[320];
        std::snprintf(buf, sizeof buf, "%-5d  %5llu  %13llu  %-22s  %-29s  %11.2f  %11.2f\n", level,
                      static_cast<unsigned long long>(s.games),
                      static_cast<unsigned long long>(s.computerWins),
                      Rate(s.computerWins, decided).c_str(),
                      Rate(decided - s.computerWins, decided).c_str(),
                      s.games ? double(s.rounds) / double(s.games) : 0.0,
                      s.rounds ? double(s.turns) / double(s.rounds) : 0.0);
        out += buf;
    }
    return out;
}

std::string DecisionLine(const SimResult& r) {
    if (r.decisionMs.empty()) return {};
    std::vector<double> t = r.decisionMs;
    std::sort(t.begin(), t.end());
    auto at = [&](double q) { return t[std::min(t.size() - 1, size_t(q * double(t.size())))]; };
    char buf[200];
    std::snprintf(buf, sizeof buf,
                  "MASTER %zu decisions: p50 %.3f ms, p99 %.3f ms, max %.3f ms (processor time)",
                  t.size(), at(0.5), at(0.99), t.back());
    return buf;
}

std::string SpeedLine(const SimResult& r) {
    char buf[256];
    const double t = r.seconds > 0 ? r.seconds : 1e-9;
    const double c = r.cpuSeconds > 0 ? r.cpuSeconds : 1e-9;
    // Per processor second as well: on a shared machine the wall clock also counts the
    // time other processes had the core.
    std::snprintf(buf, sizeof buf,
                  "SPEED %.3f s wall: %.0f games/s, %.0f rounds/s; %.3f s processor: %.0f "
                  "games/s, %.0f rounds/s",
                  r.seconds, double(r.games) / t, double(r.rounds) / t, r.cpuSeconds,
                  double(r.games) / c, double(r.rounds) / c);
    return buf;
}

}  // namespace skelda::sim
