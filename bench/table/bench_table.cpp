// Times a repaint of the whole table at 1920 x 1080 with full hands, a deep pile and many
// melds, at device pixel ratios 1 and 2, and prints it as a ratio to painting one card in
// the same run, to filling the whole table with one colour, and to copying one picture the
// size of the table onto it. Each ratio runs in a child process of its own (the ratio of a
// screen is fixed when the program starts).
//   bench_table            both ratios
//   bench_table --ratio    one run at the ratio QT_SCALE_FACTOR gives
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "bench/table/EachRatio.h"
#include "persist/SettingsStore.h"
#include "table/TSkelda.h"

using namespace skelda;
using Clock = std::chrono::steady_clock;

namespace {

TCard C(int suit, int rank, uint8_t flags = 0) {
    return TCard{static_cast<uint8_t>(suit), static_cast<uint8_t>(rank), flags};
}

void FullTable(Game& g) {
    g.NewDeck();
    g.RoundActive = true;
    g.NextCard = 30;
    g.OpponentName = "LILA";
    g.YourHand.clear();
    g.OpponentHand.clear();
    g.DiscardPile.clear();
    g.Melds.clear();
    for (int r = 0; r < 13; ++r) g.YourHand.push_back(C(r % 4, r, r % 3 ? 0 : Selected));
    for (int r = 0; r < 13; ++r) g.OpponentHand.push_back(C((r + 1) % 4, r));
    for (int r = 0; r < 18; ++r) g.DiscardPile.push_back(C(r % 4, (r * 5) % 13));
    for (int r = 1; r < 10; ++r)
        g.Melds.push_back({C(0, r), C(1, r), C(2, r, Yours), C(3, r, r % 2 ? Yours : 0)});
    g.LastComputerTurn.recorded = true;
    g.LastComputerTurn.taken = {C(1, 3), C(1, 4)};
    g.LastComputerTurn.melded = {{C(0, 3), C(1, 3), C(3, 3)}};
    g.LastComputerTurn.discarded = true;
    g.LastComputerTurn.discard = g.DiscardPile.back();
}

// The time of one call: the mean over all calls, the best of twelve batches (which counts
// a busy machine's interruptions as little as possible) and the processor time of all
// the program's threads in the best batch (which leaves out time spent waiting for a
// processor on a busy machine).
struct Timing {
    double mean, best, cpu;
};

double ProcessCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

template <typename F>
Timing MillisPerCall(F&& f, int calls) {
    constexpr int batches = 12;
    const int each = std::max(1, calls / batches);
    double best = 1e300, bestCpu = 1e300, total = 0;
    for (int b = 0; b < batches; ++b) {
        const double cpuStart = ProcessCpuMs();
        const auto start = Clock::now();
        for (int i = 0; i < each; ++i) f();
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        total += ms;
        best = std::min(best, ms / each);
        bestCpu = std::min(bestCpu, (ProcessCpuMs() - cpuStart) / each);
    }
    return {total / (batches * each), best, bestCpu};
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
    FullTable(window.game());
    window.Timer2Timer();
    QWidget* table = window.centralWidget();
    const qreal dpr = table->devicePixelRatioF();
    QImage target((QSizeF(table->size()) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(dpr);

    // Baseline: one card, drawn as the table draws it, one to one on whole device pixels.
    const QPixmap& face = window.FacePixmap(2, 11);
    QPainter cardPainter(&target);
    const QRectF at(QPointF(100, 100), QSizeF(face.size()) / dpr);
    const Timing card =
        MillisPerCall([&] { cardPainter.drawPixmap(at, face, QRectF(face.rect())); }, 20000);
    cardPainter.end();

    // Baseline: filling the whole target with one colour, the least a repaint must do.
    const Timing fill = MillisPerCall([&] { target.fill(Qt::darkGreen); }, 120);
    // Baseline: copying a whole picture of the table onto it, as a repaint from one kept
    // picture of the finished table would.
    QImage finished(target.size(), QImage::Format_RGB32);
    finished.fill(Qt::darkGreen);
    finished.setDevicePixelRatio(dpr);
    QPainter copyPainter(&target);
    const Timing copy = MillisPerCall([&] { copyPainter.drawImage(QPointF(0, 0), finished); }, 120);
    copyPainter.end();

    table->render(&target);  // the first paint also builds the background and the faces
    const Timing whole = MillisPerCall([&] { table->render(&target); }, 120);
    std::printf(
        "ratio %.0f, table %dx%d at scale %.2f: whole repaint %.3f ms = %.0f cards "
        "(one card %.4f ms); best batch %.3f ms = %.1f fills (one fill %.3f ms); processor "
        "%.3f ms = %.1f fills; best batch = %.1f copies of a whole picture (one %.3f ms)\n",
        dpr, table->width(), table->height(), window.TableScale(), whole.mean,
        whole.mean / card.mean, card.mean, whole.best, whole.best / fill.best, fill.best, whole.cpu,
        whole.cpu / fill.cpu, whole.best / copy.best, copy.best);
    window.game().timers = Timers{};
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return bench::RunAtEachRatio(argc, argv, MeasureOne);
}
