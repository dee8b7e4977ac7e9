// The main window's construction, layout, operations, timers, start-up and shut-down.
#include "table/TSkelda.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <chrono>

#include "cards/CardArt.h"
#include "game/Random.h"
#include "persist/qt/Audio.h"
#include "persist/qt/QtSettingsStore.h"
#include "table/CardGlides.h"
#include "table/InstalledData.h"
#include "table/TCardDeckDlg.h"
#include "table/TableAccessible.h"
#include "table/TableDrag.h"
#include "table/TableLayout.h"
#include "table/TablePicture.h"
#include "windows/LogWindow.h"
#include "windows/TAboutBox.h"
#include "windows/THelp.h"
#include "windows/TTrayIcon.h"

namespace skelda {

namespace {

constexpr int Timer1Interval = 2048;
constexpr int Timer2Interval = 255;
constexpr int Timer4Interval = 1024;
constexpr int Timer5Interval = 1024;
constexpr uint32_t RandomColorMarker = 0x01000000;

std::unique_ptr<SettingsStore> DefaultSettings() {
    return std::make_unique<QtSettingsStore>();
}

}  // namespace

TSkelda::TSkelda(TableOptions options) : options_(std::move(options)), game_(*this) {
    settings_ = options_.settings ? std::move(options_.settings) : DefaultSettings();
    if (options_.workingFolder.isEmpty()) options_.workingFolder = QDir::currentPath();
    if (!options_.installedFolders) options_.installedFolders = InstalledDataFolders();
    setWindowTitle(QStringLiteral("Skelda"));
    setObjectName(QStringLiteral("Skelda"));
    BuildWidgets();
    BuildMenus();
    about_ = new TAboutBox(this);
    help_ = new THelp(this);

    timer1_.setInterval(Timer1Interval);
    timer2_.setInterval(Timer2Interval);
    timer4_.setInterval(Timer4Interval);
    timer5_.setInterval(Timer5Interval);
    timer3_.setSingleShot(false);
    connect(&timer1_, &QTimer::timeout, this, [this] { TimerTick(TimerId::Timer1); });
    connect(&timer2_, &QTimer::timeout, this, &TSkelda::Timer2Timer);
    connect(&timer3_, &QTimer::timeout, this, &TSkelda::Timer3Timer);
    connect(&timer4_, &QTimer::timeout, this, [this] { TimerTick(TimerId::Timer4); });
    connect(&timer5_, &QTimer::timeout, this, &TSkelda::Timer5Timer);
}

TSkelda::~TSkelda() {
    timer1_.stop();
    timer2_.stop();
    timer3_.stop();
    timer4_.stop();
    timer5_.stop();
    if (audio_) audio_->StopMusic();
    delete log_;
}

// ----- Widgets and layout -----

void TSkelda::BuildWidgets() {
    surface_ = new QWidget(this);
    surface_->setObjectName(QStringLiteral("Table"));
    setCentralWidget(surface_);
    surface_->installEventFilter(this);
    // The table takes the keys (and Tab) itself: nothing on it is a focus stop.
    surface_->setFocusPolicy(Qt::StrongFocus);

    areas_[1] = new PaintArea(*this, Area::PaintBox1, surface_);
    for (int g = 1; g <= 4; ++g) groups_[g] = new GroupFrame(*this, g, surface_);
    groups_[2]->SetCaption(QStringLiteral("Your Melds"));
    groups_[3]->SetCaption(QStringLiteral("Your Hand"));
    areas_[2] = new PaintArea(*this, Area::PaintBox2, groups_[1]);
    areas_[3] = new PaintArea(*this, Area::PaintBox3, groups_[2]);
    areas_[4] = new PaintArea(*this, Area::PaintBox4, groups_[3]);
    areas_[5] = new PaintArea(*this, Area::PaintBox5, groups_[4]);
    areas_[6] = new PaintArea(*this, Area::PaintBox6, groups_[4]);
    status_ = new StatusLine(*this, surface_);

    button1_ = new QPushButton(QStringLiteral("&Meld"), groups_[4]);
    button2_ = new QPushButton(QStringLiteral("&Discard"), groups_[4]);
    button1_->setObjectName(QStringLiteral("Button1"));
    button2_->setObjectName(QStringLiteral("Button2"));
    for (QPushButton* b : {button1_, button2_}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setEnabled(false);
    }
    connect(button1_, &QPushButton::clicked, this,
            [this] { Run([this] { game_.Button1Click(); }); });
    connect(button2_, &QPushButton::clicked, this,
            [this] { Run([this] { game_.Button2Click(); }); });

    glides_ = new CardGlides(*this, surface_);
    drag_ = new TableDrag(*this, *glides_);
    scatter_ = new ScatterLayer(*this, surface_);
    notice_ = new NoticeBubble(*this, surface_);
    access_ = new TableAccessible(*this, surface_);
}

// FormResize: the bands from the logical size of the client area, each widget put at its
// logical place times the table's scale.
void TSkelda::LayOut() {
    const QSize client = surface_->size();
    const qreal scale = skelda::TableScale(tableSize_, client);
    const bool rescaled = scale != scale_;
    scale_ = scale;
    logical_ = LogicalSize(client, scale_);
    const Bands b = FormResize(logical_.width(), logical_.height());
    auto screen = [&](const QRect& r) { return ScreenRect(r, scale_, logical_, client); };
    // A child's place: its absolute screen rectangle less its parent's screen corner.
    auto inside = [&](const QRect& group, const QRect& child) {
        return screen(child.translated(group.topLeft())).translated(-screen(group).topLeft());
    };
    areas_[1]->setGeometry(screen(b.paintBox1));
    groups_[1]->setGeometry(screen(b.groupBox1));
    groups_[4]->setGeometry(screen(b.groupBox4));
    groups_[2]->setGeometry(screen(b.groupBox2));
    status_->setGeometry(screen(b.statusBar));
    groups_[3]->setGeometry(screen(b.groupBox3));
    areas_[2]->setGeometry(inside(b.groupBox1, InnerArea(b.groupBox1)));
    areas_[3]->setGeometry(inside(b.groupBox2, InnerArea(b.groupBox2)));
    areas_[4]->setGeometry(inside(b.groupBox3, InnerArea(b.groupBox3)));
    areas_[5]->setGeometry(inside(b.groupBox4, StockArea(b.groupBox4)));
    areas_[6]->setGeometry(inside(b.groupBox4, PileArea(b.groupBox4)));
    view_.height[0] = InnerArea(b.groupBox1).height();
    view_.height[1] = InnerArea(b.groupBox2).height();
    pileTop_ = PileArea(b.groupBox4).top();

    // The buttons draw themselves: their text is scaled through the font.
    QFont f = font();
    if (f.pointSizeF() > 0) f.setPointSizeF(f.pointSizeF() * scale_);
    for (QPushButton* button : {button1_, button2_}) button->setFont(f);
    button1_->setGeometry(inside(b.groupBox4, MeldButtonRect(b.groupBox4)));
    button2_->setGeometry(inside(b.groupBox4, DiscardButtonRect(b.groupBox4)));
    button1_->raise();
    button2_->raise();
    scatter_->setGeometry(surface_->rect());
    scatter_->raise();
    PlaceNotice();
    InvalidateBackground();
    if (rescaled && pixelRatio_ > 0) RenderCardImages();
    SyncTableSizeMenu();
}

void TSkelda::keyPressEvent(QKeyEvent* event) {
    if (!TableKey(event)) QMainWindow::keyPressEvent(event);
}

void TSkelda::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    LayOut();
}

bool TSkelda::eventFilter(QObject* watched, QEvent* event) {
    if (watched == surface_ && event->type() == QEvent::KeyPress &&
        TableKey(static_cast<QKeyEvent*>(event)))
        return true;
    if (watched == surface_ && event->type() == QEvent::Resize) LayOut();
    if (watched == surface_ && event->type() == QEvent::Paint) {
        // Only what the bands leave uncovered; they draw their own part of the table.
        QRegion own(surface_->rect());
        for (QWidget* band : {static_cast<QWidget*>(areas_[1]), static_cast<QWidget*>(groups_[1]),
                              static_cast<QWidget*>(groups_[2]), static_cast<QWidget*>(groups_[3]),
                              static_cast<QWidget*>(groups_[4]), static_cast<QWidget*>(status_)})
            if (band->isVisible()) own -= band->geometry();
        if (own.isEmpty()) return true;
        QPainter p(surface_);
        PaintTable(p, *surface_, own);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

QWidget* TSkelda::areaWidget(Area area) const {
    const int i = static_cast<int>(area);
    return i >= 1 && i <= 6 ? areas_[i] : nullptr;
}

GroupFrame* TSkelda::group(int number) const {
    return number >= 1 && number <= 4 ? groups_[number] : nullptr;
}

QAction* TSkelda::action(const QString& name) const {
    auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

int TSkelda::runningTimerInterval(TimerId timer) const {
    const QTimer* t = nullptr;
    switch (timer) {
        case TimerId::Timer1: t = &timer1_; break;
        case TimerId::Timer2: t = &timer2_; break;
        case TimerId::Timer3: t = &timer3_; break;
        case TimerId::Timer4: t = &timer4_; break;
        case TimerId::Timer5: t = &timer5_; break;
    }
    return t->isActive() ? t->interval() : 0;
}

// ----- Operations -----

void TSkelda::Run(const std::function<void()>& op) {
    if (busy_) {
        // Reaches here only if input slipped past the waits; it keeps its turn.
        pending_.push_back(op);
        return;
    }
    auto runOne = [this](const std::function<void()>& f) {
        // What a shut-down in the middle of this operation saves.
        game_.NoteStableState(false);
        busy_ = true;
        f();
        busy_ = false;
        SyncAfterOperation();
    };
    runOne(op);
    // What waited for the operation: input first, then a close request, then the ticks.
    while (!busy_ && !closeAllowed_) {
        if (!pending_.empty()) {
            const std::function<void()> next = pending_.front();
            pending_.pop_front();
            runOne(next);
        } else if (closePending_) {
            closePending_ = false;
            close();
        } else if (tick1Pending_) {
            tick1Pending_ = false;
            if (game_.timers.Timer1) runOne([this] { game_.Timer1Timer(); });
        } else if (tick4Pending_) {
            tick4Pending_ = false;
            if (game_.timers.Timer4) runOne([this] { game_.Timer4Timer(); });
        } else {
            break;
        }
    }
}

void TSkelda::SyncAfterOperation() {
    auto sync = [](QTimer& t, bool on) {
        if (on && !t.isActive()) t.start();
        if (!on && t.isActive()) t.stop();
    };
    if (!closeAllowed_) {
        sync(timer1_, game_.timers.Timer1);
        sync(timer4_, game_.timers.Timer4);
        sync(timer5_, game_.timers.Timer5);
    }
    SyncControls();
    SyncMenus();
    ApplyGroupCaption();
    glides_->Sync();
    access_->Refresh();
}

void TSkelda::SyncControls() {
    button1_->setEnabled(game_.controls.Button1);
    button2_->setEnabled(game_.controls.Button2);
    if (QAction* save = action(QStringLiteral("SaveGame1")))
        save->setEnabled(game_.controls.SaveGame1);
    if (QAction* back = action(QStringLiteral("TakeBack1"))) back->setEnabled(game_.CanTakeBack());
    const Qt::CursorShape hand = Qt::PointingHandCursor;
    areas_[5]->setCursor(game_.controls.PaintBox5 ? hand : Qt::ArrowCursor);
    areas_[6]->setCursor(game_.controls.PaintBox6 ? hand : Qt::ArrowCursor);
}

// The deal names the computer's meld area; the status timer puts its own caption back.
void TSkelda::ApplyGroupCaption() {
    if (game_.GroupBox1Caption == lastGroupBox1Caption_) return;
    lastGroupBox1Caption_ = game_.GroupBox1Caption;
    groups_[1]->SetCaption(QString::fromStdString(game_.GroupBox1Caption));
}

void TSkelda::TimerTick(TimerId timer) {
    const bool on = timer == TimerId::Timer1 ? game_.timers.Timer1 : game_.timers.Timer4;
    QTimer& t = timer == TimerId::Timer1 ? timer1_ : timer4_;
    if (!on) {
        t.stop();
        return;
    }
    if (busy_) {
        (timer == TimerId::Timer1 ? tick1Pending_ : tick4Pending_) = true;
        return;
    }
    if (timer == TimerId::Timer1)
        Run([this] { game_.Timer1Timer(); });
    else
        Run([this] { game_.Timer4Timer(); });
}

// A wait that keeps the window painting and answering the window manager while user
// input stays queued until it ends.
void TSkelda::Wait(int ms) {
    if (ms <= 0 || quitting_) return;
    // What changed since the last repaint glides during the wait.
    glides_->Sync();
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    waits_.push_back(&loop);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    waits_.pop_back();
    // On xcb, input held back by the loop can otherwise wait for the next X event.
    if (auto* d = QAbstractEventDispatcher::instance()) d->wakeUp();
}

// ----- Start-up and shut-down -----

void TSkelda::FormCreate() {
    // SKELDA_SEED fixes the generator's seed, so a session can be played again.
    bool seeded = false;
    const uint32_t seed = qEnvironmentVariable("SKELDA_SEED").toUInt(&seeded);
    SetRandSeed(seeded ? seed : static_cast<uint32_t>(QDateTime::currentMSecsSinceEpoch()));
    logConsoleHidden_ = false;
    log_ = new LogWindow;
    log_->setAttribute(Qt::WA_ShowWithoutActivating);
    connect(log_, &LogWindow::closeRequested, this,
            [this] { QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection); });
    log_->show();
    view_ = MeldView{};
    game_.PlayerName = LogonName();
    LayOut();
    wallpaperFolder_ = FindDataFolder(QStringLiteral("wallpapers"), options_.workingFolder,
                                      *options_.installedFolders);

    SettingsStore& s = *settings_;
    view_.horizontal = s.Exists("HorzMelds");
    tableSize_ = TableSizeFromStored(s.ReadNumber("TableSize").value_or(TableSizeFit));
    game_.NoSound = s.Exists("NoSound");
    quickPlay_ = s.Exists("QuickPlay");
    action(QStringLiteral("QuickPlay1"))->setChecked(quickPlay_);
    glides_->SetEnabled(!s.Exists("NoAnimations"));
    action(QStringLiteral("Animations1"))->setChecked(glides_->enabled());
    ApplyGameSpeed();
    const bool noMusic = s.Exists("NoMusic");
    LayOut();

    const uint32_t stored = s.ReadNumber("TableColor").value_or(ColorToStored(tableColor_));
    const bool randomColor = stored == RandomColorMarker;
    action(QStringLiteral("RandomTableColor1"))->setChecked(randomColor);
    tableColor_ = ColorFromStored(randomColor ? Random(0x1000000) : stored);
    if (auto wallpaper = s.ReadText("Wallpaper", 261)) {
        QString error;
        const QString path = QString::fromStdString(*wallpaper);
        if (!LoadTablePicture(path, tablePicture_, error)) {
            // The table stays playable on its colour; the player hears of it once, at start.
            tablePicture_ = QImage();
            startupPictureError_ = QStringLiteral(
                                       "The table picture \"%1\" cannot be shown: %2.\n"
                                       "The table colour is used instead.")
                                       .arg(path, error);
        }
    }
    InvalidateBackground();
    setWindowTitle(QStringLiteral("Skelda"));
    setWindowIcon(ProgramIcon());
    if (!tray_) tray_ = new TTrayIcon(this, ProgramIcon(), QStringLiteral("Orvandel Skelda"));

    action(QStringLiteral("Showmeldshorizontally1"))->setChecked(view_.horizontal);
    SyncTableSizeMenu();
    action(QStringLiteral("NoMusic1"))->setChecked(noMusic);
    action(QStringLiteral("NoSound1"))->setChecked(game_.NoSound);
    musicFiles_.clear();
    ReadCardStyle();
    LoadStartupDeck();
    timer2_.start();
    SyncMenus();
    SyncControls();
    surface_->setFocus();
}

// The deal's and the computer's timers; pauses are shortened as they are asked for.
void TSkelda::ApplyGameSpeed() {
    const int d = quickPlay_ ? QuickPlayDivisor : 1;
    timer1_.setInterval(Timer1Interval / d);
    timer4_.setInterval(Timer4Interval / d);
}

void TSkelda::QuickPlay1Click() {
    quickPlay_ = action(QStringLiteral("QuickPlay1"))->isChecked();
    if (quickPlay_)
        settings_->WriteFlag("QuickPlay");
    else
        settings_->Delete("QuickPlay");
    ApplyGameSpeed();
}

void TSkelda::Animations1Click() {
    const bool on = action(QStringLiteral("Animations1"))->isChecked();
    if (on)
        settings_->Delete("NoAnimations");
    else
        settings_->WriteFlag("NoAnimations");
    glides_->SetEnabled(on);
    Repaint(Area::All);
}

void TSkelda::FullScreen1Click() {
    if (isFullScreen())
        showMaximized();
    else
        showFullScreen();
}

// The stored deck, when it opens and holds every picture; else the built-in pictures, with
// the setting kept (the file may come back) and one line in the log saying why.
void TSkelda::LoadStartupDeck() {
    CardSourcePtr deck;
    // Read whole up to the longest path the system opens: a path cut to the 260 bytes of a
    // Windows path could name another file, or none.
    if (const std::optional<std::string> stored = settings_->ReadText("DeckFile", 4096)) {
        const QString path = QString::fromStdString(*stored);
        QString error;
        deck = OpenDeckFile(path, error);
        if (deck) {
            if (const std::optional<QString> missing = FirstMissingPicture(*deck)) {
                error = *missing;
                deck.reset();
            }
        }
        if (!deck)
            game_.WriteLog(QStringLiteral("The card deck \"%1\" is not used (%2); the built-in "
                                          "cards are shown instead.")
                               .arg(path, error)
                               .toStdString());
    }
    LoadCardImages(deck);
    if (!deckDlg_) deckDlg_ = new TCardDeckDlg(*this, deckModule_);
}

void TSkelda::StartGame() {
    if (started_) return;
    started_ = true;
    // The sound device and the first song come once the table is on screen: opening them
    // loads the mixer and the soundfont, which the first picture need not wait for. The
    // song still starts before the start-up sound, as it always did.
    if (options_.audio && !audio_) audio_ = std::make_unique<Audio>();
    if (!action(QStringLiteral("NoMusic1"))->isChecked()) Timer3Timer();
    // The game's part: names and its settings, the start-up sound, who opens, then the
    // saved game to resume or a new round.
    Run([this] { game_.Startup(); });
    // Said once, over the table the game has just laid out.
    if (!startupPictureError_.isEmpty()) {
        const QString text = startupPictureError_;
        startupPictureError_.clear();
        Run([&] { MessageBox("Skelda", text.toStdString(), Icon::Warning, Buttons::Ok); });
    }
    Timer2Timer();
}

void TSkelda::closeEvent(QCloseEvent* event) {
    if (closeAllowed_) {
        event->accept();
        return;
    }
    if (busy_) {
        closePending_ = true;
        event->ignore();
        return;
    }
    Run([this] {
        if (game_.FormCloseQuery()) closeAllowed_ = true;
    });
    if (!closeAllowed_) {
        event->ignore();
        return;
    }
    // FormDestroy: nothing is written here; every setting was stored when it changed.
    for (QTimer* t : {&timer1_, &timer2_, &timer3_, &timer4_, &timer5_}) t->stop();
    if (audio_) audio_->StopMusic();
    musicFiles_.clear();
    log_->hide();
    event->accept();
    emit closed();
}

void TSkelda::ShutDownSilently() {
    if (quitting_) return;
    quitting_ = true;
    if (started_ && !closeAllowed_) game_.SaveSilently(busy_);
    // Nothing more is kept: what follows only winds the operation down.
    game_.KeepRecovery = false;
    closeAllowed_ = true;
    for (QTimer* t : {&timer1_, &timer2_, &timer3_, &timer4_, &timer5_}) t->stop();
    if (audio_) audio_->StopMusic();
    // The operation under way runs on to its end at once: its waits return, its open
    // dialog is dismissed (the answer that changes nothing), and no new one is shown.
    for (QEventLoop* loop : waits_) loop->quit();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible())
            dialog->reject();
    if (log_) log_->hide();
    hide();
    emit closed();
}

void TSkelda::SetTableColor(const QColor& color) {
    tableColor_ = color;
    InvalidateBackground();
    surface_->update();
    for (int g = 1; g <= 4; ++g) groups_[g]->update();
    status_->update();
}

}  // namespace skelda
