// The score table in one SQLite file (WAL journal): opened, checked and, when new,
// created; scores added one transaction each; the top ten and every score's rank kept
// in memory so reading them never waits for the disk.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "server/Submission.h"

struct sqlite3;

namespace skelda {

struct ScoreRow {
    int64_t rank = 0;
    std::string name;  // Latin-1
    int32_t score = 0;
    int64_t time = 0;  // seconds since 1970, UTC
};

class ScoreStore {
public:
    ScoreStore() = default;
    ~ScoreStore();
    ScoreStore(const ScoreStore&) = delete;
    ScoreStore& operator=(const ScoreStore&) = delete;

    // Opens the file, creating it when it does not exist or is empty. A file that is
    // not a score table, or a damaged one, is left exactly as it is: false and why.
    bool Open(const std::string& path, std::string& error);
    void Close();

    enum class Added { Yes, NonceUsed, Failed };
    // Records a checked submission and gives the rank it reached. Yes only once the
    // row is on disk: the transaction is synced before this returns.
    Added Add(const Submission& s, const std::string& client, int64_t time, int64_t& rank,
              std::string& error);

    std::vector<ScoreRow> TopTen() const;
    int64_t Count() const;

private:
    bool LoadTotals(std::string& error);
    bool LoadTopTen(std::string& error);

    sqlite3* db_ = nullptr;
    std::mutex mutex_;  // the database; held through each commit
    // The totals and the top ten, held only for a moment, so readers never wait
    // behind a commit.
    mutable std::mutex listMutex_;
    // How many stored scores have each total, for the rank of a new one.
    std::array<int64_t, MaxGameTotal + 1> perTotal_{};
    int64_t count_ = 0;
    std::vector<ScoreRow> topTen_;
};

}  // namespace skelda
