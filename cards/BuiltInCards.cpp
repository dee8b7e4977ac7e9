// The program's own card pictures served by resource name: the vector art of CardArt,
// drawn afresh at every ratio so they stay sharp on any screen.
#include <QImage>
#include <QPixmap>
#include <optional>

#include "cards/CardArt.h"
#include "cards/CardPictures.h"

namespace skelda {

namespace {

const QString ResourceNotFound =
    QStringLiteral("The specified resource name cannot be found in the image file.");

// The value of one hexadecimal digit, or -1.
int HexDigit(QChar c) {
    const char16_t u = c.toUpper().unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    return -1;
}

// Decimal without leading zeros, as resource names spell back numbers.
std::optional<int> BackNumber(QStringView digits) {
    if (digits.isEmpty() || digits.size() > 2 || (digits.size() > 1 && digits[0] == u'0'))
        return std::nullopt;
    int n = 0;
    for (QChar c : digits) {
        if (!c.isDigit()) return std::nullopt;
        n = n * 10 + c.digitValue();
    }
    if (n >= CardBackCount) return std::nullopt;
    return n;
}

// Names compare without regard to case, as resource names do.
QPixmap Draw(const QString& name, qreal ratio) {
    if (name.startsWith(QLatin1String("BACK"), Qt::CaseInsensitive)) {
        if (auto n = BackNumber(QStringView(name).mid(4))) return CardBackPixmap(*n, ratio);
        return {};
    }
    if (name.size() != 6 || !name.startsWith(QLatin1String("CARD"), Qt::CaseInsensitive)) return {};
    const int high = HexDigit(name[4]), low = HexDigit(name[5]);
    if (high == 0 && low == 0) return EmptySlotPixmap(ratio);
    if (high == 0 && low == 1) return StockEndPixmap(ratio);
    if (high == 0 && low == 2) return RingPixmap(ratio);
    if (high >= 1 && high <= 4 && low >= 0 && low <= 12)
        return CardFacePixmap(high - 1, low, ratio);
    return {};
}

class BuiltInSource : public CardPictureSource {
public:
    QImage Image(const QString& name, QString& error) const override {
        const QPixmap p = Draw(name, 1.0);
        if (p.isNull()) {
            error = ResourceNotFound;
            return {};
        }
        return p.toImage().convertToFormat(QImage::Format_ARGB32);
    }

    QPixmap Pixmap(const QString& name, qreal devicePixelRatio, QString& error) const override {
        QPixmap p = Draw(name, devicePixelRatio);
        if (p.isNull()) error = ResourceNotFound;
        return p;
    }

    QString Path() const override { return {}; }
};

}  // namespace

CardSourcePtr BuiltInCards() {
    static const CardSourcePtr cards = std::make_shared<BuiltInSource>();
    return cards;
}

}  // namespace skelda
