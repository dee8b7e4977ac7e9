// Keyboard play: a focus over the hand and a cursor over the discard pile, and keys for
// every mouse action of the table. A key acts by releasing the left or right button over
// the card it means, in the area's logical pixels, through the same handler as the mouse,
// so every rule and refusal is the mouse's own. The focus and the cursor show once a key
// has been used and go when the mouse is used on the table again.
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTableWidget>
#include <QVBoxLayout>

#include "table/TSkelda.h"
#include "table/TableAccessible.h"

namespace skelda {

namespace {
const QColor kActiveFocus(255, 214, 0);
const QColor kIdleFocus(200, 150, 0, 190);  // dashed, for the row the arrows leave alone
const QColor kFocusEdge(20, 20, 20);
}  // namespace

const std::vector<KeyBinding>& TableKeyMap() {
    static const std::vector<KeyBinding> map = {
        {"Left, Right", "Move the focus over your hand (or the cursor over the discard pile)"},
        {"Home, End", "The first or the last card"},
        {"Up, Down, Tab", "Move between the discard pile and your hand"},
        {"Space, Enter", "Lift or lower the card in focus; on the discard pile, take from there"},
        {"S", "Draw from the stock"},
        {"P", "Take from the discard pile at the cursor"},
        {"Shift+Left, Shift+Right", "Move the cursor over the discard pile"},
        {"M", "Meld the lifted cards (as the Meld button)"},
        {"D", "Discard the lifted card (as the Discard button)"},
        {"R", "Sort your hand by rank (as a right-click on the hand)"},
        {"T", "Hear the table: the scores, the stock and the pile, the top discard, every meld"},
        {"H", "Hear your hand, card by card, with the lifted cards said"},
        {"Shift+R", "Hear the last announcement again"},
        {"Ctrl+N", "New Game"},
        {"Ctrl+O", "Load Game"},
        {"Ctrl+S", "Save Game"},
        {"Ctrl+Z", "Take Back your last action of this turn"},
        {"Ctrl+H", "Hint: advice on your next step"},
        {"Ctrl+Q", "Exit"},
        {"F1", "Manual"},
        {"F11", "Full screen on or off"},
        {"Escape", "Close the manual, the about box or a dialog"},
    };
    return map;
}

int TSkelda::handFocus() const {
    const int n = static_cast<int>(game_.YourHand.size());
    return n == 0 ? -1 : std::clamp(handFocus_, 0, n - 1);
}

// The cursor starts on the top card and goes back there whenever the pile changes.
int TSkelda::pileCursor() {
    const size_t n = game_.DiscardPile.size();
    if (n != pileSeen_) {
        pileSeen_ = n;
        pileCursor_ = static_cast<int>(n) - 1;
    }
    return n == 0 ? -1 : std::clamp(pileCursor_, 0, static_cast<int>(n) - 1);
}

void TSkelda::ShowKeyboardCues(bool on) {
    if (keyCues_ == on) return;
    keyCues_ = on;
    areas_[4]->update();
    areas_[6]->update();
}

bool TSkelda::TableKey(QKeyEvent* e) {
    const Qt::KeyboardModifiers mods = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                                         Qt::AltModifier | Qt::MetaModifier);
    const bool shift = mods == Qt::ShiftModifier;
    if (mods != Qt::NoModifier && !shift) return false;
    const bool onPile = keyRow_ == KeyRow::Pile;
    bool pileMoved = false;  // the pile's cursor moved while the hand has the focus

    // Moves within a row. Shift moves the pile's cursor whichever row has the focus.
    auto move = [this](bool pile, int to) {
        const int n = static_cast<int>(pile ? game_.DiscardPile.size() : game_.YourHand.size());
        if (n == 0) return;
        (pile ? pileCursor_ : handFocus_) = std::clamp(to, 0, n - 1);
        if (pile) pileCursor();
        areas_[pile ? 6 : 4]->update();
    };
    switch (e->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right: {
            const bool pile = onPile || shift;
            const int step = e->key() == Qt::Key_Left ? -1 : 1;
            move(pile, (pile ? pileCursor() : handFocus()) + step);
            pileMoved = pile;
            break;
        }
        case Qt::Key_Home:
            move(onPile || shift, 0);
            pileMoved = onPile || shift;
            break;
        case Qt::Key_End:
            move(onPile || shift, 1 << 20);
            pileMoved = onPile || shift;
            break;
        case Qt::Key_Up: keyRow_ = KeyRow::Pile; break;
        case Qt::Key_Down: keyRow_ = KeyRow::Hand; break;
        case Qt::Key_Tab:
        case Qt::Key_Backtab: keyRow_ = onPile ? KeyRow::Hand : KeyRow::Pile; break;
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (shift) return false;
            ShowKeyboardCues(true);
            if (onPile)
                TakeFromPileKey();
            else if (const int i = handFocus(); i >= 0)
                AreaReleased(Area::PaintBox4, Qt::LeftButton, QPoint(CardStep * i + 1, 1));
            return true;
        case Qt::Key_S:
            if (shift) return false;
            AreaReleased(Area::PaintBox5, Qt::LeftButton, QPoint(1, 1));
            break;
        case Qt::Key_P:
            if (shift) return false;
            TakeFromPileKey();
            break;
        case Qt::Key_R:
            if (shift) {
                access_->RepeatLast();
                return true;
            }
            AreaReleased(Area::PaintBox4, Qt::RightButton, QPoint(1, 1));
            break;
        case Qt::Key_T:
        case Qt::Key_H:
            if (shift) return false;
            if (e->key() == Qt::Key_T)
                access_->ReadTable();
            else
                access_->ReadHand();
            return true;
        case Qt::Key_M:
            if (shift) return false;
            Run([this] { game_.Button1Click(); });
            break;
        case Qt::Key_D:
            if (shift) return false;
            Run([this] { game_.Button2Click(); });
            break;
        default: return false;
    }
    ShowKeyboardCues(true);
    areas_[4]->update();
    areas_[6]->update();
    // The screen reader's focus: the card the keys now point at.
    access_->FocusMoved(keyRow_ == KeyRow::Pile || pileMoved);
    return true;
}

void TSkelda::TakeFromPileKey() {
    const int i = pileCursor();
    AreaReleased(Area::PaintBox6, Qt::LeftButton, QPoint(i < 0 ? 1 : CardStep * i + 1, 1));
}

// An outline round the visible part of the card in focus and a small pointer under it;
// bright on the row the arrow keys move, dashed on the other.
void TSkelda::PaintKeyboardFocus(QPainter& p, Area area) {
    if (!keyCues_ || (area != Area::PaintBox4 && area != Area::PaintBox6)) return;
    const bool hand = area == Area::PaintBox4;
    const int i = hand ? handFocus() : pileCursor();
    if (i < 0) return;
    const TCardList& cards = hand ? game_.YourHand : game_.DiscardPile;
    const bool last = i + 1 == static_cast<int>(cards.size());
    const int y = hand && !(cards[i].Flags & Selected) ? 8 : 0;
    const QRectF box(CardStep * i + 1, y + 1, (last ? CardWidth : CardStep) - 2, CardHeight - 2);
    const bool active = (keyRow_ == KeyRow::Hand) == hand;
    p.save();
    p.scale(scale_, scale_);  // the focus is drawn in the table's logical pixels
    p.setRenderHint(QPainter::Antialiasing);
    // A dark line along both sides of the coloured one: against the white card and against
    // any table colour one of the two stands out by at least 3:1.
    const Qt::PenStyle style = active ? Qt::SolidLine : Qt::DashLine;
    const qreal width = active ? 2.5 : 2.0;
    QPen dark(kFocusEdge, width + 2, style);
    dark.setDashPattern({4 * width / (width + 2), 2 * width / (width + 2)});
    if (active) dark.setStyle(Qt::SolidLine);
    p.setBrush(Qt::NoBrush);
    p.setPen(dark);
    p.drawRoundedRect(box, 4, 4);
    p.setPen(QPen(active ? kActiveFocus : kIdleFocus, width, style));
    p.drawRoundedRect(box, 4, 4);
    const qreal cx = box.left() + std::min<qreal>(box.width(), CardStep - 2) / 2;
    QPainterPath pointer;
    pointer.moveTo(cx, y + CardHeight + 1);
    pointer.lineTo(cx - 5, y + CardHeight + 8);
    pointer.lineTo(cx + 5, y + CardHeight + 8);
    pointer.closeSubpath();
    p.setPen(QPen(kFocusEdge, 1.0));
    p.setBrush(active ? kActiveFocus : kIdleFocus);
    p.drawPath(pointer);
    p.restore();
}

void TSkelda::KeyboardShortcuts1Click() {
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("KeyboardShortcuts"));
    dialog.setWindowTitle(QStringLiteral("Keyboard Shortcuts"));
    auto* layout = new QVBoxLayout(&dialog);
    const std::vector<KeyBinding>& map = TableKeyMap();
    auto* table = new QTableWidget(static_cast<int>(map.size()), 2, &dialog);
    table->setHorizontalHeaderLabels({QStringLiteral("Keys"), QStringLiteral("Action")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setFocusPolicy(Qt::NoFocus);
    for (int r = 0; r < static_cast<int>(map.size()); ++r) {
        table->setItem(r, 0, new QTableWidgetItem(QString::fromUtf8(map[r].keys)));
        table->setItem(r, 1, new QTableWidgetItem(QString::fromUtf8(map[r].does)));
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(table->horizontalHeader()->length() + 60, 520);
    dialog.exec();
}

}  // namespace skelda
