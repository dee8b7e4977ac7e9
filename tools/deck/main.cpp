// skelda-deck: make, check and take apart card deck files (see DeckTool.h).
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "tools/deck/DeckTool.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const int status = skelda::RunDeckTool(args, out, err);
    out.flush();
    err.flush();
    return status;
}
