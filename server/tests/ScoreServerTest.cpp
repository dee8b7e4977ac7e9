// skelda-scores end to end: the real server on loopback over HTTPS with a certificate
// made here, fed with the submission addresses skelda-cli opens after won games.
#include <gtest/gtest.h>
#include <httplib.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <atomic>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "game/Random.h"
#include "persist/Checksum.h"
#include "persist/ScoreSubmission.h"
#include "server/ServerProcess.h"

using namespace skelda;

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Runs a shell command and gives its standard output.
std::string Capture(const std::string& command, int* status = nullptr) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
        const int rc = pclose(p);
        if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    }
    return out;
}

class ScoreServer : public ::testing::Test {
protected:
    void SetUp() override {
        signal(SIGPIPE, SIG_IGN);  // a request to a killed server must fail, not end us
        char name[] = "/tmp/skelda-scores-test-XXXXXX";
        dir = mkdtemp(name);
        db = dir + "/scores.db";
        cert = dir + "/cert.pem";
        key = dir + "/key.pem";
        const std::string make = std::string(OPENSSL_PROGRAM) +
                                 " req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1"
                                 " -addext subjectAltName=IP:127.0.0.1 -keyout " +
                                 key + " -out " + cert + " 2>/dev/null";
        ASSERT_EQ(std::system(make.c_str()), 0) << "openssl could not make a certificate";
    }
    void TearDown() override {
        server.Stop(SIGKILL);
        std::system(("rm -rf " + dir).c_str());
    }

    void StartServer(const std::vector<std::string>& extra = {}) {
        std::vector<std::string> args{"--db", db, "--cert", cert, "--key", key};
        args.insert(args.end(), extra.begin(), extra.end());
        ASSERT_TRUE(server.Start(SKELDA_SCORES_SERVER, args, dir + "/server.log"))
            << ServerProcess::LogText(dir + "/server.log");
    }

    // The address skelda-cli opens when `name` (blanks as %20) wins a game with `total`.
    std::string WonGameAddress(const std::string& name, int total, uint32_t seed) {
        const std::string script = dir + "/won.txt";
        WriteAll(script,
                 "set opponent-name MARY\nset round-number 2\nset your-scores " +
                     std::to_string(total - 20) +
                     "\nset opponent-scores 100\nset melds 5D/4 6D/4 7D/4 8D/4\n"
                     "set opponent-hand\nset your-hand\nset discard-pile 2C\nset next-card 52\n"
                     "set humans-turn 1\nset phase 1\nanswer text:" +
                     name + " no\nstock\n");
        const std::string out = Capture(std::string(SKELDA_CLI) + " --sound off --seed " +
                                        std::to_string(seed) + " < " + script);
        EXPECT_NE(out.find("Congradulations! You won the game."), std::string::npos) << out;
        const size_t open = out.find("OPEN \"");
        if (open == std::string::npos) return "";
        return out.substr(open + 6, out.find('"', open + 6) - open - 6);
    }

    // The address's path and query, sent to this server (the host is the build's).
    httplib::Result Get(const std::string& address) {
        httplib::Client client("https://127.0.0.1:" + std::to_string(server.port));
        client.set_ca_cert_path(cert.c_str());
        client.enable_server_certificate_verification(true);
        client.set_url_encode(false);  // the address is sent as the game made it
        const size_t path = address.find("/skeldaScores/");
        return client.Get(address.substr(path == std::string::npos ? 0 : path).c_str());
    }
    int Status(const std::string& address) {
        const auto res = Get(address);
        return res ? res->status : -1;
    }

    std::string Chromium(const std::string& what, const std::string& url, int& status) {
        const std::string profile = dir + "/chromium-" + std::to_string(++chromiumRuns);
        return Capture("timeout 90 " + std::string(CHROMIUM_PROGRAM) +
                           " --headless --no-sandbox --disable-gpu --disable-quic "
                           "--no-first-run --disable-background-networking "
                           "--disable-component-update --disable-sync --disable-dev-shm-usage "
                           "--ignore-certificate-errors --user-data-dir=" +
                           profile + " " + what + " '" + url + "' 2>" + dir + "/chromium.log",
                       &status);
    }

    std::string dir, db, cert, key;
    ServerProcess server;
    int chromiumRuns = 0;
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

}  // namespace

TEST_F(ScoreServer, WonGamesAreRankedOnceAndForgeriesRefused) {
    StartServer({"--rate", "30"});
    const std::string ann = WonGameAddress("Ann", 620, 11);
    const std::string bo = WonGameAddress("Bo%20Lee", 700, 12);
    const std::string cy = WonGameAddress("Cy", 540, 13);
    ASSERT_FALSE(ann.empty() || bo.empty() || cy.empty());

    auto res = Get(ann);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    EXPECT_NE(res->body.find("Ann, your 620 points are number 1 on the table."), std::string::npos)
        << res->body;
    EXPECT_NE(res->body.find("<a href=\"/skeldaScores/\">"), std::string::npos);
    res = Get(bo);
    EXPECT_NE(res->body.find("Bo Lee, your 700 points are number 1"), std::string::npos);
    res = Get(cy);
    EXPECT_NE(res->body.find("Cy, your 540 points are number 3"), std::string::npos);

    // The same address again, and every change to what it carries.
    res = Get(ann);
    EXPECT_EQ(res->status, 409);
    EXPECT_EQ(res->get_header_value("Content-Type"), "text/plain; charset=utf-8");
    EXPECT_EQ(Status(Replace(ann, "&s=620", "&s=625")), 403);
    EXPECT_EQ(Status(Replace(ann, "u=Ann", "u=Anne")), 403);
    const std::string dan = WonGameAddress("Dan", 600, 14);
    const std::string nonce = dan.substr(dan.find("&n=") + 3);
    std::string otherNonce = nonce;
    otherNonce[0] = otherNonce[0] == 'A' ? 'B' : 'A';
    EXPECT_EQ(Status(Replace(dan, nonce, otherNonce)), 403);
    // A made-up nonce with a hash made for it (the key ships with the game): the
    // nonce is not the one the seed draws.
    const std::string seedText =
        dan.substr(dan.find("&i=") + 3, dan.find("&c=") - dan.find("&i=") - 3);
    const std::string hash = dan.substr(dan.find("&c=") + 3, 64);
    res = Get(Replace(Replace(dan, nonce, otherNonce), hash,
                      HmacSha256Hex("Dan600" + seedText + otherNonce, ScoreHashKey)));
    EXPECT_EQ(res->status, 403);
    EXPECT_EQ(res->body, "The nonce does not belong to the seed.\n");
    EXPECT_EQ(Status(dan), 200);  // the unchanged one still goes in

    // Totals no game reaches, each with a true hash and nonce.
    EXPECT_EQ(Status(WonGameAddress("Eve", 1040, 15)), 422);
    SetRandSeed(77);
    EXPECT_EQ(Status(ScoreSubmitAddress("Eve", -5, 77, RandomToken())), 422);
    EXPECT_EQ(Status(WonGameAddress("Eve", 1039, 16)), 200);

    // Missing and malformed fields.
    EXPECT_EQ(Status(Replace(cy, "&c=", "&x=")), 400);
    EXPECT_EQ(Status(Replace(cy, "&s=540", "&s=0540")), 400);
    EXPECT_EQ(Status(Replace(cy, "u=Cy", "u=C%y")), 400);
    EXPECT_EQ(Status(cy + "&u=Cy"), 400);
    EXPECT_EQ(Status(Replace(cy, "u=Cy", "u=" + std::string(256, 'C'))), 400);

    res = Get("/skeldaScores/top.json");
    ASSERT_TRUE(res);
    EXPECT_EQ(
        res->body.substr(0, 120).find("{\"scores\":[{\"rank\":1,\"name\":\"Eve\",\"score\":1039"),
        0u)
        << res->body;
    const std::regex order(
        "\"Bo Lee\",\"score\":700.*\"Ann\",\"score\":620.*"
        "\"Dan\",\"score\":600.*\"Cy\",\"score\":540");
    EXPECT_TRUE(std::regex_search(res->body, order)) << res->body;
    res = Get("/skeldaScores/?pid=4711.25");
    ASSERT_TRUE(res);
    EXPECT_NE(res->body.find("<td class=\"name\">Bo Lee</td><td class=\"points\">700</td>"),
              std::string::npos);

    // 30 submissions a minute from one address: the 31st is refused, whatever it is.
    int sent = 17, last = 0;
    do {
        last = Status(ann);
        ++sent;
    } while (last == 409 && sent < 40);
    EXPECT_EQ(last, 429);
    EXPECT_EQ(sent, 31);
    EXPECT_EQ(Status(WonGameAddress("Fay", 550, 17)), 429);
    EXPECT_EQ(Status("/skeldaScores/"), 200);  // reading is never limited

    // One log line a request, and a clean stop on SIGTERM.
    EXPECT_EQ(server.Stop(SIGTERM), 0);
    const std::string log = ServerProcess::LogText(dir + "/server.log");
    EXPECT_NE(log.find("127.0.0.1 GET /skeldaScores/submit.php 409"), std::string::npos);
    EXPECT_NE(log.find("stopping on SIGTERM"), std::string::npos);
    EXPECT_NE(log.find("stopped\n"), std::string::npos);
}

TEST_F(ScoreServer, HostileNamesAreStoredAndShownAsTextInABrowser) {
    StartServer();
    const std::string script = "<script>document.title='ran'</script>";
    const std::string image = "<img%20src=x%20onerror=\"document.title='img'\">";
    const std::string quotes = "\"O'Brien\"&amp;co";
    const std::string latin1 = "Zo\xEB%20\xC6r\xF8%20\xA9\xFF";
    const std::string longName = std::string(100, 'W') + std::string(200, '\xE9');  // cut to 255
    int seed = 20, total = 800;
    for (const std::string& name : {script, image, quotes, latin1, longName})
        ASSERT_EQ(Status(WonGameAddress(name, total -= 20, seed++)), 200) << name;

    const auto json = Get("/skeldaScores/top.json");
    ASSERT_TRUE(json);
    const std::string longUtf8 = std::string(100, 'W') + [] {
        std::string s;
        for (int i = 0; i < 155; ++i) s += "\xC3\xA9";
        return s;
    }();
    for (const std::string& expected :
         {std::string("\\u003cscript\\u003edocument.title='ran'\\u003c/script\\u003e"),
          std::string("\\u003cimg src=x onerror=\\\"document.title='img'\\\"\\u003e"),
          std::string("\\\"O'Brien\\\"\\u0026amp;co"),
          std::string("Zo\xC3\xAB \xC3\x86r\xC3\xB8 \xC2\xA9\xC3\xBF"), longUtf8})
        EXPECT_NE(json->body.find("\"name\":\"" + expected + "\""), std::string::npos)
            << expected << "\n"
            << json->body;

    const std::string url = "https://127.0.0.1:" + std::to_string(server.port) +
                            "/skeldaScores/?pid=4711.0000610351562";
    int status = 0;
    Chromium("--dump-dom", "about:blank", status);
    if (status != 0)
        GTEST_SKIP() << "headless Chromium cannot run here: " << ReadAll(dir + "/chromium.log");
    const std::string dom = Chromium("--dump-dom", url, status);
    ASSERT_EQ(status, 0) << ReadAll(dir + "/chromium.log");
    // No script ran and no element came from a name: the title is the page's, and the
    // names are text.
    EXPECT_NE(dom.find("<title>Skelda Top Ten Scores</title>"), std::string::npos) << dom;
    EXPECT_EQ(dom.find("<script"), std::string::npos) << dom;
    EXPECT_EQ(dom.find("<img"), std::string::npos) << dom;
    for (const std::string& shown :
         {std::string("&lt;script&gt;document.title='ran'&lt;/script&gt;"),
          std::string("&lt;img src=x onerror=\"document.title='img'\"&gt;"),
          std::string("\"O'Brien\"&amp;amp;co"),
          std::string("Zo\xC3\xAB \xC3\x86r\xC3\xB8 \xC2\xA9\xC3\xBF"), longUtf8})
        EXPECT_NE(dom.find("<td class=\"name\">" + shown + "</td>"), std::string::npos)
            << shown << "\n"
            << dom;

    const std::string shot = std::string(SKELDA_SCREENSHOTS) + "/top-ten.png";
    std::system(("mkdir -p " SKELDA_SCREENSHOTS " && rm -f " + shot).c_str());
    Chromium("--hide-scrollbars --window-size=1100,620 --screenshot=" + shot, url, status);
    EXPECT_EQ(status, 0) << ReadAll(dir + "/chromium.log");
    EXPECT_EQ(ReadAll(shot).substr(1, 3), "PNG");
}

TEST_F(ScoreServer, AcknowledgedScoresSurviveAKillAndADamagedFileIsLeftAlone) {
    StartServer({"--rate", "0"});
    // Four clients submit as fast as they can; the server is killed in the middle.
    std::mutex ackedMutex;
    std::vector<std::string> acked;
    std::atomic<uint32_t> seeds{1000};
    std::atomic<bool> go{true};
    std::vector<std::thread> clients;
    const int port = server.port;
    for (int c = 0; c < 4; ++c) {
        clients.emplace_back([&, port] {
            httplib::Client client("https://127.0.0.1:" + std::to_string(port));
            client.enable_server_certificate_verification(false);
            client.set_connection_timeout(1);
            client.set_url_encode(false);
            while (go) {
                const uint32_t seed = seeds++;
                std::string nonce;
                {
                    static std::mutex generator;
                    std::lock_guard lock(generator);
                    SetRandSeed(seed);
                    nonce = RandomToken();
                }
                const std::string address = ScoreSubmitAddress(
                    "kill " + std::to_string(seed), static_cast<int>(seed % 900), seed, nonce);
                const auto res = client.Get(address.substr(address.find("/skeldaScores/")));
                if (!res) break;
                if (res->status == 200) {
                    std::lock_guard lock(ackedMutex);
                    acked.push_back(address);
                }
            }
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(server.Stop(SIGKILL), 128 + SIGKILL);
    go = false;
    for (auto& t : clients) t.join();
    ASSERT_GT(acked.size(), 10u);

    // Every acknowledged address is refused as used after a restart: it was stored.
    StartServer({"--rate", "0"});
    size_t kept = 0;
    for (const std::string& a : acked) kept += Status(a) == 409;
    EXPECT_EQ(kept, acked.size());
    EXPECT_EQ(server.Stop(SIGTERM), 0);
    sqlite3* h = nullptr;
    ASSERT_EQ(sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(h, "SELECT count(*) - count(DISTINCT nonce), count(*) FROM scores", -1, &s,
                       nullptr);
    ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(s, 0), 0);  // none doubled
    EXPECT_GE(static_cast<size_t>(sqlite3_column_int(s, 1)), acked.size());
    sqlite3_finalize(s);
    sqlite3_close(h);

    // Files the server must not take: each refused at start with a message, unchanged.
    const std::string good = ReadAll(db);
    std::string truncated = good.substr(0, good.size() / 2);
    truncated.resize(good.size() / 2 / 4096 * 4096 + 100, '\0');
    sqlite3* other = nullptr;
    sqlite3_open((dir + "/other.db").c_str(), &other);
    sqlite3_exec(other, "CREATE TABLE notes (text TEXT)", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    for (const std::string& bytes :
         {std::string("these are not the scores you are looking for\n") + std::string(5000, 'x'),
          ReadAll(dir + "/other.db"), truncated}) {
        WriteAll(db, bytes);
        int status = 0;
        const std::string out = Capture(
            std::string(SKELDA_SCORES_SERVER) + " --db " + db + " --listen 127.0.0.1:0 2>&1",
            &status);
        EXPECT_EQ(status, 1) << out;
        EXPECT_NE(out.find("is not a usable score database"), std::string::npos) << out;
        EXPECT_NE(out.find("it was left unchanged"), std::string::npos) << out;
        EXPECT_EQ(ReadAll(db), bytes);
    }
}
