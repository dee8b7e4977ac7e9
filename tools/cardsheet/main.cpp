// Renders every built-in card picture onto contact sheets at device pixel ratios 1 and 2:
//   skelda-cardsheet [sheet.png [sheet@2x.png]]
#include <QGuiApplication>
#include <cstdio>

#include "ContactSheet.h"

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
    }
    return 0;
}
