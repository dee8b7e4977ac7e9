// SIGINT and SIGTERM become a close request carried out by the event loop: the signal
// handler only writes a byte to a pipe, which a socket notifier reads on the UI thread.
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

private:
    void OnReadable();
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace skelda
