// skelda-scores: the online score table. It takes the submissions the game opens in a
// browser, checks them as the game made them, keeps them in one SQLite file and shows
// the top ten.
//
//   skelda-scores --db FILE --listen ADDR:PORT [--cert FILE --key FILE]
//                 [--rate N] [--proxy]
#include <httplib.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "server/RateLimit.h"
#include "server/ScorePages.h"
#include "server/ScoreStore.h"
#include "server/Submission.h"

using namespace skelda;

namespace {

struct Options {
    std::string db, host, cert, key;
    int port = -1;
    int rate = 10;
    bool proxy = false;
};

const char* const Usage =
    "usage: skelda-scores --db FILE --listen ADDR:PORT [--cert FILE --key FILE] [--rate N] "
    "[--proxy]\n"
    "  --db FILE         the score table (an SQLite file, created on first start)\n"
    "  --listen A:P      the address and port to answer on (port 0: any free port)\n"
    "  --cert, --key     PEM certificate and key: HTTPS; without them plain HTTP, for a\n"
    "                    reverse proxy in front\n"
    "  --rate N          submissions a minute from one client address (default 10, 0: any)\n"
    "  --proxy           the client address is the last one in X-Forwarded-For\n";

bool ParseOptions(int argc, char** argv, Options& o, std::string& why) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) return why = arg + " needs a value", false;
            out = argv[++i];
            return true;
        };
        std::string v;
        if (arg == "--db") {
            if (!value(o.db)) return false;
        } else if (arg == "--cert") {
            if (!value(o.cert)) return false;
        } else if (arg == "--key") {
            if (!value(o.key)) return false;
        } else if (arg == "--proxy") {
            o.proxy = true;
        } else if (arg == "--rate") {
            if (!value(v)) return false;
            char* end = nullptr;
            const long n = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end || n < 0 || n > 1000000) return why = "bad --rate " + v, false;
            o.rate = static_cast<int>(n);
        } else if (arg == "--listen") {
            if (!value(v)) return false;
            const size_t colon = v.rfind(':');
            if (colon == std::string::npos || colon == 0) return why = "bad --listen " + v, false;
            o.host = v.substr(0, colon);
            if (o.host.front() == '[' && o.host.back() == ']')
                o.host = o.host.substr(1, o.host.size() - 2);
            const std::string port = v.substr(colon + 1);
            char* end = nullptr;
            const long p = std::strtol(port.c_str(), &end, 10);
            if (port.empty() || *end || p < 0 || p > 65535)
                return why = "bad port in --listen " + v, false;
            o.port = static_cast<int>(p);
        } else {
            return why = "unknown option " + arg, false;
        }
    }
    if (o.db.empty() || o.port < 0) return why = "--db and --listen are needed", false;
    if (o.cert.empty() != o.key.empty()) return why = "--cert and --key go together", false;
    return true;
}

// Log lines come from every worker thread; one write each keeps them whole.
std::mutex logMutex;
void Log(const std::string& text) {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &tm);
    const std::string line = std::string(stamp) + " " + text + "\n";
    std::lock_guard lock(logMutex);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

std::string ClientAddress(const httplib::Request& req, bool proxy) {
    if (proxy && req.has_header("X-Forwarded-For")) {
        std::string forwarded = req.get_header_value("X-Forwarded-For");
        const size_t comma = forwarded.rfind(',');
        if (comma != std::string::npos) forwarded = forwarded.substr(comma + 1);
        const size_t begin = forwarded.find_first_not_of(' ');
        if (begin != std::string::npos) return forwarded.substr(begin, 64);
    }
    return req.remote_addr;
}

void Plain(httplib::Response& res, int status, const std::string& text) {
    res.status = status;
    res.set_content(text + "\n", "text/plain; charset=utf-8");
}

int64_t Now() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void Routes(httplib::Server& server, ScoreStore& store, RateLimit& limit, const Options& o) {
    // Pages carry no scripts; the policy keeps it so even if a name got through.
    server.set_default_headers(
        {{"Content-Security-Policy", "default-src 'none'; style-src 'unsafe-inline'"},
         {"X-Content-Type-Options", "nosniff"},
         {"Cache-Control", "no-store"}});

    server.Get("/skeldaScores/submit.php", [&](const httplib::Request& req,
                                               httplib::Response& res) {
        const std::string client = ClientAddress(req, o.proxy);
        if (!limit.Allow(client, Now())) {
            res.set_header("Retry-After", "60");
            return Plain(res, 429, "Too many submissions from your address; try again later.");
        }
        const size_t q = req.target.find('?');
        std::string why;
        const auto s =
            ParseSubmission(q == std::string::npos ? std::string_view()
                                                   : std::string_view(req.target).substr(q + 1),
                            why);
        if (!s) return Plain(res, 400, "Bad submission: " + why + ".");
        if (!HashHolds(*s)) return Plain(res, 403, "The submission's hash does not match.");
        if (!NonceHolds(*s)) return Plain(res, 403, "The nonce does not belong to the seed.");
        if (!ScoreInRange(*s))
            return Plain(res, 422, "The score is outside what one game can reach.");
        int64_t rank = 0;
        switch (store.Add(*s, client, Now(), rank, why)) {
            case ScoreStore::Added::NonceUsed:
                return Plain(res, 409, "This score was submitted already.");
            case ScoreStore::Added::Failed:
                Log("error: a score could not be stored: " + why);
                return Plain(res, 500, "The score could not be stored; please try again later.");
            case ScoreStore::Added::Yes: break;
        }
        res.set_content(SubmittedHtml(s->name, s->score, rank), "text/html; charset=utf-8");
    });
    server.Get("/skeldaScores/", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(TopTenHtml(store.TopTen()), "text/html; charset=utf-8");
    });
    server.Get("/skeldaScores/top.json", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(TopTenJson(store.TopTen()), "application/json");
    });
    server.Get("/skeldaScores", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/skeldaScores/");
    });
    server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (!res.body.empty()) return;
        switch (res.status) {
            case 404: return Plain(res, 404, "Not found.");
            case 413: return Plain(res, 413, "The request is too large.");
            case 414: return Plain(res, 414, "The address is too long.");
            default: return Plain(res, res.status, "The request was refused.");
        }
    });
    server.set_exception_handler([](const httplib::Request&, httplib::Response& res,
                                    std::exception_ptr) { Plain(res, 500, "Internal error."); });
    server.set_logger([&](const httplib::Request& req, const httplib::Response& res) {
        Log(ClientAddress(req, o.proxy) + " " + req.method + " " + req.path + " " +
            std::to_string(res.status) + " " + std::to_string(res.body.size()));
    });

    // Requests are small GETs: bounded bodies, short timeouts, a fixed set of workers.
    server.set_payload_max_length(4096);
    server.set_tcp_nodelay(true);  // small answers go out at once, not after a delayed ACK
    server.set_read_timeout(5);
    server.set_write_timeout(5);
    server.set_keep_alive_timeout(2);
    server.set_keep_alive_max_count(100);
    server.new_task_queue = [] { return new httplib::ThreadPool(32); };
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    std::string why;
    if (!ParseOptions(argc, argv, o, why)) {
        std::cerr << "skelda-scores: " << why << "\n" << Usage;
        return 2;
    }

    // SIGTERM and SIGINT are taken by one thread that stops the server; every other
    // thread, started after this, has them blocked.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    std::unique_ptr<httplib::Server> server;
    if (o.cert.empty()) {
        server = std::make_unique<httplib::Server>();
    } else {
        server = std::make_unique<httplib::SSLServer>(o.cert.c_str(), o.key.c_str());
        if (!server->is_valid()) {
            std::cerr << "skelda-scores: cannot use the certificate " << o.cert << " with the key "
                      << o.key << "\n";
            return 1;
        }
    }
    // The certificate is checked first, so a start that fails on it creates no file.
    ScoreStore store;
    if (!store.Open(o.db, why)) {
        std::cerr << "skelda-scores: " << why << "\n";
        return 1;
    }
    RateLimit limit(o.rate);
    Routes(*server, store, limit, o);

    const int port = o.port == 0 ? server->bind_to_any_port(o.host)
                                 : (server->bind_to_port(o.host, o.port) ? o.port : -1);
    if (port <= 0) {
        std::cerr << "skelda-scores: cannot listen on " << o.host << ":" << o.port << "\n";
        return 1;
    }
    const bool ipv6 = o.host.find(':') != std::string::npos;
    Log("listening on " + std::string(o.cert.empty() ? "http" : "https") + "://" +
        (ipv6 ? "[" + o.host + "]" : o.host) + ":" + std::to_string(port) + "/skeldaScores/ with " +
        std::to_string(store.Count()) + " scores in " + o.db);

    std::atomic<bool> running{true};
    std::thread stopper([&] {
        const timespec tick{0, 200 * 1000 * 1000};
        while (running) {
            const int sig = sigtimedwait(&stopSignals, nullptr, &tick);
            if (sig == SIGTERM || sig == SIGINT) {
                Log(std::string("stopping on ") + (sig == SIGTERM ? "SIGTERM" : "SIGINT"));
                server->stop();
                break;
            }
        }
    });
    const bool served = server->listen_after_bind();
    running = false;
    stopper.join();
    store.Close();
    Log(served ? "stopped" : "stopped: the server failed");
    return served ? 0 : 1;
}
