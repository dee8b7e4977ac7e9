// The table for screen readers (Qt's accessibility, which reaches AT-SPI on Linux): the
// painted areas become objects with names (the hand, the discard pile and the melds as
// lists of cards, the stock, the opponent's cards, the captions, the status line and the
// scores), the card under the keyboard focus is the focused object, and what happens at the
// table is said through the Announcer. The words come from game/TableWords.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "game/Host.h"

class QAccessibleInterface;

namespace skelda {

class Announcer;
class TSkelda;

// The scores in one line, as an object of their own beside the status line.
class ScoreBoard : public QWidget {
    Q_OBJECT
public:
    explicit ScoreBoard(QWidget* parent);
};

class TableAccessible : public QObject {
    Q_OBJECT
public:
    TableAccessible(TSkelda& table, QWidget* surface);
    ~TableAccessible() override;

    // The state may have changed: name-change events for every object whose name did, and
    // the start of the player's turn said once it has come.
    void Refresh();
    // A key has been handled: when it moved the focus over the hand, or the cursor over the
    // discard pile (`pile`), the card there becomes the focused object.
    void FocusMoved(bool pile);
    // A log line: during the computer's turn, each of its actions is said.
    void LogLine(const std::string& afterStamp);
    // A message box is about to show: the round's report, the end of the game and the
    // refusals are said.
    void MessageShown(const std::string& title, const std::string& text, Icon icon);
    // The listening keys.
    void ReadTable();
    void ReadHand();
    void RepeatLast();

    Announcer* announcer() const { return announcer_; }
    ScoreBoard* scoreBoard() const { return scores_; }
    // The focused card: the pile's cursor rather than the hand's focus.
    bool focusOnPile() const { return focusPile_; }

    // For the objects: the table, the words of an area and of its items.
    TSkelda& table() const { return table_; }
    QString AreaName(Area area) const;
    int ItemCount(Area area) const;
    QString ItemName(Area area, int index) const;
    QString ItemDescription(Area area, int index) const;
    bool ItemSelected(Area area, int index) const;
    bool ItemFocused(Area area, int index) const;
    QRect ItemRect(Area area, int index) const;
    // The object of item `index` of a list area, made once and kept.
    QAccessibleInterface* Item(Area area, int index);
    QString ScoreText() const;

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void Say(const std::string& line, bool event);
    void SendFocus();

    TSkelda& table_;
    QWidget* surface_;
    Announcer* announcer_;
    ScoreBoard* scores_;
    bool focusPile_ = false;
    int focusIndex_ = -2;  // the card the last focus event went to (-1: the empty list)
    QString lastEvent_;
    bool wasYourTurn_ = false;
    std::string adviceLine_;  // the line beside the pile last said
    bool pickupSaid_ = false;

    // What the objects were last called, to tell the reader of changes.
    std::array<std::vector<unsigned>, 7> itemIds_;  // registered item objects per area
    std::array<QStringList, 7> itemNames_;
    std::array<std::vector<bool>, 7> itemSelected_;
    std::array<QString, 7> areaNames_;
    std::array<QString, 5> captions_;
    QString status_, scoreText_;
};

// Makes the table's widgets known to Qt's accessibility (once per process).
void InstallTableAccessibility();

}  // namespace skelda
