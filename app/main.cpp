// The desktop program: the table window, its start-up once it is on screen, and a clean
// end: the close query for the close box, Exit, the log window's close box and SIGINT; a
// silent save for SIGTERM, SIGHUP and the end of the desktop session.
#include <unistd.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QPainter>
#include <QProxyStyle>
#include <QScreen>
#include <QSessionManager>
#include <QStyleFactory>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstring>

#include "cards/CardArt.h"
#include "table/TSkelda.h"
#include "windows/QuitSignals.h"

namespace {
// Plain buttons in message boxes: the platform style's stock icons look dated on the table.
class TableStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* ret) const override {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons) return 0;
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
    // The menu bar's overflow chevron, drawn: the stock one is a picture file, and reading it
    // at start-up would load every picture-format plugin.
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                       const QWidget* widget) const override {
        const bool horizontal = icon == SP_ToolBarHorizontalExtensionButton;
        if (!horizontal && icon != SP_ToolBarVerticalExtensionButton)
            return QProxyStyle::standardIcon(icon, option, widget);
        QPixmap chevron(32, 32);
        chevron.setDevicePixelRatio(2);
        chevron.fill(Qt::transparent);
        QPainter p(&chevron);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(60, 60, 60), 1.5));
        if (!horizontal) p.translate(16, 0), p.rotate(90);
        for (qreal x : {4.5, 8.5}) p.drawPolyline(QPolygonF({{x, 4.5}, {x + 3.5, 8}, {x, 11.5}}));
        p.end();
        return QIcon(chevron);
    }
};
// Starts the game once, after the window's first expose has been handled (and so
// painted).
class StartWhenShown : public QObject {
public:
    explicit StartWhenShown(skelda::TSkelda& table) : table_(table) {
        if (QWindow* w = table.windowHandle()) w->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, &table_, [this] { table_.StartGame(); });
        }
        return false;
    }

private:
    skelda::TSkelda& table_;
};

void Name() {
    QCoreApplication::setOrganizationName(QStringLiteral("Brelt"));
    QCoreApplication::setApplicationName(QStringLiteral("Skelda"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SKELDA_VERSION));
}

// The options: only --help and --version; what Qt itself takes (-platform, -style...) is
// taken by QApplication before the check for unknown ones.
void ReadOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A card game of sets and runs against the computer, to 500 points.\n"
        "Settings: ~/.config/Brelt/Skelda.conf. Songs and table pictures: the folders "
        "\"music\" and \"wallpapers\" in the current folder, else in the installed data "
        "folder."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app);  // prints and exits on --help, --version and unknown options
}

bool AsksForTextOnly(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        for (const char* o : {"-h", "--help", "-?", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], o) == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    // --help and --version answer without a display and before any window.
    if (AsksForTextOnly(argc, argv)) {
        QCoreApplication text(argc, argv);
        Name();
        ReadOptions(text);
        return 0;
    }
    // The table is drawn by the raster engine alone: without this the X platform loads
    // the OpenGL libraries at start-up for nothing.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    QApplication app(argc, argv);
    Name();
    ReadOptions(app);
    QApplication::setDesktopFileName(QStringLiteral("skelda"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(skelda::ProgramIcon());
    QApplication::setStyle(new TableStyle(QStyleFactory::create(QApplication::style()->name())));

    skelda::TSkelda table;
    skelda::QuitSignals quitSignals;
    QObject::connect(&quitSignals, &skelda::QuitSignals::closeRequested, &table, [&table] {
        QMetaObject::invokeMethod(&table, &QWidget::close, Qt::QueuedConnection);
    });
    // SIGTERM, SIGHUP and the end of the desktop session: nobody is there to answer.
    auto shutDown = [&table] {
        if (table.shuttingDown()) return;
        table.ShutDownSilently();
        // The game is saved by now; whatever might still hold the process (a native
        // dialog, a stuck device) does not keep it past the system's patience.
        QTimer::singleShot(1500, [] {
            std::fflush(nullptr);
            ::_exit(0);
        });
    };
    QObject::connect(&quitSignals, &skelda::QuitSignals::shutDownRequested, &table, shutDown);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &table,
                     [shutDown](QSessionManager&) { shutDown(); });
    // A quit that came past the window (the session manager's last word) saves too.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &table, [&table] {
        if (!table.closedCleanly()) table.ShutDownSilently();
    });
    QObject::connect(&table, &skelda::TSkelda::closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    table.FormCreate();
    // Maximised; without a window manager to do it, the window takes the screen itself.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        table.resize(screen->availableGeometry().size());
    table.showMaximized();

    // The game, its sound device and its music start once the table has been drawn on
    // screen (the first expose is painted before the queued start runs), or after a
    // second should the window never be exposed.
    StartWhenShown startWhenShown(table);
    QTimer::singleShot(1000, &table, [&table] { table.StartGame(); });
    return QApplication::exec();
}
