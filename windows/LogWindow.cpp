#include "windows/LogWindow.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QFontDatabase>
#include <QLocale>
#include <QVBoxLayout>
#include <cstdio>

namespace skelda {

namespace {
// Enough for many games; the oldest lines go first beyond it.
constexpr int MaxLogLines = 100000;
}  // namespace

LogWindow::LogWindow(QWidget* parent) : QWidget(parent, Qt::Window), view_(new QPlainTextEdit) {
    setWindowTitle(QStringLiteral("Skelda Log"));
    setObjectName(QStringLiteral("SkeldaLog"));
    view_->setReadOnly(true);
    view_->setMaximumBlockCount(MaxLogLines);
    view_->setLineWrapMode(QPlainTextEdit::NoWrap);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view_->setStyleSheet(
        QStringLiteral("QPlainTextEdit { background: #101410; color: #d8e8d8; border: none; }"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    resize(640, 360);
}

void LogWindow::AppendLine(const QString& line) {
    view_->appendPlainText(line);
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void LogWindow::closeEvent(QCloseEvent* event) {
    // The log lives as long as the program; closing it is a request to end the game.
    event->ignore();
    emit closeRequested();
}

QString LogTimeStamp() {
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    // The long time format names the time zone; the stamp does without it.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    timeFormat = timeFormat.trimmed();
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(now.time(), timeFormat);
}

void LogWindow::Release() {
    if (!isVisible()) destroy();
}

}  // namespace skelda
