#include "TestBitmaps.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <algorithm>

#include "cards/CardPictures.h"
#include "tools/deck/PeWriter.h"

namespace skelda::test {
namespace {

void Put16(QByteArray& b, int at, uint32_t v) {
    b[at] = char(v), b[at + 1] = char(v >> 8);
}
void Put32(QByteArray& b, int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = char(v >> (8 * i));
}

QRgb PaletteColour(int i, int seed) {
    return qRgb((i * 37 + seed * 11) & 0xFF, (i * 91 + 7) & 0xFF, (255 - i * 13 + seed) & 0xFF);
}

QRgb DirectColour(int x, int y, int seed) {
    return qRgba((x * 3 + seed * 5) & 0xFF, (y * 2 + seed) & 0xFF, (x ^ y) & 0xFF,
                 (x * 7 + y) & 0xFF);
}

// 5 or 6 bits widened to 8 the way every BMP reader does: the high bits repeated.
int Widen(int v, int bits) {
    return (v << (8 - bits)) | (v >> (2 * bits - 8));
}

}  // namespace

const char* FormName(Form form) {
    switch (form) {
        case Form::Mono1: return "Mono1";
        case Form::Palette4: return "Palette4";
        case Form::Palette8: return "Palette8";
        case Form::Core4: return "Core4";
        case Form::Core8: return "Core8";
        case Form::Fields16: return "Fields16";
        case Form::Rgb24: return "Rgb24";
        case Form::Rgb32: return "Rgb32";
        case Form::TopDown24: return "TopDown24";
        case Form::V5Alpha32: return "V5Alpha32";
        case Form::Rle8: return "Rle8";
    }
    return "?";
}

TestBitmap MakeBitmap(Form form, int w, int h, int seed) {
    TestBitmap t;
    t.core = form == Form::Core4 || form == Form::Core8;
    int colours = 0;
    switch (form) {
        case Form::Mono1: t.bits = 1, colours = 2; break;
        case Form::Palette4:
        case Form::Core4: t.bits = 4, colours = 16; break;
        case Form::Palette8: t.bits = 8, colours = 200; break;
        case Form::Rle8: t.bits = 8, colours = 16; break;
        case Form::Core8: t.bits = 8, colours = 256; break;
        case Form::Fields16: t.bits = 16; break;
        case Form::Rgb24:
        case Form::TopDown24: t.bits = 24; break;
        case Form::Rgb32:
        case Form::V5Alpha32: t.bits = 32; break;
    }
    const int headerSize = t.core ? 12 : form == Form::V5Alpha32 ? 124 : 40;
    const int masks = form == Form::Fields16 ? 12 : 0;
    const int entry = t.core ? 3 : 4;
    t.pixelOffset = headerSize + masks + colours * entry;
    const int stride = (w * t.bits + 31) / 32 * 4;
    t.dib = QByteArray(t.pixelOffset + stride * h, '\0');
    QByteArray& d = t.dib;
    Put32(d, 0, headerSize);
    if (t.core) {
        Put16(d, 4, w), Put16(d, 6, h), Put16(d, 8, 1), Put16(d, 10, t.bits);
    } else {
        Put32(d, 4, w), Put32(d, 8, form == Form::TopDown24 ? uint32_t(-h) : uint32_t(h));
        Put16(d, 12, 1), Put16(d, 14, t.bits);
        Put32(d, 16,
              form == Form::Fields16 || form == Form::V5Alpha32 ? 3
              : form == Form::Rle8                              ? 1
                                                                : 0);
        Put32(d, 20, stride * h);
        Put32(d, 32, form == Form::Palette8 || form == Form::Rle8 ? colours : 0);
    }
    if (form == Form::Fields16) Put32(d, 40, 0xF800), Put32(d, 44, 0x07E0), Put32(d, 48, 0x001F);
    if (form == Form::V5Alpha32) {
        Put32(d, 40, 0x00FF0000), Put32(d, 44, 0x0000FF00), Put32(d, 48, 0x000000FF);
        Put32(d, 52, 0xFF000000), Put32(d, 56, 0x73524742);
    }
    for (int i = 0; i < colours; ++i) {
        const QRgb c = PaletteColour(i, seed);
        const int at = headerSize + masks + i * entry;
        d[at] = char(qBlue(c)), d[at + 1] = char(qGreen(c)), d[at + 2] = char(qRed(c));
    }
    t.expected = QImage(w, h, QImage::Format_ARGB32);
    if (form == Form::Rle8) {
        // Runs of up to four pixels, row by row from the bottom; the top row stops half way
        // with the end-of-bitmap code.
        d.truncate(t.pixelOffset);
        t.expected.fill(PaletteColour(0, seed));
        for (int y = h - 1; y >= 0; --y) {
            const int end = y == 0 ? w / 2 : w;
            for (int x = 0; x < end;) {
                const int index = (x / 4 + y + seed) % colours;
                const int run = std::min(4 - x % 4, end - x);
                d += char(run), d += char(index);
                for (int k = 0; k < run; ++k)
                    t.expected.setPixel(x + k, y, PaletteColour(index, seed));
                x += run;
            }
            d += char(0), d += char(y == 0 ? 1 : 0);
        }
        Put32(d, 20, d.size() - t.pixelOffset);
        return t;
    }
    for (int y = 0; y < h; ++y) {
        // File rows run bottom-up except for the top-down form.
        const int fileRow = form == Form::TopDown24 ? y : h - 1 - y;
        char* row = d.data() + t.pixelOffset + fileRow * stride;
        for (int x = 0; x < w; ++x) {
            QRgb pixel = 0;
            if (colours) {
                const int index = (x + 2 * y + seed) % colours;
                pixel = PaletteColour(index, seed);
                if (t.bits == 1) row[x / 8] = char(row[x / 8] | (index << (7 - x % 8)));
                if (t.bits == 4) row[x / 2] = char(row[x / 2] | (index << (x % 2 ? 0 : 4)));
                if (t.bits == 8) row[x] = char(index);
            } else {
                const QRgb c = DirectColour(x, y, seed);
                if (t.bits == 16) {
                    const int r = qRed(c) >> 3, g = qGreen(c) >> 2, b = qBlue(c) >> 3;
                    const int v = r << 11 | g << 5 | b;
                    row[x * 2] = char(v), row[x * 2 + 1] = char(v >> 8);
                    pixel = qRgb(Widen(r, 5), Widen(g, 6), Widen(b, 5));
                } else {
                    char* p = row + x * (t.bits / 8);
                    p[0] = char(qBlue(c)), p[1] = char(qGreen(c)), p[2] = char(qRed(c));
                    if (t.bits == 32) p[3] = char(qAlpha(c));
                    pixel = form == Form::V5Alpha32 ? c : qRgb(qRed(c), qGreen(c), qBlue(c));
                }
            }
            t.expected.setPixel(x, y, pixel);
        }
    }
    return t;
}

QByteArray BmpFile(const TestBitmap& bitmap) {
    QByteArray header(14, '\0');
    header[0] = 'B', header[1] = 'M';
    Put32(header, 2, 14 + bitmap.dib.size());
    Put32(header, 10, 14 + bitmap.pixelOffset);
    return header + bitmap.dib;
}

QStringList DeckNames(bool withRing) {
    QStringList names = RequiredPictureNames();
    if (withRing) names << QStringLiteral("CARD02");
    return names;
}

std::vector<DeckPicture> DeckPictures(const std::vector<Form>& forms, bool withRing) {
    std::vector<DeckPicture> pictures;
    int seed = 0;
    for (const QString& name : DeckNames(withRing)) {
        const Form form = forms[seed % forms.size()];
        pictures.push_back({name, MakeBitmap(form, 71, 96, seed), form});
        ++seed;
    }
    return pictures;
}

QByteArray OwnDeck(const std::vector<DeckPicture>& pictures) {
    std::vector<NamedBitmap> bitmaps;
    for (const DeckPicture& p : pictures)
        bitmaps.push_back(
            {p.name.toStdString(), std::vector<uint8_t>(p.bitmap.dib.begin(), p.bitmap.dib.end())});
    const std::vector<uint8_t> dll = BuildResourceDll(std::move(bitmaps));
    return QByteArray(reinterpret_cast<const char*>(dll.data()), qsizetype(dll.size()));
}

QByteArray LlvmDeck(const QString& folder, const std::vector<DeckPicture>& pictures, bool x64,
                    QString& log) {
    QDir dir(folder);
    QByteArray rc;
    for (const DeckPicture& p : pictures) {
        WriteFile(dir.filePath(p.name + ".bmp"), BmpFile(p.bitmap));
        rc += p.name.toUtf8() + " BITMAP \"" + p.name.toUtf8() + ".bmp\"\n";
    }
    WriteFile(dir.filePath("deck.rc"), rc);
    const auto run = [&](const QString& program, const QStringList& args) {
        QProcess process;
        process.setWorkingDirectory(folder);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, args);
        const bool ok = process.waitForFinished(60000) &&
                        process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        log += program + " " + args.join(' ') + "\n" + QString::fromLocal8Bit(process.readAll());
        return ok;
    };
    if (!run(SKELDA_LLVM_RC, {"/FO", "deck.res", "deck.rc"})) return {};
    if (!run(SKELDA_LLD_LINK, {"/DLL", "/NOENTRY", x64 ? "/MACHINE:X64" : "/MACHINE:X86",
                               "/OUT:deck.dll", "deck.res"}))
        return {};
    QFile dll(dir.filePath("deck.dll"));
    if (!dll.open(QIODevice::ReadOnly)) return {};
    return dll.readAll();
}

QString WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
    return path;
}

}  // namespace skelda::test
