// The program's icon in the notification area: a tooltip, the program icon, a balloon
// notice, and a double-click that brings the main window back maximised.
#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>

class QWidget;

namespace skelda {

class TTrayIcon : public QObject {
    Q_OBJECT
public:
    // The icon belongs to the main window and restores it; it is visible at once.
    TTrayIcon(QWidget* mainWindow, const QIcon& icon, const QString& hint);

    // The tooltip; the notification area takes at most 127 characters.
    void SetHint(const QString& hint);
    QString hint() const { return icon_.toolTip(); }
    void SetIcon(const QIcon& icon) { icon_.setIcon(icon); }
    bool iconVisible() const { return icon_.isVisible(); }

    // Shows a balloon over the icon in place of any earlier one. iconKind: 0 none,
    // 1 information, 2 warning, 3 error. False when there is no notification area.
    bool ShowTrayBalloon(const QString& title, const QString& text, int iconKind, int seconds);

    // The double-click: the main window maximised, shown and in front.
    void TrayIcon1DblClick();

private:
    QPointer<QWidget> mainWindow_;
    QSystemTrayIcon icon_;
};

}  // namespace skelda
