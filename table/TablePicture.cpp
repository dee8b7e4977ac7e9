#include "table/TablePicture.h"

#include <QFileInfo>

#include "persist/platform/GameFiles.h"
#include "table/JpegReader.h"
#include "table/MetafileReader.h"

namespace skelda {

namespace {
constexpr qint64 MaxPictureFileSize = 256ll * 1024 * 1024;
}

bool LoadTablePicture(const QString& path, QImage& picture, QString& error) {
    const QString ext = QFileInfo(path).suffix().toLower();
    const bool metafile = ext == "emf" || ext == "wmf";
    if (!metafile && ext != "bmp" && ext != "jpg" && ext != "jpeg") {
        error = QStringLiteral("Unknown picture file extension (.%1)").arg(ext);
        return false;
    }
    // Through the game's file layer: a FIFO or a device named like a picture is refused
    // at once instead of holding the start-up.
    std::string why;
    const std::optional<std::string> read =
        ReadGameFile(path.toStdString(), why, static_cast<size_t>(MaxPictureFileSize));
    if (!read) {
        error =
            QStringLiteral("Cannot open file \"%1\". %2").arg(path, QString::fromStdString(why));
        return false;
    }
    const QByteArray bytes(read->data(), static_cast<qsizetype>(read->size()));
    // The reader's own reason, after the file's name.
    const auto unreadable = [&](const QString& reason) {
        error = QStringLiteral("%1 cannot be read as a picture: %2")
                    .arg(QFileInfo(path).fileName(), reason);
        return false;
    };
    QImage image;
    if (metafile) {
        const MetafileKind kind = ext == "emf" ? MetafileKind::Emf : MetafileKind::Wmf;
        // Our own look at the structure first: most damage is named without a child.
        MetafileFacts facts;
        std::string why;
        if (!CheckMetafile(kind, reinterpret_cast<const uint8_t*>(bytes.constData()),
                           static_cast<size_t>(bytes.size()), facts, why))
            return unreadable(QString::fromStdString(why));
        QString reason;
        if (!ReadMetafile(kind, bytes, image, reason)) return unreadable(reason);
    } else if (ext == "bmp") {
        if (!image.loadFromData(bytes, "BMP") || image.isNull())
            return unreadable(QStringLiteral("Bitmap image is not valid"));
    } else {
        RgbImage rgb;
        std::string why;
        if (!DecodeJpeg(reinterpret_cast<const uint8_t*>(bytes.constData()),
                        static_cast<size_t>(bytes.size()), rgb, why))
            return unreadable(QString::fromStdString(why));
        image =
            QImage(rgb.pixels.data(), rgb.width, rgb.height, rgb.width * 3, QImage::Format_RGB888)
                .copy();
    }
    picture = image.convertToFormat(QImage::Format_RGB32);
    return true;
}

QColor ColorFromStored(uint32_t v) {
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                  static_cast<int>((v >> 16) & 0xFF));
}

uint32_t ColorToStored(const QColor& c) {
    return static_cast<uint32_t>(c.red()) | static_cast<uint32_t>(c.green()) << 8 |
           static_cast<uint32_t>(c.blue()) << 16;
}

}  // namespace skelda
