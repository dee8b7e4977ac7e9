// Deck files as the Card Deck dialog's Browse judges them: decks in every bitmap form made
// by LLVM's tools and by our own writer, every outcome's message, and damaged files.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>

#include "TestBitmaps.h"
#include "cards/DeckFile.h"
#include "cards/DibImage.h"
#include "tools/deck/DeckTool.h"

using namespace skelda;
using namespace skelda::test;

namespace {

const QString NameNotFound =
    QStringLiteral("The specified resource name cannot be found in the image file.");

std::vector<Form> Forms() {
    return {std::begin(AllForms), std::end(AllForms)};
}

struct ToolResult {
    int status;
    QString out, err;
};

ToolResult Tool(const QStringList& args) {
    QString out, err;
    QTextStream o(&out), e(&err);
    const int status = RunDeckTool(args, o, e);
    o.flush(), e.flush();
    return {status, out, err};
}

QString FirstLine(const QString& text) {
    return text.section(QLatin1Char('\n'), 0, 0);
}

// A source that records which pictures were asked for, in order.
class Recording : public CardPictureSource {
public:
    explicit Recording(CardSourcePtr inner) : inner_(std::move(inner)) {}
    QImage Image(const QString& name, QString& error) const override {
        asked << name;
        return inner_->Image(name, error);
    }
    QString Path() const override { return inner_->Path(); }
    mutable QStringList asked;

private:
    CardSourcePtr inner_;
};

QByteArray Utf16(const QString& s) {
    return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
}

void Put32(QByteArray& b, int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = char(v >> (8 * i));
}

// Where our writer puts things: headers up to 0x200, then the resource section.
constexpr int SectionCountAt = 0x86, ResourceDirectoryAt = 0x108, RawSizeAt = 0x188;
constexpr int Rsrc = 0x200, RootTypeAt = Rsrc + 16, RootTargetAt = Rsrc + 20;
constexpr int NamedCountAt = Rsrc + 24 + 12, FirstNameTargetAt = Rsrc + 24 + 16 + 4;
int FirstDataSizeAt(int names) {
    return Rsrc + 24 + 16 + 8 * names + 24 * names + 4;
}

// Empty when the pictures are the same, each channel within `tolerance`; otherwise where
// they first differ.
std::string Difference(const QImage& actual, const QImage& expected, int tolerance = 0) {
    if (actual.size() != expected.size()) return "another size";
    const QImage a = actual.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (const QRgb p = a.pixel(x, y), q = expected.pixel(x, y);
                std::abs(qRed(p) - qRed(q)) > tolerance ||
                std::abs(qGreen(p) - qGreen(q)) > tolerance ||
                std::abs(qBlue(p) - qBlue(q)) > tolerance || qAlpha(p) != qAlpha(q))
                return QStringLiteral("at %1,%2: %3 instead of %4")
                    .arg(x)
                    .arg(y)
                    .arg(a.pixel(x, y), 8, 16)
                    .arg(expected.pixel(x, y), 8, 16)
                    .toStdString();
    return "";
}

}  // namespace

TEST(DeckFiles, LlvmDecksInEveryBitmapFormPassAndDecodeToTheirPixels) {
    for (const bool x64 : {false, true}) {
        SCOPED_TRACE(x64 ? "PE32+" : "PE32");
        QTemporaryDir dir;
        const std::vector<DeckPicture> pictures = DeckPictures(Forms(), true);
        QString log;
        const QByteArray dll = LlvmDeck(dir.path(), pictures, x64, log);
        ASSERT_FALSE(dll.isEmpty()) << log.toStdString();
        const QString path = WriteFile(dir.filePath("deck.car"), dll);

        QString error;
        const auto deck = DeckFile::Open(path, error);
        ASSERT_TRUE(deck) << error.toStdString();
        EXPECT_EQ(deck->Module().Is64Bit(), x64);
        EXPECT_EQ(deck->Path(), QFileInfo(path).absoluteFilePath());
        EXPECT_TRUE(deck->IsDeckFile());
        EXPECT_EQ(FirstMissingPicture(*deck), std::nullopt);
        for (const DeckPicture& p : pictures) {
            SCOPED_TRACE(p.name.toStdString());
            const QImage image = deck->Image(p.name, error);
            ASSERT_FALSE(image.isNull()) << error.toStdString();
            EXPECT_TRUE(image.format() == QImage::Format_ARGB32 ||
                        image.format() == QImage::Format_RGB32);
            // Five and six bits widen to eight by shifting, or with the high bits repeated
            // in newer Qt versions; either is within 7.
            const int tolerance = p.form == Form::Fields16 ? 7 : 0;
            EXPECT_EQ(Difference(image, p.bitmap.expected, tolerance), "") << FormName(p.form);
        }
        EXPECT_EQ(Tool({"check", path}).out, "ok\n");

        // list: the file's order, which resource compilers sort by name.
        QStringList expected;
        std::vector<DeckPicture> sorted = pictures;
        std::sort(sorted.begin(), sorted.end(),
                  [](const DeckPicture& a, const DeckPicture& b) { return a.name < b.name; });
        for (const DeckPicture& p : sorted) {
            const QByteArray& d = p.bitmap.dib;
            const QString kind = p.bitmap.core ? "core" : d[0] == char(124) ? "info v5" : "info";
            expected << QStringLiteral("%1 71x96 %2 %3").arg(p.name).arg(p.bitmap.bits).arg(kind);
        }
        const ToolResult list = Tool({"list", path});
        EXPECT_EQ(list.status, 0);
        EXPECT_EQ(list.out, expected.join('\n') + '\n');
    }
}

TEST(DeckFiles, BrowseNamesTheFirstPictureThatCannotBeLoaded) {
    QTemporaryDir dir;
    const std::vector<DeckPicture> full = DeckPictures({Form::Core4, Form::Rgb24}, true);
    const auto without = [&](const QString& name) {
        std::vector<DeckPicture> pictures;
        for (const DeckPicture& p : full)
            if (p.name != name) pictures.push_back(p);
        return OwnDeck(pictures);
    };
    const auto open = [&](const QByteArray& bytes) {
        QString error;
        const auto deck = OpenDeckFile(WriteFile(dir.filePath("deck.car"), bytes), error);
        EXPECT_TRUE(deck) << error.toStdString();
        return deck;
    };

    // With or without the ring: accepted.
    EXPECT_EQ(FirstMissingPicture(*open(OwnDeck(full))), std::nullopt);
    EXPECT_EQ(FirstMissingPicture(*open(without("CARD02"))), std::nullopt);
    EXPECT_EQ(Tool({"check", dir.filePath("deck.car")}).out, "ok\n");

    // A missing back, in Browse's words, and as check's first line.
    EXPECT_EQ(FirstMissingPicture(*open(without("BACK7"))), "BACK7: " + NameNotFound);
    const ToolResult check = Tool({"check", dir.filePath("deck.car")});
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.out, "BACK7: " + NameNotFound + "\n");

    // A missing cross is found only after every face and back has loaded.
    Recording recording(open(without("CARD01")));
    EXPECT_EQ(FirstMissingPicture(recording), "CARD01: " + NameNotFound);
    EXPECT_EQ(recording.asked, RequiredPictureNames());
    EXPECT_EQ(recording.asked.size(), 66);

    // Names stored in lower case are found, as Windows finds them.
    QByteArray lower = OwnDeck(full);
    for (const DeckPicture& p : full) lower.replace(Utf16(p.name), Utf16(p.name.toLower()));
    ASSERT_TRUE(lower.contains(Utf16("card1c")));
    const auto lowerDeck = open(lower);
    EXPECT_EQ(FirstMissingPicture(*lowerDeck), std::nullopt);
    QString error;
    EXPECT_EQ(lowerDeck->Image("CARD1C", error).convertToFormat(QImage::Format_ARGB32),
              full[12].bitmap.expected);

    // A bitmap whose header claims more rows than it holds cannot be loaded.
    std::vector<DeckPicture> damaged = full;
    damaged[12].bitmap.dib[6] = char(200);  // the core header's height: 200 rows
    EXPECT_EQ(FirstMissingPicture(*open(OwnDeck(damaged))), "CARD1C: The data is invalid.");
    const ToolResult damagedCheck = Tool({"check", dir.filePath("deck.car")});
    EXPECT_EQ(FirstLine(damagedCheck.out), "CARD1C: The data is invalid.");
    EXPECT_TRUE(damagedCheck.out.contains("rows need")) << damagedCheck.out.toStdString();

    // A module with resources but no bitmaps at all.
    QByteArray noBitmaps = OwnDeck(full);
    Put32(noBitmaps, RootTypeAt, 3);
    EXPECT_EQ(FirstMissingPicture(*open(noBitmaps)),
              "CARD10: The specified resource type cannot be found in the image file.");

    // A picture the table draws at a higher pixel ratio is scaled smoothly to it.
    const auto deck = open(OwnDeck(full));
    const QPixmap sharp = deck->Pixmap("BACK3", 2.0, error);
    EXPECT_EQ(sharp.size(), QSize(142, 192));
    EXPECT_DOUBLE_EQ(sharp.devicePixelRatio(), 2.0);
    EXPECT_EQ(deck->Pixmap("BACK3", 1.0, error).toImage().convertToFormat(QImage::Format_ARGB32),
              deck->Image("BACK3", error).convertToFormat(QImage::Format_ARGB32));
    EXPECT_TRUE(deck->Pixmap("BACK12", 2.0, error).isNull());
    EXPECT_EQ(error, NameNotFound);
}

TEST(DeckFiles, FilesThatAreNoIntactModulesAreRefusedWithASystemError) {
    QTemporaryDir dir;
    const QByteArray good = OwnDeck(DeckPictures({Form::Rgb24}));
    const QString path = dir.filePath("deck.car");
    const QString native = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    const QString notModule = "Error 193: " + native + " is not a valid Win32 application.";
    const auto refusal = [&](const QByteArray& bytes) {
        WriteFile(path, bytes);
        QString error;
        const auto deck = OpenDeckFile(path, error);
        EXPECT_FALSE(deck);
        // check prints exactly what Browse shows, never starting with a picture's name.
        const ToolResult check = Tool({"check", path});
        EXPECT_EQ(check.status, 1);
        EXPECT_EQ(FirstLine(check.out), error);
        return error;
    };

    QByteArray ne(128, '\0');
    ne[0] = 'M', ne[1] = 'Z', ne[0x3C] = 0x40, ne[0x40] = 'N', ne[0x41] = 'E';
    EXPECT_EQ(refusal(ne), notModule);  // a 16-bit module
    EXPECT_EQ(refusal("CARD10 BITMAP \"a.bmp\"\n"), notModule);
    EXPECT_EQ(refusal(QByteArray()), notModule);
    EXPECT_EQ(refusal(good.left(2)), notModule);

    // Cut in the headers, the directories or the bitmaps: refused, never read past the end.
    std::vector<int> cuts = {64, 0x90, 0x100, 0x1FF, 0x200, 0x210, 0x230, 0x800};
    for (int i = 1; i < 16; ++i) cuts.push_back(good.size() * i / 16 + i);
    cuts.push_back(good.size() - 1);
    for (const int length : cuts) {
        SCOPED_TRACE(length);
        EXPECT_EQ(refusal(good.left(length)), notModule);
    }

    // Lying headers and directories.
    const auto patched = [&](int at, uint32_t value) {
        QByteArray b = good;
        Put32(b, at, value);
        return b;
    };
    for (const auto& [at, value] : std::vector<std::pair<int, uint32_t>>{
             {0x3C, 0x7FFFFFF0},                     // e_lfanew past the end
             {SectionCountAt, 1000},                 // 1000 sections
             {RawSizeAt, 0x7FFFFFFF},                // a section larger than the file
             {ResourceDirectoryAt, 0x7FFF0000},      // resources outside every section
             {RootTargetAt, 0x80000000u},            // bitmaps' directory = the root: a loop
             {FirstNameTargetAt, 0x80000000u | 24},  // a name's languages = the names: a loop
             {NamedCountAt, 0xFFFF},                 // 65535 names
             {FirstDataSizeAt(66), 0x7FFFFFFF}}) {   // a bitmap larger than the file
        SCOPED_TRACE(at);
        EXPECT_EQ(refusal(patched(at, value)), notModule);
    }

    EXPECT_EQ(refusal(patched(ResourceDirectoryAt, 0)),
              "Error 1812: The specified image file did not contain a resource section.");

    QFile::remove(path);
    QString error;
    EXPECT_FALSE(OpenDeckFile(path, error));
    EXPECT_EQ(error, "Error 2: The system cannot find the file specified.");
    EXPECT_FALSE(OpenDeckFile(dir.path(), error));
    EXPECT_EQ(error, "Error 5: Access is denied.");
    QFile big(path);  // sparse: no disk is filled
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(65 * 1024 * 1024));
    big.close();
    EXPECT_FALSE(OpenDeckFile(path, error));
    EXPECT_EQ(error, "Error 223: The file size exceeds the limit allowed and cannot be saved.");
}

// The fuzz targets' seeds are decks and bitmaps of other makers (ImageMagick's BMP writer:
// run-length 8 bits, an OS/2 core header, v5 with alpha, 5-6-5; LLVM's linker for PE32 and
// PE32+). Each reads, and any regression input kept beside them is refused or read
// without harm.
TEST(DeckFiles, OtherMakersBitmapsAndTheFuzzSeedsRead) {
    const QDir decks(SKELDA_DECK_CORPUS "/pe_resources");
    int bitmaps = 0;
    for (const QFileInfo& f : decks.entryInfoList(QDir::Files)) {
        SCOPED_TRACE(f.fileName().toStdString());
        QString error;
        const auto deck = DeckFile::Open(f.filePath(), error);
        if (f.fileName().startsWith("crash-")) continue;
        ASSERT_TRUE(deck) << error.toStdString();
        for (const pe::BitmapResource& b : deck->Module().Bitmaps()) {
            EXPECT_FALSE(deck->Decode(b, error).isNull()) << pe::DisplayName(b);
            ++bitmaps;
        }
    }
    EXPECT_GE(bitmaps, 7 + 66);
    const QDir dibs(SKELDA_DECK_CORPUS "/dib");
    QStringList decoded;
    for (const QFileInfo& f : dibs.entryInfoList({"*.dib"}, QDir::Files)) {
        QFile file(f.filePath());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const QImage image =
            DecodeDib({reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())});
        if (!image.isNull()) decoded << f.baseName();
    }
    EXPECT_EQ(decoded, QStringList({"a32", "core", "f16", "m1", "p4", "p8", "r24"}));
}
