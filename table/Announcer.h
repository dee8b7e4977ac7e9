// Lines said to a screen reader: what the computer did, the round's report, a refusal, the
// start of the player's turn, and what the listening keys read. Where Qt has announcement
// events they carry each line; before that, a notification object that shows itself once
// per line, which screen readers speak when it appears. A reader speaks such an object at
// once, cutting off the line before, so lines wait their turn: each gets about the time a
// voice needs to say it.
#pragma once

#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <deque>

namespace skelda {

class Announcer : public QWidget {
    Q_OBJECT
public:
    explicit Announcer(QWidget* parent);
    // Says a line after the ones still being said; `first` puts it before them.
    void Say(const QString& line, bool first = false);
    // Quick Play: a quicker voice, lines follow each other sooner.
    void SetQuick(bool quick) { quick_ = quick; }
    // The line said last (the notification's name), and every line said, oldest first.
    QString line() const { return line_; }
    const QStringList& said() const { return said_; }
    bool idle() const { return queue_.empty() && !pace_.isActive(); }

signals:
    void spoken(const QString& line);

private:
    void Next();
    int TimeToSay(const QString& line) const;

    QTimer pace_;
    std::deque<QString> queue_;
    QString line_;
    QStringList said_;
    bool quick_ = false;
};

}  // namespace skelda
