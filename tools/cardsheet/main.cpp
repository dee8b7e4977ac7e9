// Renders every built-in card picture onto contact sheets at device pixel ratios 1 and 2:
//   skelda-cardsheet [sheet.png [sheet@2x.png]]
#include <QElapsedTimer>
#include <QGuiApplication>
#include <cstdio>

#include "ContactSheet.h"
#include "cards/CardArt.h"

namespace {

// What a table pays at start-up: every face, one back and the two table pictures.
void PrintDrawingTime(qreal ratio) {
    QElapsedTimer timer;
    timer.start();
    for (int suit = 0; suit < 4; ++suit)
        for (int rank = 0; rank < 13; ++rank) skelda::CardFacePixmap(suit, rank, ratio);
    skelda::CardBackPixmap(0, ratio);
    skelda::EmptySlotPixmap(ratio);
    skelda::StockEndPixmap(ratio);
    std::printf("52 faces, a back and the table pictures at ratio %g: %lld ms\n", ratio,
                static_cast<long long>(timer.elapsed()));
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString one = argc > 1 ? QString::fromLocal8Bit(argv[1]) : "cards-sheet.png";
    const QString two = argc > 2 ? QString::fromLocal8Bit(argv[2]) : "cards-sheet@2x.png";
    for (const auto& [ratio, path] : {std::pair{1.0, one}, std::pair{2.0, two}}) {
        if (!skelda::ContactSheet(ratio).save(path)) {
            std::fprintf(stderr, "skelda-cardsheet: cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
        PrintDrawingTime(ratio);
    }
    return 0;
}
