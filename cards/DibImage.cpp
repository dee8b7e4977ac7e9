#include "cards/DibImage.h"

#include <QBuffer>
#include <QImageReader>
#include <string>

#include "cards/Dib.h"

namespace skelda {

QImage DecodeDib(std::span<const uint8_t> dib, QString* why) {
    DibInfo info;
    std::string reason;
    if (!ParseDibHeader(dib, info, reason)) {
        if (why) *why = QString::fromStdString(reason);
        return {};
    }
    const std::vector<uint8_t> file = DibToBmpFile(dib, info);
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()), qsizetype(file.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "BMP");
    reader.setAutoTransform(false);
    QImage image;
    if (info.compression == 1 || info.compression == 2) {
        // Run-length data may skip pixels; they keep palette index 0, as on Windows, since
        // the reader fills an image of the right size and format in place.
        image = QImage(info.width, info.height, QImage::Format_Indexed8);
        image.fill(0);
    }
    if (!reader.read(&image) || image.isNull()) {
        if (why) *why = reader.errorString();
        return {};
    }
    if (image.width() != info.width || image.height() != info.height) {
        if (why) *why = QStringLiteral("the bitmap decoded at another size");
        return {};
    }
    image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                          : QImage::Format_RGB32);
    return image;
}

}  // namespace skelda
