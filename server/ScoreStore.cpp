#include "server/ScoreStore.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <memory>

namespace skelda {

namespace {

// Marks the file as this server's ("SkSc"), so a database of another program is
// never taken for an empty score table and written to.
constexpr int ApplicationId = 0x536B5363;
constexpr int SchemaVersion = 1;

const char* const Schema =
    "CREATE TABLE scores ("
    "  id INTEGER PRIMARY KEY,"
    "  nonce TEXT NOT NULL UNIQUE,"
    "  name BLOB NOT NULL,"
    "  score INTEGER NOT NULL,"
    "  seed INTEGER NOT NULL,"
    "  time INTEGER NOT NULL,"
    "  client TEXT NOT NULL);"
    "CREATE INDEX scores_by_rank ON scores (score DESC, id);";

struct Finalize {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalize>;

Statement Prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK) return nullptr;
    return Statement(s);
}

// The first column of the first row of a one-value query.
bool QueryValue(sqlite3* db, const char* sql, std::string& text) {
    Statement s = Prepare(db, sql);
    if (!s) return false;
    const int rc = sqlite3_step(s.get());
    if (rc == SQLITE_ROW) {
        const auto* value = sqlite3_column_text(s.get(), 0);
        text = value ? reinterpret_cast<const char*>(value) : "";
        return true;
    }
    text.clear();
    return rc == SQLITE_DONE;
}

}  // namespace

ScoreStore::~ScoreStore() {
    Close();
}

void ScoreStore::Close() {
    std::lock_guard lock(mutex_);
    if (db_) sqlite3_close(db_);
    db_ = nullptr;
}

bool ScoreStore::Open(const std::string& path, std::string& error) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        error = path + " is not a regular file";
        return false;
    }
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        error = "cannot open " + path + ": " + (db_ ? sqlite3_errmsg(db_) : "out of memory");
        Close();
        return false;
    }
    sqlite3_busy_timeout(db_, 5000);
    sqlite3_extended_result_codes(db_, 1);

    // Everything up to the schema check only reads, so a file that fails it is left
    // as it was.
    auto refuse = [&](const std::string& why) {
        error = path + " is not a usable score database (" + why + "); it was left unchanged";
        Close();
        return false;
    };
    std::string tables, appId, version, check;
    if (!QueryValue(db_, "SELECT count(*) FROM sqlite_master", tables))
        return refuse(sqlite3_errmsg(db_));
    if (!QueryValue(db_, "PRAGMA application_id", appId)) return refuse(sqlite3_errmsg(db_));
    const bool fresh = tables == "0" && appId == "0";
    if (!fresh) {
        if (appId != std::to_string(ApplicationId))
            return refuse("it holds another program's data");
        if (!QueryValue(db_, "PRAGMA user_version", version) ||
            version != std::to_string(SchemaVersion))
            return refuse("unknown layout version " + version);
        if (!QueryValue(db_, "PRAGMA quick_check", check)) return refuse(sqlite3_errmsg(db_));
        if (check != "ok") return refuse("damaged: " + check);
    }

    std::string mode;
    if (!QueryValue(db_, "PRAGMA journal_mode=WAL", mode) || mode != "wal")
        return refuse("the WAL journal cannot be used: " + std::string(sqlite3_errmsg(db_)));
    // FULL syncs the log at every commit: an acknowledged score survives not only the
    // server being killed (NORMAL does that too, the log is in the system's cache) but
    // also a power cut or a system crash.
    if (sqlite3_exec(db_, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr) != SQLITE_OK)
        return refuse(sqlite3_errmsg(db_));
    if (fresh) {
        const std::string create = std::string("BEGIN;") + Schema +
                                   "PRAGMA application_id=" + std::to_string(ApplicationId) +
                                   ";PRAGMA user_version=" + std::to_string(SchemaVersion) +
                                   ";COMMIT;";
        if (sqlite3_exec(db_, create.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            error = "cannot create the score table in " + path + ": " + sqlite3_errmsg(db_);
            Close();
            return false;
        }
    }
    std::string why;
    if (!LoadTotals(why) || !LoadTopTen(why)) return refuse(why);
    return true;
}

bool ScoreStore::LoadTotals(std::string& error) {
    perTotal_.fill(0);
    count_ = 0;
    Statement s = Prepare(db_, "SELECT score, count(*) FROM scores GROUP BY score");
    if (!s) return error = sqlite3_errmsg(db_), false;
    int rc;
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
        const int64_t score = sqlite3_column_int64(s.get(), 0);
        const int64_t n = sqlite3_column_int64(s.get(), 1);
        if (score < 0 || score > MaxGameTotal) return error = "a score out of range", false;
        perTotal_[static_cast<size_t>(score)] = n;
        count_ += n;
    }
    if (rc != SQLITE_DONE) return error = sqlite3_errmsg(db_), false;
    return true;
}

bool ScoreStore::LoadTopTen(std::string& error) {
    std::vector<ScoreRow> rows;
    Statement s =
        Prepare(db_, "SELECT name, score, time FROM scores ORDER BY score DESC, id LIMIT 10");
    if (!s) return error = sqlite3_errmsg(db_), false;
    int rc;
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
        ScoreRow r;
        r.rank = static_cast<int64_t>(rows.size()) + 1;
        const void* name = sqlite3_column_blob(s.get(), 0);
        r.name.assign(static_cast<const char*>(name ? name : ""),
                      static_cast<size_t>(sqlite3_column_bytes(s.get(), 0)));
        r.score = sqlite3_column_int(s.get(), 1);
        r.time = sqlite3_column_int64(s.get(), 2);
        rows.push_back(std::move(r));
    }
    if (rc != SQLITE_DONE) return error = sqlite3_errmsg(db_), false;
    std::lock_guard lock(listMutex_);
    topTen_ = std::move(rows);
    return true;
}

ScoreStore::Added ScoreStore::Add(const Submission& sub, const std::string& client, int64_t time,
                                  int64_t& rank, std::string& error) {
    std::lock_guard lock(mutex_);
    if (!db_ || !ScoreInRange(sub)) return error = "not open", Added::Failed;
    Statement s = Prepare(db_,
                          "INSERT INTO scores (nonce, name, score, seed, time, client) "
                          "VALUES (?, ?, ?, ?, ?, ?)");
    if (!s) return error = sqlite3_errmsg(db_), Added::Failed;
    sqlite3_bind_text(s.get(), 1, sub.nonce.data(), static_cast<int>(sub.nonce.size()),
                      SQLITE_STATIC);
    sqlite3_bind_blob(s.get(), 2, sub.name.data(), static_cast<int>(sub.name.size()),
                      SQLITE_STATIC);
    sqlite3_bind_int(s.get(), 3, sub.score);
    sqlite3_bind_int(s.get(), 4, sub.seed);
    sqlite3_bind_int64(s.get(), 5, time);
    sqlite3_bind_text(s.get(), 6, client.data(), static_cast<int>(client.size()), SQLITE_STATIC);
    const int rc = sqlite3_step(s.get());
    if (rc == SQLITE_CONSTRAINT_UNIQUE) return Added::NonceUsed;
    if (rc != SQLITE_DONE) return error = sqlite3_errmsg(db_), Added::Failed;

    // The new row has the highest id, so it comes after every earlier equal total.
    bool entersTopTen;
    {
        std::lock_guard list(listMutex_);
        ++perTotal_[static_cast<size_t>(sub.score)];
        ++count_;
        rank = 0;
        for (size_t t = static_cast<size_t>(sub.score); t < perTotal_.size(); ++t)
            rank += perTotal_[t];
        entersTopTen = topTen_.size() < 10 || sub.score > topTen_.back().score;
    }
    if (entersTopTen) {
        std::string why;
        if (!LoadTopTen(why)) error = why;  // the row is stored; the list catches up later
    }
    return Added::Yes;
}

std::vector<ScoreRow> ScoreStore::TopTen() const {
    std::lock_guard lock(listMutex_);
    return topTen_;
}

int64_t ScoreStore::Count() const {
    std::lock_guard lock(listMutex_);
    return count_;
}

}  // namespace skelda
