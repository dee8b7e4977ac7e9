// Frame times while the computer takes 10 cards from the discard pile and they glide into
// its hand, on a 1920 x 1080 table at device pixel ratios 1 and 2: the median, the 99th
// percentile and the longest frame, each also as a ratio to a repaint of the whole table
// measured in the same run. A frame is one step of the glides and the repaint it asks
// for, on a clock that advances by a display frame (16.7 ms) per step. Each ratio runs in
// a child process of its own (a screen's ratio is fixed when the program starts).
//   bench_glide            both ratios
//   bench_glide --ratio    one run at the ratio QT_SCALE_FACTOR gives
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/table/EachRatio.h"
#include "persist/SettingsStore.h"
#include "table/CardGlides.h"
#include "table/TSkelda.h"

using namespace skelda;
using Clock = std::chrono::steady_clock;

namespace {

TCard C(int suit, int rank, uint8_t flags = 0) {
    return TCard{static_cast<uint8_t>(suit), static_cast<uint8_t>(rank), flags};
}

// A table in mid-round: hands of 9 and 6, a pile of 14, six melds.
void Table(Game& g) {
    g.NewDeck();
    g.RoundActive = true;
    g.OpponentName = "LILA";
    g.YourHand.clear();
    g.OpponentHand.clear();
    g.DiscardPile.clear();
    g.Melds.clear();
    for (int r = 0; r < 9; ++r) g.YourHand.push_back(C(r % 4, r));
    for (int r = 0; r < 6; ++r) g.OpponentHand.push_back(C((r + 1) % 4, r + 7 > 12 ? r : r + 7));
    std::vector<TCard> rest;
    for (int s = 0; s < 4; ++s)
        for (int r = 0; r < 13; ++r) {
            const TCard c = C(s, r);
            if (!ContainsCard(g.YourHand, c) && !ContainsCard(g.OpponentHand, c)) rest.push_back(c);
        }
    for (int i = 0; i < 14; ++i) g.DiscardPile.push_back(rest[static_cast<size_t>(i)]);
    for (int m = 0; m < 6; ++m) {
        TCardList meld;
        for (int k = 0; k < 3; ++k) meld.push_back(rest[static_cast<size_t>(14 + m * 3 + k)]);
        if (m % 2)
            for (TCard& c : meld) c.Flags |= Yours;
        g.Melds.push_back(meld);
    }
    // The stock: the cards that are nowhere else, each card in one place as in play.
    g.NextCard = 52 - static_cast<int>(rest.size() - 32);
    for (size_t i = 32; i < rest.size(); ++i)
        g.Deck[static_cast<size_t>(g.NextCard) + i - 32] = rest[i];
}

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * (v.size() - 1) + 0.5));
    return v[i];
}

int MeasureOne(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    TableOptions o;
    o.settings = std::make_unique<MemorySettings>();
    o.audio = false;
    o.dataFolder = QStringLiteral("/nonexistent");
    TSkelda window(std::move(o));
    window.resize(1920, 1080);
    window.FormCreate();
    window.show();
    QCoreApplication::processEvents();
    Game& g = window.game();
    Table(g);
    window.Timer2Timer();
    window.Repaint(Area::All);
    QCoreApplication::processEvents();
    QWidget* table = window.centralWidget();
    CardGlides& glides = *window.glides();
    qint64 now = 0;
    long step = 0;
    glides.SetClock([&now] { return now; });

    // Baseline: the whole table repainted, through the window's own backing store.
    std::vector<double> whole;
    for (int i = 0; i < 60; ++i) {
        const auto start = Clock::now();
        for (QWidget* w : table->findChildren<QWidget*>()) w->update();
        table->update();
        QCoreApplication::sendPostedEvents();
        whole.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    const double base = Percentile(whole, 0.5);

    std::vector<double> frames;
    const Game start = g;
    for (int run = 0; run < 25; ++run) {
        // The computer's pickup: the top 10 cards of the pile into its hand.
        g.DiscardPile = start.DiscardPile;
        g.OpponentHand = start.OpponentHand;
        glides.SetEnabled(false);
        glides.SetEnabled(true);
        window.Repaint(Area::All);
        QCoreApplication::processEvents();
        const size_t from = g.DiscardPile.size() - 10;
        g.OpponentHand.insert(g.OpponentHand.end(), g.DiscardPile.begin() + from,
                              g.DiscardPile.end());
        g.DiscardPile.resize(from);
        glides.Sync();
        QCoreApplication::sendPostedEvents();
        while (glides.gliding()) {
            now = static_cast<qint64>(++step * 1000.0 / 60);
            const auto t0 = Clock::now();
            glides.Frame();
            QCoreApplication::sendPostedEvents();
            frames.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        }
    }
    const double p50 = Percentile(frames, 0.5), p99 = Percentile(frames, 0.99),
                 max = Percentile(frames, 1.0);
    std::printf(
        "ratio %.0f, table %dx%d at scale %.2f: whole repaint %.3f ms; pickup glide of 10 cards, "
        "%zu frames: p50 %.3f ms (%.2f x whole), p99 %.3f ms (%.2f x), max %.3f ms (%.2f x)\n",
        table->devicePixelRatioF(), table->width(), table->height(), window.TableScale(), base,
        frames.size(), p50, p50 / base, p99, p99 / base, max, max / base);
    g.timers = Timers{};
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return bench::RunAtEachRatio(argc, argv, MeasureOne);
}
