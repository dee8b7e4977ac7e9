// The settings store: the input is the text of the INI file behind it. Every value is
// read as every kind, the start-up sequence reads its own, and one value is written.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "fuzz/FuzzHost.h"
#include "game/Game.h"
#include "game/Random.h"
#include "persist/Statistics.h"
#include "persist/qt/QtSettingsStore.h"

using namespace skelda;

namespace {

// Reads from the store under test; writes are dropped, since writing the INI file back
// (with its lock file) would slow every run down to a crawl.
class ReadOnly : public SettingsStore {
public:
    explicit ReadOnly(std::unique_ptr<SettingsStore> s) : s_(std::move(s)) {}
    bool Exists(const std::string& n) override { return s_->Exists(n); }
    std::optional<uint32_t> ReadNumber(const std::string& n) override { return s_->ReadNumber(n); }
    std::optional<std::string> ReadText(const std::string& n, size_t size) override {
        return s_->ReadText(n, size);
    }
    std::optional<std::string> ReadBytes(const std::string& n) override { return s_->ReadBytes(n); }
    void WriteNumber(const std::string&, uint32_t) override {}
    void WriteText(const std::string&, const std::string&) override {}
    void WriteBytes(const std::string&, const std::string&) override {}
    void Delete(const std::string&) override {}

private:
    std::unique_ptr<SettingsStore> s_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A new file name each time: QSettings keeps files it has read in a cache.
    static unsigned counter = 0;
    // In memory where there is a tmpfs: the write syncs its file to the disk.
    static const std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    const std::string path = folder + "/skelda-fuzz-settings-" + std::to_string(getpid()) + "-" +
                             std::to_string(counter++) + ".ini";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), size);
    {
        auto store = std::make_unique<QtSettingsStore>(QString::fromStdString(path));
        for (const char* name :
             {"HorzMelds", "Autoload", "OddPickup", "OddEasy", "AIStyles", "Username", "NoMusic",
              "NoSound", "TableColor", "Wallpaper", "GamesPlayed", "HighScore", "DeckFile",
              "BackID", "QuickPlay", "StatsWon", "StatsStreak", "StatsLongestStreak"}) {
            (void)store->Exists(name);
            (void)store->ReadNumber(name);
            (void)store->ReadText(name, 261);
            (void)store->ReadText(name, 1);
            (void)store->ReadBytes(name);
        }
        FuzzHost host(std::make_unique<ReadOnly>(std::move(store)));
        SetRandSeed(static_cast<uint32_t>(size));
        Game g(host);
        g.Startup();
        g.HighestScore1Click();
        // The statistics read whatever is stored as counts within reach.
        const Statistics st = ReadStatistics(host.Settings());
        if (st.longestStreak < st.streak || st.won > 0x7FFFFFFFu || st.lost > 0x7FFFFFFFu)
            __builtin_trap();
        RecordGameResult(host.Settings(), size % 2 == 0, static_cast<int>(size % 6) - 1, 520);
        (void)StatisticsReport(st);
        // A read text must fit its buffer.
        if (g.PlayerName.size() > 255 || g.SavedGameName.size() > 260) __builtin_trap();
    }
    // One real write: it reads the file as text and keeps every other line; the value
    // written reads back, and a line of another setting is still there.
    {
        QtSettingsStore store(QString::fromStdString(path));
        store.WriteNumber("GamesPlayed", static_cast<uint32_t>(size));
    }
    {
        QtSettingsStore store(QString::fromStdString(path));
        if (store.ReadNumber("GamesPlayed") != static_cast<uint32_t>(size)) __builtin_trap();
    }
    std::remove(path.c_str());
    std::remove((path + ".lock").c_str());
    return 0;
}
