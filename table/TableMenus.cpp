// The main menu and the commands the window handles itself: levels and behaviours,
// sound and music switches, the log, the meld layout and the table's colour and picture.
#include <QActionGroup>
#include <QColorDialog>
#include <QFileDialog>
#include <QMenuBar>

#include "game/Random.h"
#include "opponent/Hint.h"
#include "persist/qt/Audio.h"
#include "table/TCardDeckDlg.h"
#include "table/TSkelda.h"
#include "table/TableLayout.h"
#include "table/TablePicture.h"
#include "windows/LogWindow.h"
#include "windows/TAboutBox.h"
#include "windows/THelp.h"

namespace skelda {

namespace {
constexpr uint32_t RandomColorMarker = 0x01000000;

struct LevelItem {
    const char* name;
    const char* caption;
    uint8_t tag;
};
const LevelItem kLevels[] = {{"Easydumb1", "Easy(dumb)", 0},
                             {"Medium1", "Medium", 1},
                             {"Hard1", "Hard", 2},
                             {"Expert1", "Expert", 3},
                             {"Master1", "Master", 4}};
const LevelItem kBehaviours[] = {
    {"Aggressive1", "Aggressive", 0}, {"Defensive1", "Defensive", 2}, {"Balanced1", "Balanced", 1}};
}  // namespace

void TSkelda::BuildMenus() {
    QMenuBar* bar = menuBar();
    auto item = [this](QMenu* menu, const char* name, const QString& caption,
                       std::function<void()> handler, bool checkable = false) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setCheckable(checkable);
        connect(a, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
        actions_[a->objectName()] = a;
        return a;
    };
    auto game = [this](std::function<void()> f) { return [this, f] { Run(f); }; };

    QMenu* gameMenu = bar->addMenu(QStringLiteral("&Game"));
    gameMenu->setObjectName(QStringLiteral("Game1"));
    item(gameMenu, "NewGame1", QStringLiteral("New Game"), game([this] { game_.NewGame(true); }))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    item(gameMenu, "LoadGame1", QStringLiteral("Load Game"),
         game([this] { game_.LoadGame1Click(true); }))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    item(gameMenu, "SaveGame1", QStringLiteral("Save Game"),
         game([this] { game_.SaveGame1Click(true); }))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    // Enabled while the turn holds an action of the human's to take back (SyncControls).
    QAction* takeBack = item(gameMenu, "TakeBack1", QStringLiteral("Take Back"),
                             game([this] { game_.TakeBack1Click(); }));
    takeBack->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    takeBack->setEnabled(false);
    item(gameMenu, "OnlineTopTenScores1", QStringLiteral("Online Top Ten Scores"),
         game([this] { game_.OnlineTopTenScores1Click(); }));
    item(gameMenu, "HighestScore1", QStringLiteral("Highest Score"),
         game([this] { game_.HighestScore1Click(); }));
    item(gameMenu, "Statistics1", QStringLiteral("Statistics"), [this] { Statistics1Click(); });
    item(gameMenu, "Exit1", QStringLiteral("Exit"), [this] {
        close();
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* options = bar->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("Options1"));
    item(options, "CardDeck1", QStringLiteral("Card Deck"), [this] { CardDeck1Click(); });
    item(options, "ableColor1", QStringLiteral("Table Color"), [this] { ableColor1Click(); });
    item(options, "ablePicture1", QStringLiteral("Table Picture"), [this] { ablePicture1Click(); });
    item(
        options, "NoMusic1", QStringLiteral("No Music"), [this] { NoMusic1Click(); }, true);
    item(
        options, "NoSound1", QStringLiteral("No Sound"), [this] { NoSound1Click(); }, true);
    item(
        options, "RandomTableColor1", QStringLiteral("Random Table Color"),
        [this] { RandomTableColor1Click(); }, true);
    item(
        options, "ShowLog1", QStringLiteral("Show Log"), [this] { ShowLog1Click(); }, true);

    QMenu* level = options->addMenu(QStringLiteral("AI Level"));
    level->setObjectName(QStringLiteral("AILevel1"));
    for (const LevelItem& l : kLevels) {
        const uint8_t tag = l.tag;
        item(
            level, l.name, QString::fromLatin1(l.caption), [this, tag] { LevelClick(tag); }, true)
            ->setData(tag);
    }
    QMenu* behaviour = level->addMenu(QStringLiteral("Behavior"));
    behaviour->setObjectName(QStringLiteral("Behavior1"));
    for (const LevelItem& b : kBehaviours) {
        const uint8_t tag = b.tag;
        item(
            behaviour, b.name, QString::fromLatin1(b.caption), [this, tag] { BehaviourClick(tag); },
            true)
            ->setData(tag);
    }
    QMenu* odds = level->addMenu(QStringLiteral("Random Odd Numbers"));
    odds->setObjectName(QStringLiteral("RandomOddNumbers1"));
    item(odds, "Pickupmorethanonecard1", QStringLiteral("Pickup more than one card"),
         game([this] { game_.OddsDialog(true); }));
    item(odds, "Easydumbmoves1", QStringLiteral("Easy dumb moves"),
         game([this] { game_.OddsDialog(false); }));

    item(options, "YourName1", QStringLiteral("Your Name"),
         game([this] { game_.YourName1Click(); }));
    item(
        options, "Showmeldshorizontally1", QStringLiteral("Show melds horizontally"),
        [this] { Showmeldshorizontally1Click(); }, true);

    // The table's scale: one choice of six, checked like radio buttons.
    QMenu* size = options->addMenu(QStringLiteral("Table Size"));
    size->setObjectName(QStringLiteral("TableSize1"));
    auto* sizes = new QActionGroup(size);
    sizes->setExclusive(true);
    auto sizeItem = [&](const char* name, const QString& caption, int value) {
        QAction* a = item(
            size, name, caption, [this, value] { TableSizeClick(value); }, true);
        a->setData(value);
        sizes->addAction(a);
    };
    sizeItem("FittoWindow1", QStringLiteral("Fit to Window"), TableSizeFit);
    for (int step : TableSizeSteps) {
        const QByteArray name = "TableSize" + QByteArray::number(step) + "1";
        sizeItem(name.constData(), QStringLiteral("%1%").arg(step), step);
    }
    item(
        options, "QuickPlay1", QStringLiteral("Quick Play"), [this] { QuickPlay1Click(); }, true);
    item(
        options, "Animations1", QStringLiteral("Animations"), [this] { Animations1Click(); }, true)
        ->setChecked(true);
    // For players who see less well (TableCardStyle.cpp).
    item(
        options, "FourColourSuits1", QStringLiteral("Four-Colour Suits"),
        [this] { CardStyleClick(); }, true);
    item(
        options, "LargeIndices1", QStringLiteral("Large Indices"), [this] { CardStyleClick(); },
        true);

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    item(help, "Hint1", QStringLiteral("Hint"), game([this] { game_.Hint1Click(); }))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    item(help, "About1", QStringLiteral("About"), [this] { AboutBox(); });
    item(help, "Manual1", QStringLiteral("Manual"), [this] {
        ManualBox();
    })->setShortcut(QKeySequence(Qt::Key_F1));
    item(help, "KeyboardShortcuts1", QStringLiteral("Keyboard Shortcuts"),
         [this] { KeyboardShortcuts1Click(); });

    // Full screen has a key and no menu item; the window holds it so the key works.
    QAction* full = new QAction(QStringLiteral("Full Screen"), this);
    full->setObjectName(QStringLiteral("FullScreen1"));
    full->setShortcut(QKeySequence(Qt::Key_F11));
    connect(full, &QAction::triggered, this, [this] { FullScreen1Click(); });
    addAction(full);
    actions_[full->objectName()] = full;

    // Two commands right on the menu bar, never disabled; the game refuses what the turn
    // does not allow.
    QAction* meld = bar->addAction(QStringLiteral("Meld"));
    meld->setObjectName(QStringLiteral("Meld1"));
    connect(meld, &QAction::triggered, this, [this] { Run([this] { game_.Button1Click(); }); });
    actions_[meld->objectName()] = meld;
    QAction* discard = bar->addAction(QStringLiteral("Discard"));
    discard->setObjectName(QStringLiteral("Discard1"));
    connect(discard, &QAction::triggered, this, [this] { Run([this] { game_.Button2Click(); }); });
    actions_[discard->objectName()] = discard;
}

// Check marks follow the game's options, so a value the game read or changed shows at once.
void TSkelda::SyncMenus() {
    for (const LevelItem& l : kLevels)
        action(QString::fromLatin1(l.name))->setChecked(game_.AILevel == l.tag);
    for (const LevelItem& b : kBehaviours)
        action(QString::fromLatin1(b.name))->setChecked(game_.AIBehaviour == b.tag);
    action(QStringLiteral("NoSound1"))->setChecked(game_.NoSound);
}

static void StoreStyles(SettingsStore& s, const Game& g) {
    std::string bytes(2, '\0');
    bytes[0] = static_cast<char>(g.AIBehaviour);
    bytes[1] = static_cast<char>(g.AILevel);
    s.WriteBytes("AIStyles", bytes);
}

void TSkelda::LevelClick(uint8_t tag) {
    if (busy_) return Run([this, tag] { LevelClick(tag); });
    game_.AILevel = tag;
    SyncMenus();
    StoreStyles(*settings_, game_);
}

// The behaviour items select a behaviour the way the level items select a level.
void TSkelda::BehaviourClick(uint8_t tag) {
    if (busy_) return Run([this, tag] { BehaviourClick(tag); });
    game_.AIBehaviour = tag;
    SyncMenus();
    StoreStyles(*settings_, game_);
}

void TSkelda::NoSound1Click() {
    game_.NoSound = !game_.NoSound;
    if (game_.NoSound)
        settings_->WriteFlag("NoSound");
    else
        settings_->Delete("NoSound");
    SyncMenus();
}

void TSkelda::NoMusic1Click() {
    QAction* a = action(QStringLiteral("NoMusic1"));
    // The action has flipped its own check mark already.
    if (a->isChecked()) {
        timer3_.stop();
        if (audio_) audio_->StopMusic();
        settings_->WriteFlag("NoMusic");
    } else {
        settings_->Delete("NoMusic");
        songFailures_ = 0;
        Timer3Timer();
    }
}

void TSkelda::ShowLog1Click() {
    action(QStringLiteral("ShowLog1"))->setChecked(true);
    logConsoleHidden_ = true;  // shown by the player: the start-up hiding is over
    log_->setAttribute(Qt::WA_ShowWithoutActivating, false);
    log_->showNormal();
    log_->raise();
    log_->activateWindow();
}

void TSkelda::Showmeldshorizontally1Click() {
    view_.horizontal = action(QStringLiteral("Showmeldshorizontally1"))->isChecked();
    if (view_.horizontal)
        settings_->WriteFlag("HorzMelds");
    else
        settings_->Delete("HorzMelds");
    Repaint(Area::PaintBox2);
    Repaint(Area::PaintBox3);
}

void TSkelda::ableColor1Click() {
    const QColor chosen = QColorDialog::getColor(tableColor_, this);
    if (!chosen.isValid()) return;
    SetTableColor(chosen);
    settings_->WriteNumber("TableColor", ColorToStored(chosen));
    Repaint(Area::All);
}

void TSkelda::RandomTableColor1Click() {
    if (action(QStringLiteral("RandomTableColor1"))->isChecked()) {
        SetTableColor(ColorFromStored(Random(0x1000000)));
        settings_->WriteNumber("TableColor", RandomColorMarker);
        Repaint(Area::All);
    } else {
        settings_->Delete("TableColor");
    }
}

void TSkelda::ablePicture1Click() {
    if (settings_->Exists("Wallpaper")) {
        if (MessageBox("Skelda", "Reset wallpaper?", Icon::Question, Buttons::YesNo) != Answer::Yes)
            return;
        settings_->Delete("Wallpaper");
        // A reset takes the picture off the table at once.
        tablePicture_ = QImage();
        InvalidateBackground();
    }
    Repaint(Area::All);
    const QString filter = QStringLiteral(
        "All (*.jpg *.jpeg *.bmp *.emf *.wmf);;JPEG Image File (*.jpg);;JPEG Image File (*.jpeg);;"
        "Bitmaps (*.bmp);;Enhanced Metafiles (*.emf);;Metafiles (*.wmf)");
    QFileDialog dialog(this, QStringLiteral("Choose Wallpaper"), wallpaperFolder_, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(QStringLiteral("jpg"));
    dialog.setObjectName(QStringLiteral("OpenPictureDialog1"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString path = QFileInfo(dialog.selectedFiles().front()).absoluteFilePath();
    QImage picture;
    QString error;
    if (!LoadTablePicture(path, picture, error)) {
        MessageBox("Skelda", error.toStdString(), Icon::Error, Buttons::Ok);
        return;
    }
    tablePicture_ = picture;
    InvalidateBackground();
    Repaint(Area::All);
    settings_->WriteText("Wallpaper", path.toStdString());
}

// The stored choice is checked; a step that does not fit the window is disabled (the
// table is drawn as Fit meanwhile).
void TSkelda::SyncTableSizeMenu() {
    const QAction* fit = action(QStringLiteral("FittoWindow1"));
    if (!fit || !surface_) return;
    for (QAction* a : fit->actionGroup()->actions()) {
        const int size = a->data().toInt();
        a->setChecked(size == tableSize_);
        a->setEnabled(size == TableSizeFit || StepFits(size, surface_->size()));
    }
}

void TSkelda::TableSizeClick(int size) {
    tableSize_ = TableSizeFromStored(static_cast<uint32_t>(size));
    settings_->WriteNumber("TableSize", static_cast<uint32_t>(tableSize_));
    SyncTableSizeMenu();
    LayOut();
    Repaint(Area::All);
    for (QWidget* w : surface_->findChildren<QWidget*>()) w->update();
}

void TSkelda::AboutBox() {
    about_->ShowAbout(QStringLiteral("Skelda"));
}

void TSkelda::ManualBox() {
    help_->ShowHelpTopic(0);
}

void TSkelda::CardDeck1Click() {
    deckDlg_->show();
    deckDlg_->raise();
    deckDlg_->activateWindow();
    deckDlg_->setFocus();
}

}  // namespace skelda
