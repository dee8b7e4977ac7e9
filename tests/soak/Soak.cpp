// A random-input soak of the real table window: clicks, drags, keys, menu commands and
// answers to whatever box is up, for a bounded time, with the program started again
// whenever it ends (Game > Exit, a close). After each end and at the close of the run every
// saved game in the data folder must still load. Prints what it did; fails on a file that
// no longer loads (the sanitizers fail it on any fault of memory or behaviour).
//   SKELDA_SOAK_SECONDS  how long to run (60)
//   SKELDA_SOAK_SEED     the input's seed (the clock)
#include <QApplication>
#include <QColorDialog>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <sstream>

#include "persist/SavedGameFormat.h"
#include "persist/qt/QtSettingsStore.h"
#include "table/TSkelda.h"
#include "tools/cli/CliHost.h"

using namespace skelda;

namespace {

// Web addresses the game opens go nowhere.
class UrlSink : public QObject {
    Q_OBJECT
public:
    int opened = 0;
public slots:
    void Open(const QUrl&) { ++opened; }
};

struct Figures {
    long events = 0, clicks = 0, drags = 0, keys = 0, commands = 0, answers = 0;
    long restarts = 0, savesChecked = 0, savesFailed = 0;
};

class Soak : public QObject {
public:
    Soak(uint32_t seed, qint64 ms) : rng_(seed), ms_(ms) {
        data_ = dir_.filePath(QStringLiteral("data"));
        ini_ = dir_.filePath(QStringLiteral("Skelda.conf"));
        // Quick Play on at first, so more turns go by; the soak turns it on and off.
        QtSettingsStore(ini_).WriteFlag("QuickPlay");
        clock_.start();
        connect(&tick_, &QTimer::timeout, this, [this] { Tick(); });
        // A timer does not fire again while its own slot runs, so the boxes an action
        // opens are answered by a timer of their own.
        connect(&answer_, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && (Chance(40) || clock_.elapsed() >= ms_)) Answer(modal);
        });
    }
    int Run() {
        Start();
        tick_.start(15);
        answer_.start(10);
        QApplication::exec();
        CheckSaves();
        return figures_.savesFailed == 0 ? 0 : 1;
    }
    Figures figures_;

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool Chance(int percent) { return Pick(100) < percent; }

    void Start() {
        TableOptions o;
        o.settings = std::make_unique<QtSettingsStore>(ini_);
        o.audio = false;
        o.dataFolder = data_;
        o.workingFolder = dir_.path();
        o.installedFolders = QStringList();
        table_ = std::make_unique<TSkelda>(std::move(o));
        ended_ = false;
        connect(table_.get(), &TSkelda::closed, this, [this] { ended_ = true; });
        const QSize sizes[] = {{1024, 600}, {1366, 705}, {1280, 800}, {1920, 1080}};
        table_->resize(sizes[Pick(4)]);
        table_->FormCreate();
        table_->show();
        table_->StartGame();
    }

    // Every saved game and the recovery record must load.
    void CheckSaves() {
        QDir folder(data_);
        const QStringList files =
            folder.entryList({QStringLiteral("*.sav"), QStringLiteral("*.recovery")}, QDir::Files);
        for (const QString& name : files) {
            QFile f(folder.filePath(name));
            if (!f.open(QIODevice::ReadOnly)) continue;
            const QByteArray bytes = f.readAll();
            ++figures_.savesChecked;
            std::ostringstream out;
            CliHost host(out, std::make_unique<MemorySettings>(), data_.toStdString());
            Game game(host);
            const SavedFileCheck check = CheckSavedGameFile(
                std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
            if (check.error != SavedFileError::None || !game.RestoreGame(check.record)) {
                ++figures_.savesFailed;
                std::fprintf(stderr, "soak: the saved game %s does not load: %s\n",
                             qPrintable(name), SavedFileErrorText(check).c_str());
            }
        }
    }

    void Tick() {
        const bool over = clock_.elapsed() >= ms_;
        if (QApplication::activeModalWidget()) return;
        if (ended_ || over) {
            if (table_ && !ended_) {
                if (table_->busy()) return;
                table_->ShutDownSilently();
            }
            table_.reset();
            CheckSaves();
            if (over) {
                tick_.stop();
                answer_.stop();
                QApplication::quit();
                return;
            }
            ++figures_.restarts;
            Start();
            return;
        }
        if (table_->busy() || Chance(30)) return;
        Act();
    }

    void Answer(QWidget* modal) {
        ++figures_.answers;
        ++figures_.events;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            const QList<QAbstractButton*> buttons = box->buttons();
            if (!buttons.isEmpty()) buttons[Pick(static_cast<int>(buttons.size()))]->click();
            return;
        }
        if (auto* input = qobject_cast<QInputDialog*>(modal)) {
            const QString texts[] = {QString(),
                                     QStringLiteral("MyGame"),
                                     QStringLiteral("Soak"),
                                     QStringLiteral("../../etc/passwd"),
                                     QString(300, QChar('x')),
                                     QStringLiteral("Ærø ☃"),
                                     QStringLiteral("12"),
                                     QStringLiteral("-5"),
                                     QStringLiteral("99999999999")};
            input->setTextValue(texts[Pick(9)]);
            if (Chance(75))
                input->accept();
            else
                input->reject();
            return;
        }
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        if (qobject_cast<QFileDialog*>(modal) || Chance(50)) {
            dialog->reject();
            return;
        }
        if (qobject_cast<QColorDialog*>(modal)) {
            static_cast<QColorDialog*>(modal)->setCurrentColor(QColor::fromRgb(
                static_cast<QRgb>(std::uniform_int_distribution<uint32_t>(0, 0xFFFFFF)(rng_))));
            dialog->accept();
            return;
        }
        // Other dialogs (the statistics, the keys, the odds): a button could open a box
        // of its own inside this answer, so they are closed.
        dialog->reject();
    }

    static void Mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                      Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, buttons,
                      Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }

    QPoint RandomPointIn(QWidget* w) {
        return QPoint(Pick(std::max(1, w->width())), Pick(std::max(1, w->height())));
    }

    void Act() {
        ++figures_.events;
        TSkelda& t = *table_;
        const int what = Pick(100);
        if (what < 30) {
            // A click on a card area, mostly on the hand, the stock and the pile.
            const Area areas[] = {Area::PaintBox4, Area::PaintBox4, Area::PaintBox5,
                                  Area::PaintBox6, Area::PaintBox6, Area::PaintBox1,
                                  Area::PaintBox2, Area::PaintBox3};
            QWidget* w = t.areaWidget(areas[Pick(8)]);
            const QPoint at = Chance(70) ? QPoint(Pick(std::max(1, std::min(w->width(), 400))),
                                                  Pick(std::max(1, w->height())))
                                         : RandomPointIn(w);
            const Qt::MouseButton b = Chance(85) ? Qt::LeftButton : Qt::RightButton;
            Mouse(w, QEvent::MouseButtonPress, at, b, b);
            if (table_ && !ended_ && t.areaWidget(Area::PaintBox4))
                Mouse(w, QEvent::MouseButtonRelease, at, b, Qt::NoButton);
            ++figures_.clicks;
        } else if (what < 52) {
            Drag();
        } else if (what < 62) {
            QPushButton* b = Chance(50) ? t.meldButton() : t.discardButton();
            if (b->isEnabled()) b->click();
            ++figures_.clicks;
        } else if (what < 85) {
            const int keys[] = {Qt::Key_Left,  Qt::Key_Right,  Qt::Key_Up,    Qt::Key_Down,
                                Qt::Key_Space, Qt::Key_Return, Qt::Key_S,     Qt::Key_P,
                                Qt::Key_M,     Qt::Key_D,      Qt::Key_R,     Qt::Key_Home,
                                Qt::Key_End,   Qt::Key_Tab,    Qt::Key_Escape};
            const int key = keys[Pick(15)];
            const Qt::KeyboardModifiers mods = Chance(10) ? Qt::ShiftModifier : Qt::NoModifier;
            QKeyEvent press(QEvent::KeyPress, key, mods);
            QApplication::sendEvent(t.centralWidget(), &press);
            if (table_ && !ended_) {
                QKeyEvent release(QEvent::KeyRelease, key, mods);
                QApplication::sendEvent(table_->centralWidget(), &release);
            }
            ++figures_.keys;
        } else if (what < 98) {
            Command();
        } else if (what < 99) {
            const QSize sizes[] = {{1024, 600}, {1366, 705}, {800, 600}, {1920, 1080}};
            t.resize(sizes[Pick(4)]);
        } else {
            t.close();
            ++figures_.commands;
        }
    }

    // A drag from a hand card to anywhere on the table, in a few steps.
    void Drag() {
        TSkelda& t = *table_;
        QWidget* hand = t.areaWidget(Area::PaintBox4);
        const int n = static_cast<int>(t.game().YourHand.size());
        if (n == 0) return;
        const qreal s = t.TableScale();
        const QPoint from((CardStep * Pick(n) + 4) * s, (LoweredOffset + 20) * s);
        const Area areas[] = {Area::PaintBox4, Area::PaintBox3, Area::PaintBox6,
                              Area::PaintBox2, Area::PaintBox5, Area::PaintBox1};
        QWidget* target = t.areaWidget(areas[Pick(6)]);
        const QPoint to = hand->mapFrom(t.centralWidget(),
                                        target->mapTo(t.centralWidget(), RandomPointIn(target)));
        Mouse(hand, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        const int steps = 1 + Pick(5);
        for (int k = 1; k <= steps && table_ && !ended_; ++k)
            Mouse(hand, QEvent::MouseMove, from + (to - from) * k / steps, Qt::NoButton,
                  Qt::LeftButton);
        if (table_ && !ended_)
            Mouse(hand, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        ++figures_.drags;
    }

    // Menu commands, except those that leave the program's own windows.
    void Command() {
        static const char* const names[] = {"NewGame1",
                                            "LoadGame1",
                                            "SaveGame1",
                                            "HighestScore1",
                                            "Statistics1",
                                            "Exit1",
                                            "CardDeck1",
                                            "ableColor1",
                                            "ablePicture1",
                                            "NoMusic1",
                                            "RandomTableColor1",
                                            "ShowLog1",
                                            "Easydumb1",
                                            "Medium1",
                                            "Hard1",
                                            "Expert1",
                                            "Aggressive1",
                                            "Defensive1",
                                            "Balanced1",
                                            "Pickupmorethanonecard1",
                                            "Easydumbmoves1",
                                            "YourName1",
                                            "Showmeldshorizontally1",
                                            "FittoWindow1",
                                            "TableSize1251",
                                            "TableSize1501",
                                            "QuickPlay1",
                                            "Animations1",
                                            "KeyboardShortcuts1",
                                            "Meld1",
                                            "Discard1",
                                            "OnlineTopTenScores1",
                                            "About1",
                                            "Manual1",
                                            "FullScreen1",
                                            "NoSound1"};
        const int n = static_cast<int>(std::size(names));
        QAction* a = table_->action(QString::fromLatin1(names[Pick(n)]));
        ++figures_.commands;
        if (a && a->isEnabled()) a->trigger();
    }

    QTemporaryDir dir_;
    QString data_, ini_;
    std::mt19937 rng_;
    qint64 ms_;
    QElapsedTimer clock_;
    QTimer tick_, answer_;
    std::unique_ptr<TSkelda> table_;
    bool ended_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    UrlSink sink;
    for (const char* scheme : {"http", "https", "file", "mailto"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &sink, "Open");
    const qint64 seconds = qEnvironmentVariableIsSet("SKELDA_SOAK_SECONDS")
                               ? qEnvironmentVariableIntValue("SKELDA_SOAK_SECONDS")
                               : 60;
    const uint32_t seed =
        qEnvironmentVariableIsSet("SKELDA_SOAK_SEED")
            ? static_cast<uint32_t>(qEnvironmentVariableIntValue("SKELDA_SOAK_SEED"))
            : static_cast<uint32_t>(QDateTime::currentMSecsSinceEpoch());
    Soak soak(seed, seconds * 1000);
    const int result = soak.Run();
    for (const char* scheme : {"http", "https", "file", "mailto"})
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    const Figures& f = soak.figures_;
    std::printf(
        "soak: seed %u, %lld s: %ld events (%ld clicks, %ld drags, %ld keys, %ld commands, %ld "
        "answers), %ld restarts, %d web addresses, %ld saved games checked, %ld failed\n",
        seed, static_cast<long long>(seconds), f.events, f.clicks, f.drags, f.keys, f.commands,
        f.answers, f.restarts, sink.opened, f.savesChecked, f.savesFailed);
    return result;
}

#include "Soak.moc"
