// The main window: the green card table. It owns the one game, draws it, turns mouse
// and menu input into the game's handlers, drives the game's timers and gives the game
// its sounds, pauses, dialogs, log, settings and files (the Host interface).
//
// Blocking model: every call into the game is an operation. Sounds and pauses inside one
// wait in a local event loop that leaves user input queued, so the window keeps painting
// while no click is handled; timer ticks, input and close requests that arrive during
// an operation are carried out after it returns.
#pragma once

#include <QAction>
#include <QColor>
#include <QEventLoop>
#include <QImage>
#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <array>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

#include "cards/CardPictures.h"
#include "game/Game.h"
#include "table/Felt.h"
#include "table/TablePaint.h"
#include "table/TableWidgets.h"

namespace skelda {

class Audio;
class CardGlides;
class LogWindow;
class TableDrag;
class TCardDeckDlg;
class TAboutBox;
class TableAccessible;
class THelp;
class TTrayIcon;

struct TableOptions {
    std::unique_ptr<SettingsStore> settings;  // the per-user store when empty
    bool audio = true;                        // open the sound device
    QString dataFolder;                       // the saved games; the user data folder when empty
    QString workingFolder;                    // where "music" and "wallpapers" are looked for
    // ... and where next, when the working folder has not got them; the installed data
    // folders when unset.
    std::optional<QStringList> installedFolders;
};

// One line of the key map: the keys and what they do.
struct KeyBinding {
    const char* keys;
    const char* does;
};
// Every key of the table, in the order Help > Keyboard Shortcuts lists them.
const std::vector<KeyBinding>& TableKeyMap();

class TSkelda : public QMainWindow, public Host {
    Q_OBJECT
public:
    explicit TSkelda(TableOptions options = {});
    // Quick Play runs the deal, the computer's turn and the game's pauses this much faster.
    static constexpr int QuickPlayDivisor = 4;
    ~TSkelda() override;

    // Start-up, before the window is shown: the log, settings the window keeps, the table
    // picture, music and images. StartGame then plays the start-up sound and starts or
    // resumes the game; it runs once the window is on screen.
    void FormCreate();
    void StartGame();

    // A shut-down that cannot wait for an answer (SIGTERM, SIGHUP, the end of the
    // desktop session): the game in play is saved as the close query's Yes saves it,
    // every dialog and wait still open ends at once, and the window emits `closed`.
    // During an operation the game is saved as it stood when the operation began.
    void ShutDownSilently();
    bool shuttingDown() const { return quitting_; }
    bool closedCleanly() const { return closeAllowed_; }

    Game& game() { return game_; }
    LogWindow& logWindow() { return *log_; }
    bool busy() const { return busy_; }

    // --- Host ---
    bool PlaySound(int id, bool noStop) override;
    void Pause(int ms) override;
    Answer MessageBox(const std::string& title, const std::string& text, Icon icon,
                      Buttons buttons) override;
    std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& defaultText) override;
    void Repaint(Area area) override;
    void DrawPickupMarker(int x, int y) override;
    void LogLine(const std::string& afterStamp) override;
    void ShowBalloon(const std::string& title, const std::string& text) override;
    void OpenWebAddress(const std::string& address) override;
    SettingsStore& Settings() override { return *settings_; }
    void TimerSwitched(TimerId timer, bool on) override;
    std::string DataFolder() override;
    bool FileExists(const std::string& path) override;
    std::optional<std::string> ReadFile(const std::string& path) override;
    bool WriteFile(const std::string& path, const std::string& bytes, std::string& error) override;
    bool RemoveFile(const std::string& path) override;
    bool RenameFile(const std::string& from, const std::string& to) override;
    std::string LogonName() override;
    uint32_t ProcessId() override;

    // --- Called by the table's widgets ---
    void PaintAreaContent(PaintArea& area);
    void PaintTable(QPainter& painter, QWidget& widget, const QRegion& part = QRegion());
    // The same for a part given in the widget's device pixels.
    void PaintTableDevice(QPainter& painter, QWidget& widget, const QRegion& devicePart);
    // Whether a card picture is opaque inside its round corners (inset by `inset` of its
    // own pixels), so that nothing under that part needs drawing.
    bool SolidInside(const QPixmap& card, int inset);
    // A button released over an area at `pos`, in the area's logical pixels.
    void AreaReleased(Area area, Qt::MouseButton button, QPoint pos);
    void GroupReleased(int group, Qt::MouseButton button, QPoint pos);
    void StatusDoubleClicked();
    const QPixmap& FacePixmap(int suit, int rank);
    // The table's scale (Table Size); card pictures are rendered at the screen's device
    // pixel ratio times it (CardPictureRatio), so they stay sharp at every size.
    qreal TableScale() const { return scale_; }
    const QPixmap& CardShadow();
    // A position on one of the table's widgets in the table's logical pixels: those of the
    // middle of the screen pixel under it, less half a pixel, so that rounding gives the
    // logical pixel that the table drew there (it puts each edge on the nearest screen pixel).
    QPointF ToLogical(QPointF widgetPos) const {
        return (widgetPos + QPointF(0.5, 0.5) / devicePixelRatioF()) / scale_ - QPointF(0.5, 0.5);
    }
    // How dark (0..255) a black plate behind white text must be over the table at a
    // widget's logical rectangle for the text to keep a contrast of at least 4.5:1.
    int PlateAlpha(QWidget& widget, const QRectF& logicalRect);

    // Makes the pictures of module (none: the built-in set) the table's cards, with the
    // stored or a random back, and repaints the table. Called at start-up and by the Card
    // Deck dialog's OK and Reset.
    void LoadCardImages(CardSourcePtr module);
    // The source the table's cards come from; null until the first load.
    CardSourcePtr deckModule() const { return deckModule_; }
    // The device pixel ratio the table's card pictures are rendered at: the screen's
    // times the table's scale.
    qreal CardPictureRatio() const;

    // --- For tests and the screenshots: the widgets and menu ---
    QWidget* areaWidget(Area area) const;
    GroupFrame* group(int number) const;
    StatusLine* statusLine() const { return status_; }
    QPushButton* meldButton() const { return button1_; }
    QPushButton* discardButton() const { return button2_; }
    QAction* action(const QString& name) const;
    ScatterLayer* scatterLayer() const { return scatter_; }
    QColor tableColor() const { return tableColor_; }
    bool hasTablePicture() const { return !tablePicture_.isNull(); }
    MeldView meldView() const { return view_; }
    int tableSize() const { return tableSize_; }
    QSize logicalSize() const { return logical_; }
    QWidget* noticeBubble() const { return notice_; }
    QString currentSong() const { return currentSong_; }
    QString musicFolder() const;
    QString wallpaperFolder() const { return wallpaperFolder_; }
    bool logConsoleHidden() const { return logConsoleHidden_; }
    int runningTimerInterval(TimerId timer) const;
    TAboutBox* aboutBox() const { return about_; }
    TTrayIcon* trayIcon() const { return tray_; }
    THelp* helpViewer() const { return help_; }
    // Keyboard play: the hand card in focus and the pile card under the cursor (-1: none),
    // and whether they are drawn.
    int handFocus() const;
    int pileCursor();
    bool keyboardCues() const { return keyCues_; }
    bool quickPlay() const { return quickPlay_; }
    // Cards glide from place to place (Options > Animations), and a drag's cards.
    CardGlides* glides() const { return glides_; }
    const QPixmap& BackPixmap() const { return back_; }
    // The pick-up marker on the discard pile (its logical pixels) while it shows.
    std::optional<QPoint> pickupMarker() const { return pickupMarker_; }
    const QPixmap& MarkerPixmap() const { return marker_; }
    TCardDeckDlg* cardDeckDialog() const { return deckDlg_; }
    // The table's objects for screen readers, and the lines said to them.
    TableAccessible* accessible() const { return access_; }

    // Runs one call into the game as an operation (see above).
    void Run(const std::function<void()>& op);

    // The handlers of the timers and of the menu commands this window owns.
    void Timer2Timer();
    void Timer3Timer();
    void Timer5Timer();
    void LevelClick(uint8_t tag);
    void BehaviourClick(uint8_t tag);
    void NoSound1Click();
    void NoMusic1Click();
    void ShowLog1Click();
    void Showmeldshorizontally1Click();
    void ableColor1Click();
    void RandomTableColor1Click();
    void ablePicture1Click();
    void QuickPlay1Click();
    void Animations1Click();
    // Four-Colour Suits and Large Indices: how the built-in faces are drawn.
    void CardStyleClick();
    void Statistics1Click();
    void KeyboardShortcuts1Click();
    void FullScreen1Click();
    // The mouse was used on the table: the keyboard's focus marks go.
    void ShowKeyboardCues(bool on);
    void TableSizeClick(int size);
    void CardDeck1Click();

signals:
    // The close query let the window close: the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildWidgets();
    void BuildMenus();
    void LayOut();
    void SyncAfterOperation();
    void SyncControls();
    void SyncMenus();
    void ApplyGroupCaption();
    void TimerTick(TimerId timer);
    void Wait(int ms);
    void LoadStartupDeck();
    void RenderCardImages();
    QPixmap CardPicture(const QString& name) const;
    void SetTableColor(const QColor& color);
    void InvalidateBackground();
    const QPixmap& PictureBackground();
    QSize TablePixels() const;  // the client area in device pixels
    Felt& PreparedFelt();       // the felt, ready for the table's colour, size and ratio
    void PlaceNotice();
    void SyncTableSizeMenu();
    void StartMusicTimer(int intervalMs);
    void AboutBox();
    void ManualBox();
    bool TableKey(QKeyEvent* event);
    void TakeFromPileKey();
    void PaintKeyboardFocus(QPainter& painter, Area area);
    void ApplyGameSpeed();
    void ReadCardStyle();

    TableOptions options_;
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<Audio> audio_;
    Game game_;
    LogWindow* log_ = nullptr;
    TAboutBox* about_ = nullptr;       // hidden until Help > About, kept when closed
    TTrayIcon* tray_ = nullptr;        // from FormCreate on
    THelp* help_ = nullptr;            // hidden until Help > Manual, kept when closed
    TCardDeckDlg* deckDlg_ = nullptr;  // from start-up's picture load on; hidden when closed

    // Widgets
    QWidget* surface_ = nullptr;
    std::array<PaintArea*, 7> areas_{};    // index 1..6
    std::array<GroupFrame*, 5> groups_{};  // index 1..4
    StatusLine* status_ = nullptr;
    QPushButton* button1_ = nullptr;
    QPushButton* button2_ = nullptr;
    ScatterLayer* scatter_ = nullptr;
    NoticeBubble* notice_ = nullptr;
    CardGlides* glides_ = nullptr;
    TableDrag* drag_ = nullptr;
    TableAccessible* access_ = nullptr;
    std::map<QString, QAction*> actions_;

    // Timers
    QTimer timer1_, timer2_, timer3_, timer4_, timer5_;

    // Presentation state
    QColor tableColor_{0, 0x80, 0};
    QImage tablePicture_;
    // The felt, or the picture stretched over the whole table at once; every widget shows
    // its part of it, so the table has no seams.
    Felt felt_;
    QPixmap backgroundPixmap_;  // the picture at the table's size
    // The plates text needs over the background, by the table rectangle they cover.
    std::map<std::tuple<int, int, int, int>, int> plateAlphas_;
    int tableSize_ = 0;  // Fit to Window
    qreal scale_ = 1.0;
    QSize logical_;
    int pileTop_ = 0;  // the discard pile's top in the middle band, logical
    MeldView view_;
    std::optional<QPoint> pickupMarker_;
    bool logConsoleHidden_ = false;
    std::string lastGroupBox1Caption_;
    QString wallpaperFolder_;
    QString startupPictureError_;

    // The card pictures of deckModule_ at CardPictureRatio(); faces are made on first use.
    CardSourcePtr deckModule_;
    qreal pixelRatio_ = 0;
    int backId_ = 0;
    std::array<QPixmap, 52> faces_;
    QPixmap back_, emptySlot_, stockEnd_, aheadIcon_, behindIcon_, marker_;
    QPixmap shadow_;
    std::map<qint64, bool> solidCards_;  // SolidInside by picture

    // Keyboard play and speed
    enum class KeyRow { Hand, Pile };
    KeyRow keyRow_ = KeyRow::Hand;
    int handFocus_ = 0;
    int pileCursor_ = -1;
    size_t pileSeen_ = 0;
    bool keyCues_ = false;
    bool quickPlay_ = false;

    // Music
    QStringList musicFiles_;
    QString currentSong_;
    int songFailures_ = 0;

    // Operations
    bool busy_ = false;
    bool closePending_ = false;
    bool closeAllowed_ = false;
    bool quitting_ = false;
    std::vector<QEventLoop*> waits_;  // the waits running now, innermost last
    bool started_ = false;
    bool firstPaintReported_ = false;
    bool tick1Pending_ = false;
    bool tick4Pending_ = false;
    std::deque<std::function<void()>> pending_;
};

}  // namespace skelda
