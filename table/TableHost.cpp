// The main window as the game's host: sounds and pauses that wait without freezing the
// table, dialogs, immediate repaints, the log, notices, web addresses and files.
#include <pwd.h>
#include <unistd.h>

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QStandardPaths>
#include <QUrl>

#include "persist/platform/DataFolder.h"
#include "persist/platform/GameFiles.h"
#include "persist/qt/Audio.h"
#include "table/CardGlides.h"
#include "table/TSkelda.h"
#include "table/TableAccessible.h"
#include "windows/LogWindow.h"
#include "windows/TTrayIcon.h"

namespace skelda {

namespace {

// Message texts separate lines with CR LF.
QString Lines(const std::string& text) {
    QString s = QString::fromStdString(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

}  // namespace

bool TSkelda::PlaySound(int id, bool noStop) {
    if (!audio_ || !audio_->ok() || quitting_) return false;
    const int length = audio_->StartSound(id, noStop);
    if (length < 0) return false;
    Wait(length);
    return true;
}

void TSkelda::Pause(int ms) {
    Wait(quickPlay_ ? ms / QuickPlayDivisor : ms);
}

Answer TSkelda::MessageBox(const std::string& title, const std::string& text, Icon icon,
                           Buttons buttons) {
    // Once the program is ending nobody answers: the last button, which changes nothing.
    if (quitting_)
        return buttons == Buttons::Ok      ? Answer::Ok
               : buttons == Buttons::YesNo ? Answer::No
                                           : Answer::Cancel;
    glides_->Sync();
    QMessageBox box(this);
    box.setWindowTitle(QString::fromStdString(title));
    box.setText(Lines(text));
    switch (icon) {
        case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
        case Icon::Info: box.setIcon(QMessageBox::Information); break;
        case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
        case Icon::Error: box.setIcon(QMessageBox::Critical); break;
        case Icon::Question: box.setIcon(QMessageBox::Question); break;
    }
    switch (buttons) {
        case Buttons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Ok);
            break;
        case Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::No);
            break;
        case Buttons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
    }
    access_->MessageShown(title, text, icon);
    const int r = box.exec();
    switch (r) {
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        case QMessageBox::Cancel: return Answer::Cancel;
        default:
            return buttons == Buttons::Ok      ? Answer::Ok
                   : buttons == Buttons::YesNo ? Answer::No
                                               : Answer::Cancel;
    }
}

std::optional<std::string> TSkelda::InputBox(const std::string& caption, const std::string& prompt,
                                             const std::string& defaultText) {
    if (quitting_) return std::nullopt;
    QInputDialog dialog(this);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(QString::fromStdString(caption));
    dialog.setLabelText(Lines(prompt));
    dialog.setTextValue(QString::fromStdString(defaultText));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue().toStdString();
}

// Drawn now, not when the event loop gets round to it: the computer's turn shows each
// move as it happens.
void TSkelda::Repaint(Area area) {
    glides_->Sync();
    if (notice_->isVisible()) PlaceNotice();
    if (area == Area::All || area == Area::PaintBox6) pickupMarker_.reset();
    if (area == Area::All) {
        scatter_->Clear();
        for (int i = 1; i <= 6; ++i) areas_[i]->repaint();
    } else if (QWidget* w = areaWidget(area)) {
        w->repaint();
    }
    access_->Refresh();
}

void TSkelda::DrawPickupMarker(int x, int y) {
    pickupMarker_ = QPoint(x, y);
    areas_[6]->repaint();
}

void TSkelda::LogLine(const std::string& afterStamp) {
    if (!log_) return;
    log_->AppendLine(LogTimeStamp() + QString::fromStdString(afterStamp));
    access_->LogLine(afterStamp);
}

// The balloon over the notification-area icon; where the desktop has no notification
// area, a notice on the table for ten seconds.
void TSkelda::ShowBalloon(const std::string& title, const std::string& text) {
    if (tray_ && tray_->ShowTrayBalloon(QString::fromStdString(title), QString::fromStdString(text),
                                        1, 10)) {
        return;
    }
    notice_->Show(QString::fromStdString(title), QString::fromStdString(text), 10000);
    PlaceNotice();  // once its size for this text is known
}

void TSkelda::OpenWebAddress(const std::string& address) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(address), QUrl::TolerantMode));
}

void TSkelda::TimerSwitched(TimerId timer, bool on) {
    QTimer* t = nullptr;
    switch (timer) {
        case TimerId::Timer1: t = &timer1_; break;
        case TimerId::Timer4: t = &timer4_; break;
        case TimerId::Timer5: t = &timer5_; break;
        default: return;
    }
    if (on && !t->isActive()) t->start();
    if (!on) t->stop();
}

// "APPDATA" when set, else the XDG data folder, then the maker's and the game's folders.
std::string TSkelda::DataFolder() {
    if (!options_.dataFolder.isEmpty()) {
        QDir().mkpath(options_.dataFolder);
        return options_.dataFolder.toStdString();
    }
    return UserDataFolder("Skelda");
}

// The game's files go through the same file layer as skelda-cli's.
bool TSkelda::FileExists(const std::string& path) {
    return GameFileExists(path);
}

std::optional<std::string> TSkelda::ReadFile(const std::string& path) {
    std::string error;
    return ReadGameFile(path, error);
}

bool TSkelda::WriteFile(const std::string& path, const std::string& bytes, std::string& error) {
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
    return WriteGameFile(path, bytes, error);
}

bool TSkelda::RemoveFile(const std::string& path) {
    return RemoveGameFile(path);
}

bool TSkelda::RenameFile(const std::string& from, const std::string& to) {
    return RenameGameFile(from, to);
}

std::string TSkelda::LogonName() {
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_name && *pw->pw_name) {
        std::string name = pw->pw_name;
        if (name.size() > 255) name.resize(255);
        return name;
    }
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? std::string("Player") : user.left(255).toStdString();
}

uint32_t TSkelda::ProcessId() {
    return static_cast<uint32_t>(getpid());
}

}  // namespace skelda
