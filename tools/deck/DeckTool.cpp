#include "tools/deck/DeckTool.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>
#include <QSet>

#include "cards/DeckFile.h"
#include "cards/Dib.h"
#include "tools/deck/PeWriter.h"

namespace skelda {
namespace {

const char* const Usage =
    "usage: skelda-deck build FOLDER OUT      make a deck file from pictures\n"
    "       skelda-deck check FILE            judge a deck file as the Card Deck dialog's "
    "Browse does\n"
    "       skelda-deck list FILE             list its bitmap resources\n"
    "       skelda-deck extract FILE FOLDER   write its bitmap resources as PNG files\n"
    "       skelda-deck --help\n"
    "\n"
    "build: FOLDER holds CARD10.png .. CARD4C.png, BACK0.png .. BACK11.png, CARD00.png,\n"
    "  CARD01.png and optionally CARD02.png (PNG or BMP, any case of the extension); OUT\n"
    "  becomes a resource-only 32-bit Windows DLL holding them as bitmap resources.\n"
    "check: prints \"ok\", or the message the dialog would show as its first line.\n"
    "list: one line per bitmap: name, width x height, bits per pixel, header kind (core or\n"
    "  info; v4 and v5 headers are listed as info with v4 or v5 after it).\n"
    "extract: writes FOLDER/NAME.png for every bitmap, decoded as the game draws it.\n"
    "Exit status: 0 done, 1 the file or a picture failed, 2 unusable arguments.\n";

void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// The picture files in `folder` for `name`: NAME.png or NAME.bmp in any case.
QStringList PictureFiles(const QDir& folder, const QString& name) {
    QStringList found;
    const QString png = name + QStringLiteral(".PNG"), bmp = name + QStringLiteral(".BMP");
    for (const QFileInfo& f : folder.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name)) {
        const QString upper = f.fileName().toUpper();
        if (upper == png || upper == bmp) found << f.filePath();
    }
    return found;
}

int Build(const QString& folderPath, const QString& outPath, QTextStream& out, QTextStream& err) {
    const QDir folder(folderPath);
    if (!QFileInfo(folderPath).isDir()) {
        err << "skelda-deck: " << folderPath << " is not a folder\n";
        return 2;
    }
    QStringList names = RequiredPictureNames();
    names << QStringLiteral("CARD02");
    std::vector<NamedBitmap> bitmaps;
    for (const QString& name : names) {
        const QStringList files = PictureFiles(folder, name);
        if (files.isEmpty()) {
            if (name == QLatin1String("CARD02")) continue;
            err << name << ": no " << name << ".png or " << name << ".bmp in " << folderPath
                << "\n";
            return 1;
        }
        if (files.size() > 1) {
            err << name << ": more than one picture: " << files.join(QStringLiteral(", ")) << "\n";
            return 1;
        }
        QImageReader reader(files[0]);
        reader.setAutoTransform(false);
        const QByteArray format = reader.format().toLower();
        QImage image;
        if (format == "png" || format == "bmp") image = reader.read();
        if (image.isNull()) {
            err << name << ": cannot read " << files[0] << ": "
                << (format == "png" || format == "bmp" ? reader.errorString()
                                                       : QStringLiteral("not a PNG or BMP picture"))
                << "\n";
            return 1;
        }
        if (image.width() > MaxDibSide || image.height() > MaxDibSide) {
            err << name << ": " << files[0] << " is " << image.width() << " x " << image.height()
                << "; a deck picture is at most " << MaxDibSide << " pixels a side\n";
            return 1;
        }
        if (image.width() != 71 || image.height() != 96)
            err << "skelda-deck: warning: " << files[0] << " is " << image.width() << " x "
                << image.height() << "; the table lays cards out for 71 x 96\n";
        bitmaps.push_back({name.toStdString(), ImageToDib(image)});
    }
    const std::vector<uint8_t> dll = BuildResourceDll(std::move(bitmaps));
    QSaveFile file(outPath);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(dll.data()), qint64(dll.size())) !=
            qint64(dll.size()) ||
        !file.commit()) {
        err << "skelda-deck: cannot write " << outPath << ": " << file.errorString() << "\n";
        return 1;
    }
    out << "wrote " << outPath << "\n";
    return 0;
}

std::shared_ptr<const DeckFile> OpenOrSay(const QString& path, QTextStream& out) {
    QString error;
    auto deck = DeckFile::Open(path, error);
    if (!deck) out << error << "\n";
    return deck;
}

int Check(const QString& path, QTextStream& out) {
    const auto deck = OpenOrSay(path, out);
    if (!deck) return 1;
    const std::optional<QString> missing = FirstMissingPicture(*deck);
    if (!missing) {
        out << "ok\n";
        return 0;
    }
    out << *missing << "\n";
    // For a damaged bitmap, what is wrong with it, for the deck's author.
    const QString name = missing->section(QLatin1Char(':'), 0, 0);
    if (const pe::BitmapResource* b = deck->Module().FindBitmap(name.toStdU16String())) {
        QString error, detail;
        if (deck->Decode(*b, error, &detail).isNull() && !detail.isEmpty())
            out << name << ": " << detail << "\n";
    }
    return 1;
}

int List(const QString& path, QTextStream& out) {
    const auto deck = OpenOrSay(path, out);
    if (!deck) return 1;
    for (const pe::BitmapResource& b : deck->Module().Bitmaps()) {
        const QString name = QString::fromStdString(pe::DisplayName(b));
        if (!b.hasData) {
            out << name << " no data: " << PlatformErrorText(1815) << "\n";
            continue;
        }
        DibInfo info;
        std::string why;
        if (!ParseDibHeader(deck->Module().Data(b), info, why)) {
            out << name << " damaged: " << QString::fromStdString(why) << "\n";
            continue;
        }
        out << name << " " << info.width << "x" << info.height << " " << info.bitsPerPixel << " "
            << (info.kind == DibHeaderKind::Core ? "core" : "info");
        if (info.kind == DibHeaderKind::V4 || info.kind == DibHeaderKind::V5)
            out << " " << DibHeaderKindName(info.kind);
        out << "\n";
    }
    return 0;
}

// A file name for a resource name: letters, digits, '_', '-' and '#' kept, anything else
// (a path separator, a dot) becomes '_', so no name can leave the folder.
QString SafeFileName(const QString& name) {
    QString safe;
    for (QChar c : name) {
        const bool keep = (c.unicode() < 128 && c.isLetterOrNumber()) || c == QLatin1Char('_') ||
                          c == QLatin1Char('-') || c == QLatin1Char('#');
        safe += keep ? c : QLatin1Char('_');
    }
    return safe.isEmpty() ? QStringLiteral("_") : safe;
}

int Extract(const QString& path, const QString& folderPath, QTextStream& out, QTextStream& err) {
    const auto deck = OpenOrSay(path, out);
    if (!deck) return 1;
    if (!QDir().mkpath(folderPath)) {
        err << "skelda-deck: cannot make the folder " << folderPath << "\n";
        return 1;
    }
    const QDir folder(folderPath);
    int status = 0, written = 0;
    QSet<QString> done;
    for (const pe::BitmapResource& b : deck->Module().Bitmaps()) {
        const QString name = QString::fromStdString(pe::DisplayName(b));
        const QString file = SafeFileName(name) + QStringLiteral(".png");
        if (done.contains(file.toUpper())) {
            err << name << ": skipped, " << file << " is written already\n";
            continue;
        }
        QString error, detail;
        const QImage image = deck->Decode(b, error, &detail);
        if (image.isNull()) {
            err << name << ": " << error;
            if (!detail.isEmpty()) err << " (" << detail << ")";
            err << "\n";
            status = 1;
            continue;
        }
        if (!image.save(folder.filePath(file), "PNG")) {
            err << "skelda-deck: cannot write " << folder.filePath(file) << "\n";
            status = 1;
            continue;
        }
        done.insert(file.toUpper());
        ++written;
    }
    out << "wrote " << written << " pictures to " << folderPath << "\n";
    return status;
}

}  // namespace

std::vector<uint8_t> ImageToDib(const QImage& source) {
    // Transparent pixels need the alpha channel; opaque pictures are stored in 24 bits.
    bool alpha = false;
    if (source.hasAlphaChannel()) {
        const QImage argb = source.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < argb.height() && !alpha; ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            for (int x = 0; x < argb.width() && !alpha; ++x) alpha = qAlpha(row[x]) != 255;
        }
    }
    const QImage image =
        source.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    const uint32_t headerSize = alpha ? 124 : 40;
    const uint32_t bits = alpha ? 32 : 24;
    const uint32_t stride = (uint32_t(w) * bits + 31) / 32 * 4;
    std::vector<uint8_t> dib(headerSize + size_t(stride) * h, 0);
    uint8_t* p = dib.data();
    Put32(p, headerSize);
    Put32(p + 4, uint32_t(w));
    Put32(p + 8, uint32_t(h));
    p[12] = 1;  // planes
    p[14] = uint8_t(bits);
    Put32(p + 16, alpha ? 3 : 0);  // BI_BITFIELDS with the masks below, or BI_RGB
    Put32(p + 20, stride * uint32_t(h));
    Put32(p + 24, 2835), Put32(p + 28, 2835);  // 72 dots per inch
    if (alpha) {
        Put32(p + 40, 0x00FF0000), Put32(p + 44, 0x0000FF00);
        Put32(p + 48, 0x000000FF), Put32(p + 52, 0xFF000000);
        Put32(p + 56, 0x73524742);  // 'sRGB'
        Put32(p + 108, 4);          // LCS_GM_IMAGES
    }
    for (int y = 0; y < h; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uint8_t* d = dib.data() + headerSize + size_t(stride) * (h - 1 - y);
        for (int x = 0; x < w; ++x) {
            *d++ = uint8_t(qBlue(row[x]));
            *d++ = uint8_t(qGreen(row[x]));
            *d++ = uint8_t(qRed(row[x]));
            if (alpha) *d++ = uint8_t(qAlpha(row[x]));
        }
    }
    return dib;
}

int RunDeckTool(const QStringList& args, QTextStream& out, QTextStream& err) {
    const QString command = args.value(0);
    if (args.size() == 1 && (command == QLatin1String("--help") || command == QLatin1String("-h") ||
                             command == QLatin1String("help"))) {
        out << Usage;
        return 0;
    }
    const bool emptyArgument =
        std::any_of(args.begin(), args.end(), [](const QString& a) { return a.isEmpty(); });
    if (!emptyArgument) {
        if (command == QLatin1String("build") && args.size() == 3)
            return Build(args[1], args[2], out, err);
        if (command == QLatin1String("check") && args.size() == 2) return Check(args[1], out);
        if (command == QLatin1String("list") && args.size() == 2) return List(args[1], out);
        if (command == QLatin1String("extract") && args.size() == 3)
            return Extract(args[1], args[2], out, err);
    }
    err << Usage;
    return 2;
}

}  // namespace skelda
