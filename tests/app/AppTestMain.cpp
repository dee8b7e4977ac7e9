// The app tests run on the offscreen platform with a QApplication of their own.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "table/MetafileReader.h"

namespace {
// The offscreen platform says what it cannot do for every window; that is no news here.
void QuietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& msg) {
    if (msg.startsWith(QLatin1String("This plugin does not support"))) return;
    // Nor that it has no notification area for the tray icon to follow.
    if (msg.contains(QLatin1String("systemTrayWindowChanged"))) return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, msg)));
}
}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    qInstallMessageHandler(QuietOffscreen);
    QApplication app(argc, argv);
    // The metafile reader of this build, not one installed or beside the test program.
    skelda::SetMetafileReaderProgram(QStringLiteral(SKELDA_METAFILE_READER));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
