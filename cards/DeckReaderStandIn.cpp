// Stand-in until the deck reader lands: names, the default Pixmap, and a deck opener that
// opens nothing. Removed when the reader is merged.
#include "cards/CardPictures.h"

namespace skelda {

QString FaceResourceName(int suit, int rank) {
    return QStringLiteral("CARD%1").arg(suit * 16 + rank + 16, 2, 16, QLatin1Char('0')).toUpper();
}

QString BackResourceName(int backId) {
    return QStringLiteral("BACK%1").arg(backId);
}

QStringList RequiredPictureNames() {
    QStringList names;
    for (int s = 0; s < 4; ++s)
        for (int r = 0; r < 13; ++r) names << FaceResourceName(s, r);
    for (int b = 0; b < 12; ++b) names << BackResourceName(b);
    names << QStringLiteral("CARD00") << QStringLiteral("CARD01");
    return names;
}

QPixmap CardPictureSource::Pixmap(const QString& name, qreal ratio, QString& error) const {
    const QImage image = Image(name, error);
    if (image.isNull()) return {};
    QPixmap p = QPixmap::fromImage(
        image.scaled(image.size() * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    p.setDevicePixelRatio(ratio);
    return p;
}

CardSourcePtr OpenDeckFile(const QString&, QString& error) {
    error = QStringLiteral("Error 2: The system cannot find the file specified.");
    return nullptr;
}

std::optional<QString> FirstMissingPicture(const CardPictureSource& source) {
    for (const QString& name : RequiredPictureNames()) {
        QString error;
        if (source.Image(name, error).isNull())
            return (name + QStringLiteral(": ") + error).left(255);
    }
    return std::nullopt;
}

}  // namespace skelda
