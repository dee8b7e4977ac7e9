// The resource names, Browse's check, and the default scaling of a source's pictures.
#include "cards/CardPictures.h"

#include <cmath>

namespace skelda {

QString FaceResourceName(int suit, int rank) {
    if (suit < 0 || suit > 3 || rank < 0 || rank > 12) return {};
    return QStringLiteral("CARD%1").arg(suit * 16 + rank + 16, 2, 16, QLatin1Char('0')).toUpper();
}

QString BackResourceName(int backId) {
    if (backId < 0 || backId > 11) return {};
    return QStringLiteral("BACK%1").arg(backId);
}

QStringList RequiredPictureNames() {
    QStringList names;
    for (int suit = 0; suit < 4; ++suit)
        for (int rank = 0; rank < 13; ++rank) names << FaceResourceName(suit, rank);
    for (int back = 0; back < 12; ++back) names << BackResourceName(back);
    names << QStringLiteral("CARD00") << QStringLiteral("CARD01");
    return names;
}

QPixmap CardPictureSource::Pixmap(const QString& name, qreal devicePixelRatio,
                                  QString& error) const {
    const QImage image = Image(name, error);
    if (image.isNull()) return {};
    qreal ratio = devicePixelRatio;
    if (!std::isfinite(ratio) || ratio <= 0) ratio = 1.0;
    ratio = std::clamp(ratio, qreal(0.5), qreal(8.0));
    if (ratio == 1.0) return QPixmap::fromImage(image);
    const int w = qMax(1, qRound(image.width() * ratio));
    const int h = qMax(1, qRound(image.height() * ratio));
    QPixmap pixmap =
        QPixmap::fromImage(image.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

std::optional<QString> FirstMissingPicture(const CardPictureSource& source) {
    for (const QString& name : RequiredPictureNames()) {
        QString error;
        if (!source.Image(name, error).isNull()) continue;
        if (error.isEmpty())
            error =
                QStringLiteral("The specified resource name cannot be found in the image file.");
        return (name + QStringLiteral(": ") + error).left(255);
    }
    return std::nullopt;
}

}  // namespace skelda
