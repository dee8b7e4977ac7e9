// The frames of the README's picture of the computer taking cards from the discard pile:
// the pick-up marker under the pile, the cards gliding into the computer's hand, and the
// table after the turn with the line that tells what it did. Drawn offscreen on a clock
// that steps 40 ms a frame.
//   pickup-frames WIDTH HEIGHT FOLDER   (writes FOLDER/frame-NNN.png)
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <cstdlib>

#include "game/Random.h"
#include "persist/SettingsStore.h"
#include "table/CardGlides.h"
#include "table/TSkelda.h"

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
    g.OpponentName = "LILA";
    g.NoSound = true;
    g.YourHand = {C(0, 1), C(2, 1), C(3, 3), C(3, 4), C(1, 9), C(2, 10), C(0, 11), C(1, 12)};
    g.OpponentHand = {C(1, 6), C(0, 4), C(3, 10), C(2, 2)};
    g.DiscardPile = {C(2, 3), C(0, 7), C(3, 0),  C(1, 3), C(2, 8), C(1, 8),
                     C(0, 6), C(3, 7), C(1, 11), C(2, 9), C(0, 12)};
    g.Melds = {{C(0, 5), C(1, 5), C(3, 5)},
               {C(2, 4, Yours), C(2, 5, Yours), C(2, 6, Yours), C(2, 7, Yours)}};
    // The stock holds the cards that are nowhere else, as in a real deal.
    TCardList used = g.YourHand;
    for (const TCardList* l : {&g.OpponentHand, &g.DiscardPile})
        used.insert(used.end(), l->begin(), l->end());
    for (const TCardList& m : g.Melds) used.insert(used.end(), m.begin(), m.end());
    int k = 0;
    for (const TCard& c : used) g.Deck[k++] = TCard{c.Suit, c.Rank, 0};
    g.NextCard = k;
    for (uint8_t s = 0; s < 4; ++s)
        for (uint8_t r = 0; r < 13; ++r)
            if (!ContainsCard(used, TCard{s, r, 0})) g.Deck[k++] = TCard{s, r, 0};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    TableOptions o;
    o.settings = std::make_unique<MemorySettings>();
    o.settings->WriteNumber("BackID", 3);
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
    g.HumansTurn = false;
    g.StatusPrompt = "LILA is now taking its turn";
    window.Timer2Timer();
    window.Repaint(Area::All);
    QCoreApplication::processEvents();

    qint64 now = 0;
    CardGlides& glides = *window.glides();
    glides.SetClock([&now] { return now; });
    const QDir out(QString::fromLocal8Bit(argv[3]));
    int n = 0;
    auto shoot = [&](int times) {
        QCoreApplication::sendPostedEvents();
        const QPixmap shot = window.centralWidget()->grab();
        for (int i = 0; i < times; ++i)
            shot.save(out.filePath(QStringLiteral("frame-%1.png").arg(n++, 3, 10, QChar('0'))));
    };
    shoot(10);
    // As the computer's pickup goes: the marker, the cards into its hand, the pause in
    // which they glide, then the pile without them.
    const int from = 4;
    g.PickupIndex = from;
    g.LastComputerTurn = ComputerTurnRecord{};
    const TCardList taken(g.DiscardPile.begin() + from, g.DiscardPile.end());
    window.DrawPickupMarker(from * CardStep, 32);
    g.OpponentHand.insert(g.OpponentHand.end(), g.DiscardPile.begin() + from, g.DiscardPile.end());
    glides.Sync();
    shoot(1);
    while (glides.gliding()) {
        now += 40;
        glides.Frame();
        shoot(1);
    }
    g.DiscardPile.resize(from);
    g.LastComputerTurn.recorded = true;
    g.LastComputerTurn.taken = taken;
    window.Repaint(Area::PaintBox6);
    window.Repaint(Area::PaintBox1);
    window.Timer2Timer();
    shoot(30);
    return 0;
}
