#include "table/TableAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QTimer>
#include <QWindow>

#include "game/TableWords.h"
#include "table/Announcer.h"
#include "table/TSkelda.h"

namespace skelda {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

bool IsList(Area area) {
    return area == Area::PaintBox2 || area == Area::PaintBox3 || area == Area::PaintBox4 ||
           area == Area::PaintBox6;
}

TableAccessible* AccessOf(const QWidget* w) {
    auto* table = w ? qobject_cast<TSkelda*>(w->window()) : nullptr;
    return table ? table->accessible() : nullptr;
}

// One card of the hand or the pile, or one meld of a meld area: an object without a widget
// of its own, named from the game each time it is asked.
class ItemObject : public QAccessibleInterface {
public:
    ItemObject(TableAccessible* owner, QWidget* area, Area which, int index)
        : owner_(owner), area_(area), which_(which), index_(index) {}
    Area area() const { return which_; }
    int index() const { return index_; }

    bool isValid() const override { return owner_ && area_ && index_ < owner_->ItemCount(which_); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return area_ ? area_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return area_ ? QAccessible::queryAccessibleInterface(area_.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        if (t == QAccessible::Name) return owner_->ItemName(which_, index_);
        if (t == QAccessible::Description) return owner_->ItemDescription(which_, index_);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override { return isValid() ? owner_->ItemRect(which_, index_) : QRect(); }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.focusable = which_ == Area::PaintBox4 || which_ == Area::PaintBox6;
        s.focused = owner_->ItemFocused(which_, index_);
        s.selectable = which_ == Area::PaintBox4;
        s.selected = owner_->ItemSelected(which_, index_);
        return s;
    }

private:
    QPointer<TableAccessible> owner_;
    QPointer<QWidget> area_;
    Area which_;
    int index_;
};

// A paint area: a list of its cards or melds, or one line (the stock, the opponent's hand).
class AreaObject : public QAccessibleWidget {
public:
    explicit AreaObject(PaintArea* w)
        : QAccessibleWidget(w, IsList(w->area()) ? QAccessible::List : QAccessible::StaticText),
          which_(w->area()) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            if (TableAccessible* a = AccessOf(widget())) return a->AreaName(which_);
        return QAccessibleWidget::text(t);
    }
    int childCount() const override {
        TableAccessible* a = AccessOf(widget());
        return a && IsList(which_) ? a->ItemCount(which_) : 0;
    }
    QAccessibleInterface* child(int i) const override {
        TableAccessible* a = AccessOf(widget());
        return a && i >= 0 && i < childCount() ? a->Item(which_, i) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* c) const override {
        const auto* item = dynamic_cast<const ItemObject*>(c);
        return item && item->area() == which_ && item->index() < childCount() ? item->index() : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        // The cards overlap; the last one drawn at the point is the one seen.
        for (int i = childCount() - 1; i >= 0; --i)
            if (QAccessibleInterface* c = child(i); c && c->rect().contains(x, y)) return c;
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        for (int i = 0; i < childCount(); ++i)
            if (QAccessibleInterface* c = child(i); c && c->state().focused) return c;
        return nullptr;
    }

private:
    Area which_;
};

class GroupObject : public QAccessibleWidget {
public:
    explicit GroupObject(GroupFrame* w) : QAccessibleWidget(w, QAccessible::Grouping) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return static_cast<GroupFrame*>(widget())->caption();
        return QAccessibleWidget::text(t);
    }
};

class StatusObject : public QAccessibleWidget {
public:
    explicit StatusObject(StatusLine* w) : QAccessibleWidget(w, QAccessible::StatusBar) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return static_cast<StatusLine*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

class ScoreObject : public QAccessibleWidget {
public:
    explicit ScoreObject(QWidget* w) : QAccessibleWidget(w, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            if (TableAccessible* a = AccessOf(widget())) return a->ScoreText();
        return QAccessibleWidget::text(t);
    }
};

class NotificationObject : public QAccessibleWidget {
public:
    explicit NotificationObject(Announcer* w) : QAccessibleWidget(w, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return static_cast<Announcer*>(widget())->line();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* TableFactory(const QString& key, QObject* o) {
    if (key == QLatin1String("skelda::PaintArea"))
        return new AreaObject(static_cast<PaintArea*>(o));
    if (key == QLatin1String("skelda::GroupFrame"))
        return new GroupObject(static_cast<GroupFrame*>(o));
    if (key == QLatin1String("skelda::StatusLine"))
        return new StatusObject(static_cast<StatusLine*>(o));
    if (key == QLatin1String("skelda::ScoreBoard"))
        return new ScoreObject(static_cast<QWidget*>(o));
    if (key == QLatin1String("skelda::Announcer"))
        return new NotificationObject(static_cast<Announcer*>(o));
    return nullptr;
}

void Notify(QObject* o, QAccessible::Event type) {
    QAccessibleEvent e(o, type);
    QAccessible::updateAccessibility(&e);
}

void Notify(QAccessibleInterface* iface, QAccessible::Event type) {
    if (!iface) return;
    QAccessibleEvent e(iface, type);
    QAccessible::updateAccessibility(&e);
}

}  // namespace

void InstallTableAccessibility() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(TableFactory);
}

ScoreBoard::ScoreBoard(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Scores"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 1, 1);
}

TableAccessible::TableAccessible(TSkelda& table, QWidget* surface)
    : QObject(&table), table_(table), surface_(surface) {
    setObjectName(QStringLiteral("TableAccessible"));
    InstallTableAccessibility();
    announcer_ = new Announcer(surface);
    scores_ = new ScoreBoard(surface);
    surface->installEventFilter(this);
}

TableAccessible::~TableAccessible() {
    for (const std::vector<unsigned>& ids : itemIds_)
        for (unsigned id : ids) QAccessible::deleteAccessibleInterface(id);
}

// ----- Words -----

QString TableAccessible::AreaName(Area area) const {
    const Game& g = table_.game();
    switch (area) {
        case Area::PaintBox1: return Q(OpponentHandWords(g));
        case Area::PaintBox2: return Q(MeldListWords(g, false));
        case Area::PaintBox3: return Q(MeldListWords(g, true));
        case Area::PaintBox4: return Q(HandWords(g));
        case Area::PaintBox5: return Q(StockWords(g));
        case Area::PaintBox6: return Q(PileWords(g));
        case Area::All: break;
    }
    return {};
}

int TableAccessible::ItemCount(Area area) const {
    const Game& g = table_.game();
    switch (area) {
        case Area::PaintBox2: return static_cast<int>(SideMelds(g, false).size());
        case Area::PaintBox3: return static_cast<int>(SideMelds(g, true).size());
        case Area::PaintBox4: return static_cast<int>(g.YourHand.size());
        case Area::PaintBox6: return static_cast<int>(g.DiscardPile.size());
        default: return 0;
    }
}

QString TableAccessible::ItemName(Area area, int index) const {
    const Game& g = table_.game();
    if (index < 0 || index >= ItemCount(area)) return {};
    switch (area) {
        case Area::PaintBox2:
        case Area::PaintBox3: {
            const bool yours = area == Area::PaintBox3;
            return Q(SideMeldWords(g.Melds[SideMelds(g, yours)[index]], yours));
        }
        case Area::PaintBox4: return Q(SpokenCard(g.YourHand[index]));
        case Area::PaintBox6: return Q(SpokenCard(g.DiscardPile[index]));
        default: return {};
    }
}

QString TableAccessible::ItemDescription(Area area, int index) const {
    const int n = ItemCount(area);
    if (index < 0 || index >= n) return {};
    if (area == Area::PaintBox2 || area == Area::PaintBox3)
        return QStringLiteral("meld %1 of %2").arg(index + 1).arg(n);
    QString d = Q(PositionWords(index, n));
    if (area == Area::PaintBox6 && index == n - 1) d += QStringLiteral(", top");
    return d;
}

bool TableAccessible::ItemSelected(Area area, int index) const {
    const Game& g = table_.game();
    return area == Area::PaintBox4 && index >= 0 && index < ItemCount(area) &&
           (g.YourHand[index].Flags & Selected);
}

bool TableAccessible::ItemFocused(Area area, int index) const {
    if (area == Area::PaintBox4) return !focusPile_ && index == table_.handFocus();
    if (area == Area::PaintBox6) return focusPile_ && index == table_.pileCursor();
    return false;
}

QRect TableAccessible::ItemRect(Area area, int index) const {
    QWidget* w = table_.areaWidget(area);
    if (!w) return {};
    const int n = ItemCount(area);
    QRectF logical;
    if (area == Area::PaintBox4 || area == Area::PaintBox6) {
        const bool lowered = area == Area::PaintBox4 && !ItemSelected(area, index);
        logical = QRectF(CardStep * index, lowered ? LoweredOffset : 0,
                         index + 1 == n ? CardWidth : CardStep, CardHeight);
    } else {
        logical = QRectF(QPointF(0, 0), QSizeF(w->size()) / table_.TableScale());
    }
    const qreal s = table_.TableScale();
    const QRect local = QRectF(logical.topLeft() * s, logical.size() * s).toAlignedRect();
    return QRect(w->mapToGlobal(local.topLeft()), local.size());
}

QString TableAccessible::ScoreText() const {
    return Q(ScoreWords(table_.game()));
}

QAccessibleInterface* TableAccessible::Item(Area area, int index) {
    const int a = static_cast<int>(area);
    QWidget* w = table_.areaWidget(area);
    if (!w || index < 0 || !IsList(area)) return nullptr;
    std::vector<unsigned>& ids = itemIds_[a];
    while (static_cast<int>(ids.size()) <= index)
        ids.push_back(QAccessible::registerAccessibleInterface(
            new ItemObject(this, w, area, static_cast<int>(ids.size()))));
    return QAccessible::accessibleInterface(ids[index]);
}

// ----- Changes -----

void TableAccessible::Refresh() {
    Game& g = table_.game();
    announcer_->SetQuick(table_.quickPlay());
    if (!table_.busy()) {
        const bool yourTurn =
            g.HumansTurn && g.TurnPhase == 1 && g.controls.PaintBox5 && g.GameInPlay();
        if (yourTurn && !wasYourTurn_) Say(g.StatusPrompt, true);
        wasYourTurn_ = yourTurn;
        // A hint, or why a move was refused (a refusal that only plays a sound shows no box).
        if (const std::string advice = g.AdviceLine(); advice != adviceLine_) {
            adviceLine_ = advice;
            if (!advice.empty()) Say(advice, true);
        }
    }
    if (!QAccessible::isActive()) return;

    for (int a = 1; a <= 6; ++a) {
        const Area area = static_cast<Area>(a);
        QWidget* w = table_.areaWidget(area);
        if (const QString name = AreaName(area); name != areaNames_[a]) {
            areaNames_[a] = name;
            Notify(w, QAccessible::NameChanged);
        }
        if (!IsList(area)) continue;
        const int n = ItemCount(area);
        QStringList& names = itemNames_[a];
        std::vector<bool>& lifted = itemSelected_[a];
        const bool recounted = n != names.size();
        names.resize(n);
        lifted.resize(n, false);
        for (int i = 0; i < n; ++i) {
            if (const QString name = ItemName(area, i); name != names[i]) {
                names[i] = name;
                Notify(Item(area, i), QAccessible::NameChanged);
            }
            if (const bool sel = ItemSelected(area, i); sel != lifted[i]) {
                lifted[i] = sel;
                Notify(Item(area, i),
                       sel ? QAccessible::SelectionAdd : QAccessible::SelectionRemove);
            }
        }
        if (recounted) Notify(w, QAccessible::ObjectReorder);
    }
    for (int i = 1; i <= 4; ++i) {
        GroupFrame* frame = table_.group(i);
        if (frame->caption() != captions_[i]) {
            captions_[i] = frame->caption();
            Notify(frame, QAccessible::NameChanged);
        }
    }
    if (table_.statusLine()->text() != status_) {
        status_ = table_.statusLine()->text();
        Notify(table_.statusLine(), QAccessible::NameChanged);
    }
    if (const QString s = ScoreText(); s != scoreText_) {
        scoreText_ = s;
        Notify(scores_, QAccessible::NameChanged);
    }
}

void TableAccessible::FocusMoved(bool pile) {
    const int i = pile ? table_.pileCursor() : table_.handFocus();
    if (pile == focusPile_ && i == focusIndex_) return;
    focusPile_ = pile;
    SendFocus();
}

void TableAccessible::SendFocus() {
    if (!QAccessible::isActive()) return;
    const Area area = focusPile_ ? Area::PaintBox6 : Area::PaintBox4;
    const int i = focusPile_ ? table_.pileCursor() : table_.handFocus();
    focusIndex_ = i;
    if (i < 0)
        Notify(table_.areaWidget(area), QAccessible::Focus);
    else
        Notify(Item(area, i), QAccessible::Focus);
}

bool TableAccessible::eventFilter(QObject* watched, QEvent* event) {
    // The table took the keyboard focus: the card in focus follows Qt's own focus event.
    if (watched == surface_ && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, this, [this] { SendFocus(); });
    return QObject::eventFilter(watched, event);
}

// ----- Lines said -----

void TableAccessible::Say(const std::string& line, bool event) {
    const QString q = Q(line).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (event) lastEvent_ = q;
    announcer_->Say(q, !event);
}

void TableAccessible::LogLine(const std::string& afterStamp) {
    const Game& g = table_.game();
    // Only the computer's turn is told: the player knows what the player did.
    if (g.HumansTurn || !g.LastComputerTurn.recorded) return;
    static const std::string separator = " - ";
    if (afterStamp.compare(0, separator.size(), separator) != 0) return;
    const std::string line = afterStamp.substr(separator.size());
    if (line.find(" picks up the ") != std::string::npos)
        Say(PickupWords(line, g.LastComputerTurn.taken), true);
    else
        Say(line, true);
}

void TableAccessible::MessageShown(const std::string& title, const std::string& text, Icon icon) {
    if (icon == Icon::Error || title == "Round Over" || title == "GameOver") Say(text, true);
}

void TableAccessible::ReadTable() {
    Say(TableReading(table_.game()), false);
}

void TableAccessible::ReadHand() {
    Say(HandReading(table_.game()), false);
}

void TableAccessible::RepeatLast() {
    announcer_->Say(lastEvent_.isEmpty() ? QStringLiteral("Nothing has happened yet.") : lastEvent_,
                    true);
}

}  // namespace skelda
