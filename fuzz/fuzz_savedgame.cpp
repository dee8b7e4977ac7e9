// The saved-game reader: the whole-file test on the raw input, then the record with
// its checksum made right, through the start-up load and on into play, so every record
// the loader accepts is also one the rules can work on.
#include <cstdint>
#include <cstring>

#include "fuzz/FuzzHost.h"
#include "game/Game.h"
#include "game/Random.h"
#include "persist/SavedGameFormat.h"

using namespace skelda;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    CheckSavedGameFile(input);

    SavedGameRecord record;
    std::memcpy(record.bytes.data(), data, std::min(size, SavedRecordSize));
    FuzzHost host(std::make_unique<MemorySettings>());
    host.file = SavedGameFileBytes(record);
    SetRandSeed(static_cast<uint32_t>(size));
    Game g(host);
    // The recovery record after every turn is the saved-game writer once more; here it
    // would only slow every run down.
    g.KeepRecovery = false;
    g.LoadGame1Click(false);

    // An accepted record saves again as it reads, apart from the move given back and the
    // discards the repaint marks as seen.
    if (const auto read = ReadSavedGame(record)) {
        SavedGameRecord canonical, again;
        std::string why;
        if (!EncodeSavedGame(*read, canonical, why) || !g.SerializeGame(0, again, why))
            __builtin_trap();
        for (size_t i = 0; i < SavedRecordSize; ++i) {
            const bool moveOrSeen = i == 14 || i == 15 || (i >= 5960 && i < 6012);
            if (!moveOrSeen && again.bytes[i] != canonical.bytes[i]) __builtin_trap();
        }
    }

    // Play on from the loaded position: the status line, the human's actions, the timers.
    (void)g.StatusText("song.mid");
    (void)g.GroupBox4Caption();
    g.PaintBox4MouseUp(MouseButton::Left, 0);
    g.PaintBox4MouseUp(MouseButton::Right, 0);
    g.PaintBox5MouseUp(MouseButton::Left, 0, 10);
    g.PaintBox6MouseUp(MouseButton::Left, 0, 10);
    g.Button1Click();
    g.PaintBox4MouseUp(MouseButton::Left, 16);
    g.Button2Click();
    for (int i = 0; i < 40 && (g.timers.Timer1 || g.timers.Timer4); ++i) {
        if (g.timers.Timer1) g.Timer1Timer();
        if (g.timers.Timer4) g.Timer4Timer();
    }
    g.StatusBar1DblClick();
    return 0;
}
