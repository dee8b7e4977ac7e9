// Load on one skelda-scores on loopback: clients submit real submissions (made by the
// game's own address builder) and read the top ten for a fixed time; then the rows in
// the database are counted against the acknowledged submissions; then the server is
// killed with SIGKILL under load, started again, and every acknowledged score looked for.
//
//   bench_scores [--seconds 30] [--clients 8] [--submit-share 4] [--https]
//                [--kill-seconds 6] [--max-requests 3000000] [--server PATH]
//
// The baseline, measured in the same run on the same disk, is SQLite alone committing
// one synced row a transaction: the most an unbatched writer can do.
#include <httplib.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "game/Random.h"
#include "persist/ScoreSubmission.h"
#include "server/ServerProcess.h"

using namespace skelda;
using Clock = std::chrono::steady_clock;

namespace {

struct Config {
    double seconds = 30, killSeconds = 6;
    int clients = 8, submitShare = 4;
    long maxRequests = 3000000;
    bool https = false;
    std::string server = SKELDA_SCORES_SERVER;
};

struct Tally {
    std::vector<double> submitMs, readMs;
    std::vector<std::string> acked;
    long errors = 0, refused = 0;
};

std::mutex generator;
std::atomic<uint32_t> nextSeed{0};
std::atomic<long> requests{0};

// A fresh seed makes a fresh nonce; the address is the game's own.
std::pair<std::string, std::string> Submission(int client) {
    const uint32_t seed = nextSeed++;
    std::string nonce;
    {
        std::lock_guard lock(generator);
        SetRandSeed(seed);
        nonce = RandomToken();
    }
    const std::string name = "load client " + std::to_string(client) + " #" + std::to_string(seed);
    const std::string address =
        ScoreSubmitAddress(name, static_cast<int>(seed % 1000), static_cast<int32_t>(seed), nonce);
    return {address.substr(address.find("/skeldaScores/")), nonce};
}

std::unique_ptr<httplib::Client> Connect(const Config& c, int port) {
    auto client = std::make_unique<httplib::Client>(
        (c.https ? "https://127.0.0.1:" : "http://127.0.0.1:") + std::to_string(port));
    client->enable_server_certificate_verification(false);
    client->set_keep_alive(true);
    client->set_tcp_nodelay(true);
    client->set_url_encode(false);  // the address is sent as the game made it
    client->set_connection_timeout(2);
    client->set_read_timeout(10);
    return client;
}

void Load(const Config& c, int port, int id, Clock::time_point until, Tally& t) {
    auto client = Connect(c, port);
    for (long n = 0; Clock::now() < until && requests++ < c.maxRequests; ++n) {
        const bool submit = n % c.submitShare == 0;
        std::string path, nonce;
        if (submit)
            std::tie(path, nonce) = Submission(id);
        else
            path = n % 2 ? "/skeldaScores/?pid=4242.5" : "/skeldaScores/top.json";
        const auto start = Clock::now();
        const auto res = client->Get(path.c_str());
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (!res) {
            ++t.errors;
            client = Connect(c, port);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        if (res->status != 200) {
            ++t.refused;
            continue;
        }
        (submit ? t.submitMs : t.readMs).push_back(ms);
        if (submit) t.acked.push_back(nonce);
    }
}

Tally Run(const Config& c, int port, double seconds, const std::function<void()>& midway = {}) {
    std::vector<Tally> tallies(static_cast<size_t>(c.clients));
    std::vector<std::thread> threads;
    const auto until = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                          std::chrono::duration<double>(seconds));
    for (int i = 0; i < c.clients; ++i)
        threads.emplace_back(Load, std::cref(c), port, i, until, std::ref(tallies[i]));
    if (midway) {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds / 2));
        midway();
    }
    for (auto& t : threads) t.join();
    Tally all;
    for (auto& t : tallies) {
        all.submitMs.insert(all.submitMs.end(), t.submitMs.begin(), t.submitMs.end());
        all.readMs.insert(all.readMs.end(), t.readMs.begin(), t.readMs.end());
        all.acked.insert(all.acked.end(), t.acked.begin(), t.acked.end());
        all.errors += t.errors;
        all.refused += t.refused;
    }
    return all;
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

struct Rows {
    long count = -1, distinct = -1;
    std::unordered_set<std::string> nonces;
};

Rows CountRows(const std::string& db) {
    Rows r;
    sqlite3* h = nullptr;
    if (sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return r;
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(h, "SELECT count(*), count(DISTINCT nonce) FROM scores", -1, &s,
                           nullptr) == SQLITE_OK &&
        sqlite3_step(s) == SQLITE_ROW) {
        r.count = sqlite3_column_int64(s, 0);
        r.distinct = sqlite3_column_int64(s, 1);
    }
    sqlite3_finalize(s);
    if (sqlite3_prepare_v2(h, "SELECT nonce FROM scores", -1, &s, nullptr) == SQLITE_OK) {
        while (sqlite3_step(s) == SQLITE_ROW)
            r.nonces.insert(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
    }
    sqlite3_finalize(s);
    sqlite3_close(h);
    return r;
}

long Missing(const Rows& rows, const std::vector<std::string>& acked) {
    long missing = 0;
    for (const auto& n : acked) missing += rows.nonces.count(n) == 0;
    return missing;
}

// SQLite alone: one row a synced transaction in WAL mode, for two seconds.
double BaselineCommitsPerSecond(const std::string& dir) {
    sqlite3* h = nullptr;
    sqlite3_open((dir + "/baseline.db").c_str(), &h);
    sqlite3_exec(h,
                 "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;"
                 "CREATE TABLE t (id INTEGER PRIMARY KEY, v TEXT UNIQUE)",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(h, "INSERT INTO t (v) VALUES (?)", -1, &s, nullptr);
    const auto start = Clock::now();
    long n = 0;
    while (Clock::now() - start < std::chrono::seconds(2)) {
        const std::string v = "row " + std::to_string(n++);
        sqlite3_bind_text(s, 1, v.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(s);
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    sqlite3_close(h);
    return static_cast<double>(n) / std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    Config c;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool more = i + 1 < argc;
        if (a == "--https")
            c.https = true;
        else if (a == "--seconds" && more)
            c.seconds = std::atof(argv[++i]);
        else if (a == "--kill-seconds" && more)
            c.killSeconds = std::atof(argv[++i]);
        else if (a == "--clients" && more)
            c.clients = std::max(1, std::atoi(argv[++i]));
        else if (a == "--submit-share" && more)
            c.submitShare = std::max(1, std::atoi(argv[++i]));
        else if (a == "--max-requests" && more)
            c.maxRequests = std::atol(argv[++i]);
        else if (a == "--server" && more)
            c.server = argv[++i];
        else {
            std::fprintf(stderr,
                         "usage: bench_scores [--seconds S] [--clients N] [--submit-share N] "
                         "[--https] [--kill-seconds S] [--max-requests N] [--server PATH]\n");
            return 2;
        }
    }
    signal(SIGPIPE, SIG_IGN);
    char dirTemplate[] = "/tmp/skelda-bench-XXXXXX";
    const std::string dir = mkdtemp(dirTemplate);
    const std::string db = dir + "/scores.db", log = dir + "/server.log";
    std::vector<std::string> args{"--db", db, "--rate", "0"};
    if (c.https) {
        const std::string cmd =
            "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "
            "/CN=127.0.0.1 -keyout " +
            dir + "/key.pem -out " + dir + "/cert.pem 2>/dev/null";
        if (std::system(cmd.c_str()) != 0) return std::fprintf(stderr, "openssl failed\n"), 1;
        args.insert(args.end(), {"--cert", dir + "/cert.pem", "--key", dir + "/key.pem"});
    }
    nextSeed = static_cast<uint32_t>(Clock::now().time_since_epoch().count());

    const double baseline = BaselineCommitsPerSecond(dir);
    std::printf("baseline: SQLite alone, one synced row a commit: %.0f commits/s\n", baseline);

    ServerProcess server;
    if (!server.Start(c.server, args, log)) return std::fprintf(stderr, "no server\n"), 1;
    std::printf("load: %d clients, %s, 1 in %d requests a submission, %.0f s\n", c.clients,
                c.https ? "HTTPS" : "HTTP", c.submitShare, c.seconds);
    const auto start = Clock::now();
    const Tally t = Run(c, server.port, c.seconds);
    const double took = std::chrono::duration<double>(Clock::now() - start).count();
    const int stopped = server.Stop(SIGTERM);
    const size_t total = t.submitMs.size() + t.readMs.size();
    std::printf("  %zu requests in %.1f s: %.0f requests/s (%.0f submissions/s, %.0f reads/s)\n",
                total, took, static_cast<double>(total) / took,
                static_cast<double>(t.submitMs.size()) / took,
                static_cast<double>(t.readMs.size()) / took);
    std::printf("  submissions/s against the baseline: %.2f\n",
                static_cast<double>(t.submitMs.size()) / took / baseline);
    std::printf(
        "  submit latency p50 %.2f ms, p99 %.2f ms; read latency p50 %.2f ms, p99 %.2f ms\n",
        Percentile(t.submitMs, 0.5), Percentile(t.submitMs, 0.99), Percentile(t.readMs, 0.5),
        Percentile(t.readMs, 0.99));
    std::printf("  failed requests %ld, refused %ld; server stopped on SIGTERM with status %d\n",
                t.errors, t.refused, stopped);
    Rows rows = CountRows(db);
    const long lost = Missing(rows, t.acked);
    std::printf("  rows %ld, acknowledged %zu, lost %ld, doubled %ld\n", rows.count, t.acked.size(),
                lost, rows.count - rows.distinct);
    bool sound = lost == 0 && rows.count == static_cast<long>(t.acked.size()) &&
                 rows.count == rows.distinct && stopped == 0;

    // Killed under load: what was acknowledged must be there after a restart.
    if (c.killSeconds > 0) {
        if (!server.Start(c.server, args, log)) return std::fprintf(stderr, "no restart\n"), 1;
        const long before = rows.count;
        const Tally k = Run(c, server.port, c.killSeconds, [&] { server.Stop(SIGKILL); });
        if (!server.Start(c.server, args, log)) {
            std::printf("kill -9: the server did not start again (log %s)\n", log.c_str());
            return 1;
        }
        server.Stop(SIGTERM);
        rows = CountRows(db);
        const long missing = Missing(rows, k.acked);
        std::printf(
            "kill -9 mid-load: %zu acknowledged before the kill, %ld failed after it; "
            "after a restart %ld of them missing, %ld rows unacknowledged but stored, "
            "doubled %ld\n",
            k.acked.size(), k.errors, missing,
            rows.count - before - static_cast<long>(k.acked.size()), rows.count - rows.distinct);
        sound = sound && missing == 0 && rows.count == rows.distinct;
    }
    if (sound) {
        std::printf("every acknowledged score kept, none doubled\n");
        std::system(("rm -rf " + dir).c_str());
        return 0;
    }
    std::printf("FAULT: rows lost or doubled (files in %s)\n", dir.c_str());
    return 1;
}
