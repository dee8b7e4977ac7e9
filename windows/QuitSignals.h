// SIGINT becomes a close request (the close query asks "Save game?"); SIGTERM and SIGHUP,
// sent when the system shuts down or the terminal goes, become a shut-down that cannot
// wait for an answer. Both are carried out by the event loop: the signal handler only
// writes the signal's number to a pipe, which a socket notifier reads on the UI thread.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace skelda {

class QuitSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;
    bool ok() const { return notifier_ != nullptr; }

signals:
    void closeRequested();
    void shutDownRequested();

private:
    void OnReadable();
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace skelda
