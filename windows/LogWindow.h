// The "Skelda Log" window: every game log line, read-only and selectable, each line also
// written to standard output. Closing it asks the main window to close instead.
#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QWidget>

namespace skelda {

class LogWindow : public QWidget {
    Q_OBJECT
public:
    explicit LogWindow(QWidget* parent = nullptr);

    // Appends one line and writes it to standard output.
    void AppendLine(const QString& line);
    QString Text() const { return view_->toPlainText(); }
    // Hidden, it gives back its native window and the picture it is drawn in (most of a
    // megabyte), until it is shown again.
    void Release();

signals:
    void closeRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QPlainTextEdit* view_;
};

// The stamp in front of every log line: the short date and the long time of the
// user's locale.
QString LogTimeStamp();

}  // namespace skelda
