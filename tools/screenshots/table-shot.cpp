// Screenshots of the table for the README, drawn offscreen: a round in the middle at a
// window size, and the same table just after a computer turn, with what it did marked.
//   table-shot WIDTH HEIGHT OUT.png [turn|long|four-colour|low-vision]
// (long: a 13-card run on each side; four-colour: Four-Colour Suits on; low-vision: Large
// Indices as well)
#include <QApplication>
#include <QPixmap>
#include <cstdlib>
#include <cstring>

#include "game/Random.h"
#include "persist/SettingsStore.h"
#include "table/TSkelda.h"
#include "windows/LogWindow.h"

using namespace skelda;

namespace {

TCard C(int suit, int rank, uint8_t flags = 0) {
    return TCard{static_cast<uint8_t>(suit), static_cast<uint8_t>(rank), flags};
}

void MidRound(Game& g) {
    g.NewDeck();
    g.RoundActive = true;
    g.RoundNumber = 2;
    g.YourScores = {35};
    g.OpponentScores = {20};
    g.NextCard = 31;
    g.OpponentName = "LILA";
    g.NoSound = true;
    g.YourHand = {C(0, 1), C(2, 1),  C(3, 3, Selected), C(3, 4, Selected), C(3, 5, Selected),
                  C(1, 9), C(2, 10), C(0, 11),          C(1, 12)};
    g.OpponentHand = {C(1, 6), C(1, 7), C(0, 4), C(2, 12), C(3, 10), C(0, 9), C(2, 2)};
    g.DiscardPile = {C(2, 3), C(0, 7), C(3, 0), C(2, 8), C(1, 8)};
    g.Melds = {{C(0, 5), C(1, 5), C(2, 5)},
               {C(2, 4, Yours), C(2, 5, Yours), C(2, 6, Yours), C(2, 7, Yours)},
               {C(3, 11), C(3, 12), C(3, 0)},
               {C(0, 10, Yours), C(1, 10, Yours), C(3, 10, Yours)}};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    TableOptions o;
    o.settings = std::make_unique<MemorySettings>();
    o.settings->WriteNumber("BackID", 3);
    const char* mode = argc > 4 ? argv[4] : "";
    if (std::strcmp(mode, "four-colour") == 0 || std::strcmp(mode, "low-vision") == 0)
        o.settings->WriteFlag("FourColourSuits");
    if (std::strcmp(mode, "low-vision") == 0) o.settings->WriteFlag("LargeIndices");
    o.audio = false;
    o.dataFolder = QStringLiteral("/nonexistent");
    TSkelda window(std::move(o));
    window.resize(std::atoi(argv[1]), std::atoi(argv[2]));
    window.FormCreate();
    window.show();
    QCoreApplication::processEvents();
    Game& g = window.game();
    SetRandSeed(7);
    MidRound(g);
    if (argc > 4 && std::strcmp(argv[4], "turn") == 0) {
        // The computer's turn: the top discard fits its hand, it melds and discards.
        for (TCard& c : g.YourHand) c.Flags = 0;
        g.SwitchTimer(TimerId::Timer4, true);
        window.Run([&] { g.Timer4Timer(); });
    } else {
        if (argc > 4 && std::strcmp(argv[4], "long") == 0) {
            TCardList theirs, yours;
            for (int r = 0; r < 13; ++r) {
                theirs.push_back(C(1, r));
                yours.push_back(C(0, r, Yours));
            }
            g.Melds.insert(g.Melds.begin() + 1, theirs);
            g.Melds.push_back(yours);
        }
        g.HumansTurn = true;
        g.SetTurnPhase(2);
        g.StatusPrompt = "Please meld or discard";
        window.Run([] {});
    }
    window.Timer2Timer();
    window.logWindow().hide();
    window.Repaint(Area::All);
    QCoreApplication::processEvents();
    const bool ok = window.grab().save(QString::fromLocal8Bit(argv[3]));
    g.timers = Timers{};
    return ok ? 0 : 1;
}
