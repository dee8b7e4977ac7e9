// Answers the modal dialogs a command opens, in order, and records what each showed.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>
#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

// Readable QStrings in test failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

struct SeenDialog {
    QString kind;  // "message", "input", "color", "file"
    QString title;
    QString text;   // message text, or the input prompt
    QString value;  // the input box's text as shown
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

class DialogDriver {
public:
    // One answer a dialog: a button word ("yes", "no", "cancel", "ok"), "text:..." for an
    // input box, "color:#rrggbb" for the colour dialog, "file:PATH" for a file dialog.
    explicit DialogDriver(std::vector<std::string> answers)
        : answers_(answers.begin(), answers.end()) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }

    std::vector<SeenDialog> seen;
    size_t remaining() const { return answers_.size(); }

private:
    std::string Next(const std::string& fallback) {
        if (answers_.empty()) return fallback;
        std::string a = answers_.front();
        answers_.pop_front();
        return a;
    }

    void Poll() {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible() || w->property("driven").toBool()) return;
        w->setProperty("driven", true);
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            seen.push_back({"message",
                            box->windowTitle(),
                            box->text(),
                            {},
                            box->icon(),
                            box->standardButtons()});
            const std::string a = Next(box->standardButtons() & QMessageBox::Ok ? "ok" : "no");
            QMessageBox::StandardButton b = QMessageBox::Ok;
            if (a == "yes") b = QMessageBox::Yes;
            if (a == "no") b = QMessageBox::No;
            if (a == "cancel") b = QMessageBox::Cancel;
            if (QAbstractButton* button = box->button(b)) button->click();
        } else if (auto* input = qobject_cast<QInputDialog*>(w)) {
            seen.push_back({"input",
                            input->windowTitle(),
                            input->labelText(),
                            input->textValue(),
                            QMessageBox::NoIcon,
                            {}});
            const std::string a = Next("cancel");
            if (a.rfind("text:", 0) == 0) {
                input->setTextValue(QString::fromStdString(a.substr(5)));
                input->accept();
            } else {
                input->reject();
            }
        } else if (auto* color = qobject_cast<QColorDialog*>(w)) {
            seen.push_back({"color", color->windowTitle(), {}, {}, QMessageBox::NoIcon, {}});
            const std::string a = Next("cancel");
            if (a.rfind("color:", 0) == 0) {
                color->setCurrentColor(QColor(QString::fromStdString(a.substr(6))));
                color->accept();
            } else {
                color->reject();
            }
        } else if (auto* file = qobject_cast<QFileDialog*>(w)) {
            seen.push_back({"file",
                            file->windowTitle(),
                            file->nameFilters().join(";;"),
                            file->directory().absolutePath(),
                            QMessageBox::NoIcon,
                            {}});
            const std::string a = Next("cancel");
            if (a.rfind("file:", 0) == 0) {
                file->selectFile(QString::fromStdString(a.substr(5)));
                static_cast<QDialog*>(file)->accept();
            } else {
                file->reject();
            }
        } else if (auto* dialog = qobject_cast<QDialog*>(w)) {
            seen.push_back({"other", dialog->windowTitle(), {}, {}, QMessageBox::NoIcon, {}});
            dialog->reject();
        }
    }

    std::deque<std::string> answers_;
    QTimer timer_;
};
