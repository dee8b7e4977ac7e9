// The widgets the table is made of: the paint areas, the group frames with their white
// captions, the status line and the layer the win animation scatters cards on. Each
// hands its painting and its mouse releases to the table that owns it.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <tuple>
#include <vector>

#include "game/Host.h"

namespace skelda {

class TSkelda;

class PaintArea : public QWidget {
    Q_OBJECT
public:
    PaintArea(TSkelda& table, Area area, QWidget* parent);
    Area area() const { return area_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TSkelda& table_;
    Area area_;
};

// A group box: the table showing through, a thin frame and a caption in white.
class GroupFrame : public QWidget {
    Q_OBJECT
public:
    GroupFrame(TSkelda& table, int number, QWidget* parent);
    int number() const { return number_; }
    void SetCaption(const QString& caption);
    QString caption() const { return caption_; }
    // Where the caption is drawn, in the table's logical pixels; empty without one.
    QRect captionRect() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QFont CaptionFont() const;
    void DrawFrame(QPainter& p, qreal scale) const;
    void MakeStrips(qreal scale, qreal ratio);
    TSkelda& table_;
    int number_;
    QString caption_;
    // The frame, drawn once per size into thin strips along the edges (device pixels).
    struct Strip {
        QPoint at;
        QImage image;
    };
    std::vector<Strip> strips_;
    std::tuple<QSize, qreal, qreal, QString> stripsFor_;
};

class StatusLine : public QWidget {
    Q_OBJECT
public:
    StatusLine(TSkelda& table, QWidget* parent);
    void SetText(const QString& text);
    QString text() const { return text_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    TSkelda& table_;
    QString text_;
};

// Cards drawn at random spots over the whole table while a won game is celebrated.
class ScatterLayer : public QWidget {
    Q_OBJECT
public:
    ScatterLayer(TSkelda& table, QWidget* parent);
    struct Scattered {
        int suit, rank, x, y;
    };
    void Add(const Scattered& card);
    void Clear();
    const std::vector<Scattered>& cards() const { return cards_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    TSkelda& table_;
    std::vector<Scattered> cards_;
};

// A notice shown on the table for a while, for desktops without a notification area.
class NoticeBubble : public QWidget {
    Q_OBJECT
public:
    NoticeBubble(TSkelda& table, QWidget* parent);
    void Show(const QString& title, const QString& text, int ms);
    QString text() const { return text_; }
    // In the table's logical pixels: the bubble, tall enough for the whole text wrapped
    // to its width, and where the text goes inside it.
    QSize logicalSize() const { return size_; }
    QRect textRect() const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    TSkelda& table_;
    QString title_, text_;
    QSize size_{340, 64};
};

}  // namespace skelda
