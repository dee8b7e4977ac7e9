// The notification-area icon on QSystemTrayIcon.
#include "windows/TTrayIcon.h"

#include <QWidget>

namespace skelda {

namespace {
constexpr int MaxHint = 127;
constexpr int MaxBalloonTitle = 63;
constexpr int MaxBalloonText = 255;

QSystemTrayIcon::MessageIcon BalloonIcon(int kind) {
    switch (kind) {
        case 1: return QSystemTrayIcon::Information;
        case 2: return QSystemTrayIcon::Warning;
        case 3: return QSystemTrayIcon::Critical;
        default: return QSystemTrayIcon::NoIcon;
    }
}
}  // namespace

TTrayIcon::TTrayIcon(QWidget* mainWindow, const QIcon& icon, const QString& hint)
    : QObject(mainWindow), mainWindow_(mainWindow) {
    icon_.setIcon(icon);
    SetHint(hint);
    connect(&icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick) TrayIcon1DblClick();
            });
    // Qt adds the icon again by itself when the desktop's panel restarts.
    icon_.show();
}

void TTrayIcon::SetHint(const QString& hint) {
    icon_.setToolTip(hint.left(MaxHint));
}

bool TTrayIcon::ShowTrayBalloon(const QString& title, const QString& text, int iconKind,
                                int seconds) {
    if (!QSystemTrayIcon::isSystemTrayAvailable() || !icon_.isVisible()) return false;
    // A new message replaces the one on show on every platform Qt supports, so there is
    // no separate clearing step (an empty message would pop up as a blank notice on
    // desktops that show balloons as notifications).
    icon_.showMessage(title.left(MaxBalloonTitle), text.left(MaxBalloonText), BalloonIcon(iconKind),
                      qBound(0, seconds, 86400) * 1000);
    return true;
}

void TTrayIcon::TrayIcon1DblClick() {
    if (!mainWindow_) return;
    mainWindow_->setWindowState((mainWindow_->windowState() & ~Qt::WindowMinimized) |
                                Qt::WindowMaximized);
    mainWindow_->show();
    mainWindow_->raise();
    mainWindow_->activateWindow();
}

}  // namespace skelda
