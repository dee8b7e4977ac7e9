#include "tools/metafile/MetafileReply.h"

namespace skelda {

namespace {
const QByteArray ImageTag = QByteArrayLiteral("SKMF IMAGE ");
const QByteArray ErrorTag = QByteArrayLiteral("SKMF ERROR\n");

// A decimal number of at most four digits, 1 to MaxMetafilePixels.
int Dimension(const QByteArray& text) {
    if (text.isEmpty() || text.size() > 4 || text[0] == '0') return 0;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + (c - '0');
    }
    return value <= MaxMetafilePixels ? value : 0;
}
}  // namespace

QByteArray EncodeMetafileImage(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QByteArray out = ImageTag + QByteArray::number(argb.width()) + ' ' +
                     QByteArray::number(argb.height()) + '\n';
    const qsizetype head = out.size();
    const qsizetype row = qsizetype(argb.width()) * 4;
    out.resize(head + row * argb.height());
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(argb.constScanLine(y));
        auto* dst = reinterpret_cast<uint8_t*>(out.data() + head + row * y);
        for (int x = 0; x < argb.width(); ++x, dst += 4) {
            const uint32_t v = line[x];
            dst[0] = uint8_t(v);
            dst[1] = uint8_t(v >> 8);
            dst[2] = uint8_t(v >> 16);
            dst[3] = uint8_t(v >> 24);
        }
    }
    return out;
}

QByteArray EncodeMetafileError(const QString& text) {
    QByteArray line = text.toUtf8().left(MaxErrorReply);
    line.replace('\n', ' ');
    return ErrorTag + line + '\n';
}

bool DecodeMetafileReply(const QByteArray& reply, QImage& image, QString& error) {
    image = QImage();
    if (reply.startsWith(ErrorTag)) {
        QByteArray text = reply.mid(ErrorTag.size());
        if (text.endsWith('\n')) text.chop(1);
        QString t = QString::fromUtf8(text);
        for (QChar& c : t)
            if (c.category() == QChar::Other_Control) c = QLatin1Char(' ');
        t = t.trimmed();
        // A reason of nothing but control characters is no reason.
        error = text.size() > MaxErrorReply || text.contains('\n') || t.isEmpty()
                    ? QStringLiteral("the metafile reader gave an unreadable answer")
                    : t;
        return false;
    }
    const qsizetype end = reply.indexOf('\n');
    if (!reply.startsWith(ImageTag) || end < 0 || end > 32) {
        error = QStringLiteral("the metafile reader gave an unreadable answer");
        return false;
    }
    const QList<QByteArray> size = reply.mid(ImageTag.size(), end - ImageTag.size()).split(' ');
    const int w = size.size() == 2 ? Dimension(size[0]) : 0;
    const int h = size.size() == 2 ? Dimension(size[1]) : 0;
    if (w == 0 || h == 0 || reply.size() - end - 1 != qsizetype(w) * h * 4) {
        error = QStringLiteral("the metafile reader gave an unreadable answer");
        return false;
    }
    QImage out(w, h, QImage::Format_ARGB32);
    if (out.isNull()) {
        error = QStringLiteral("there is not enough memory for the picture");
        return false;
    }
    const auto* src = reinterpret_cast<const uint8_t*>(reply.constData() + end + 1);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<uint32_t*>(out.scanLine(y));
        for (int x = 0; x < w; ++x, src += 4)
            line[x] = uint32_t(src[0]) | uint32_t(src[1]) << 8 | uint32_t(src[2]) << 16 |
                      uint32_t(src[3]) << 24;
    }
    image = out;
    return true;
}

}  // namespace skelda
