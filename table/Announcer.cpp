#include "table/Announcer.h"

#include <QAccessible>

namespace skelda {

namespace {
constexpr int kSaidKept = 500;
}

Announcer::Announcer(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Announcer"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    // Nothing to see: one transparent pixel in the table's corner.
    setGeometry(0, 0, 1, 1);
    pace_.setSingleShot(true);
    connect(&pace_, &QTimer::timeout, this, &Announcer::Next);
}

void Announcer::Say(const QString& line, bool first) {
    if (line.isEmpty()) return;
    if (first)
        queue_.push_front(line);
    else
        queue_.push_back(line);
    if (!pace_.isActive()) Next();
}

// About 15 characters a second and a breath between lines; a quarter of it in Quick Play.
int Announcer::TimeToSay(const QString& line) const {
    const int ms = 350 + 65 * static_cast<int>(line.size());
    return quick_ ? ms / 4 : ms;
}

void Announcer::Next() {
    if (queue_.empty()) return;
    line_ = queue_.front();
    queue_.pop_front();
    said_.append(line_);
    if (said_.size() > kSaidKept) said_.removeFirst();
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // The reader queues announcements itself.
    QAccessibleAnnouncementEvent event(this, line_);
    event.setPoliteness(QAccessible::AnnouncementPoliteness::Polite);
    QAccessible::updateAccessibility(&event);
    emit spoken(line_);
    if (!queue_.empty()) Next();
#else
    // The notification appears anew with the line as its name.
    hide();
    QAccessibleEvent renamed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
    show();
    emit spoken(line_);
    pace_.start(TimeToSay(line_));
#endif
}

}  // namespace skelda
