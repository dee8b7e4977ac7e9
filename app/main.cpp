// The desktop program: the table window, its start-up once it is on screen, and a clean
// end on the close query, the log window's close box, SIGINT or SIGTERM.
#include <QApplication>
#include <QScreen>
#include <QTimer>

#include "table/CardArt.h"
#include "table/TSkelda.h"
#include "windows/QuitSignals.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Brelt"));
    QApplication::setApplicationName(QStringLiteral("Skelda"));
    QApplication::setApplicationVersion(QStringLiteral(SKELDA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("skelda"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(skelda::ProgramIcon());

    skelda::TSkelda table;
    skelda::QuitSignals quitSignals;
    QObject::connect(&quitSignals, &skelda::QuitSignals::closeRequested, &table, [&table] {
        QMetaObject::invokeMethod(&table, &QWidget::close, Qt::QueuedConnection);
    });
    QObject::connect(&table, &skelda::TSkelda::closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    table.FormCreate();
    // Maximised; without a window manager to do it, the window takes the screen itself.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        table.resize(screen->availableGeometry().size());
    table.showMaximized();

    QTimer::singleShot(0, &table, [&table] { table.StartGame(); });
    return QApplication::exec();
}
