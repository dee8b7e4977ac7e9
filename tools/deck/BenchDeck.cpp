// Benchmark: opening, checking and loading a full deck file (67 pictures, made from the
// built-in pictures by skelda-deck's writer) against loading the built-in set, in the same
// run. Prints medians and their ratios; no figure is a pass or a fail.
//   bench_deck [rounds]
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "cards/CardPictures.h"
#include "tools/deck/DeckTool.h"
#include "tools/deck/PeWriter.h"

using namespace skelda;

namespace {

QStringList AllNames() {
    return RequiredPictureNames() << QStringLiteral("CARD02");
}

// Every picture as the table loads it; the count of those that loaded.
int LoadAll(const CardPictureSource& source, qreal ratio) {
    int loaded = 0;
    QString error;
    for (const QString& name : AllNames()) loaded += !source.Pixmap(name, ratio, error).isNull();
    return loaded;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;

    // The deck: the built-in pictures at their own size, stored as skelda-deck stores them.
    QTemporaryDir dir;
    std::vector<NamedBitmap> bitmaps;
    QString error;
    for (const QString& name : AllNames())
        bitmaps.push_back({name.toStdString(), ImageToDib(BuiltInCards()->Image(name, error))});
    const std::vector<uint8_t> dll = BuildResourceDll(std::move(bitmaps));
    const QString path = dir.filePath("bench.car");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(reinterpret_cast<const char*>(dll.data()),
                                                       qint64(dll.size())) != qint64(dll.size()))
        return 1;
    file.close();

    for (const qreal ratio : {1.0, 2.0}) {
        std::vector<double> builtIn, deckOpen, deckCheck, deckLoad, deckAll;
        for (int r = 0; r < rounds; ++r) {
            QElapsedTimer t;
            t.start();
            if (LoadAll(*BuiltInCards(), ratio) != 67) return 1;
            builtIn.push_back(t.nsecsElapsed() / 1e6);

            t.restart();
            const CardSourcePtr deck = OpenDeckFile(path, error);
            const double opened = t.nsecsElapsed() / 1e6;
            if (!deck || FirstMissingPicture(*deck)) return 1;
            const double checked = t.nsecsElapsed() / 1e6;
            if (LoadAll(*deck, ratio) != 67) return 1;
            const double all = t.nsecsElapsed() / 1e6;
            deckOpen.push_back(opened);
            deckCheck.push_back(checked - opened);
            deckLoad.push_back(all - checked);
            deckAll.push_back(all);
        }
        const double base = Median(builtIn);
        std::printf("device pixel ratio %.1f, %d rounds, deck file %zu bytes\n", ratio, rounds,
                    dll.size());
        std::printf("  built-in set, 67 pictures      %8.2f ms  1.00\n", base);
        std::printf("  deck file: open                %8.2f ms  %.2f\n", Median(deckOpen),
                    Median(deckOpen) / base);
        std::printf("  deck file: check (66 pictures) %8.2f ms  %.2f\n", Median(deckCheck),
                    Median(deckCheck) / base);
        std::printf("  deck file: load (67 pictures)  %8.2f ms  %.2f\n", Median(deckLoad),
                    Median(deckLoad) / base);
        std::printf("  deck file: open+check+load     %8.2f ms  %.2f\n", Median(deckAll),
                    Median(deckAll) / base);
    }
    return 0;
}
