// Table pictures: JPEG through libjpeg with an error manager that returns, bitmaps
// through Qt, and clear refusals for everything else.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "table/JpegReader.h"
#include "table/TablePicture.h"

using namespace skelda;

namespace {

QByteArray JpegOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "JPEG", 95));
    return bytes;
}

bool Decode(const QByteArray& b, RgbImage& out, std::string& error) {
    return DecodeJpeg(reinterpret_cast<const uint8_t*>(b.constData()),
                      static_cast<size_t>(b.size()), out, error);
}

TEST(JpegReader, DecodesColourAndGreyPictures) {
    QImage img(40, 24, QImage::Format_RGB32);
    img.fill(QColor(200, 30, 40));
    RgbImage out;
    std::string error;
    ASSERT_TRUE(Decode(JpegOf(img), out, error)) << error;
    EXPECT_EQ(out.width, 40);
    EXPECT_EQ(out.height, 24);
    ASSERT_EQ(out.pixels.size(), 40u * 24 * 3);
    EXPECT_NEAR(out.pixels[0], 200, 6);
    EXPECT_NEAR(out.pixels[1], 30, 6);
    EXPECT_NEAR(out.pixels[2], 40, 6);

    QImage grey(10, 10, QImage::Format_Grayscale8);
    grey.fill(128);
    ASSERT_TRUE(Decode(JpegOf(grey), out, error)) << error;
    EXPECT_NEAR(out.pixels[3 * 55 + 1], 128, 4);
}

TEST(JpegReader, DamagedInputGivesTheLibrarysMessage) {
    RgbImage out;
    std::string error;
    EXPECT_FALSE(Decode(QByteArray("GIF89a not a jpeg at all"), out, error));
    EXPECT_NE(error.find("Not a JPEG file"), std::string::npos) << error;
    EXPECT_TRUE(out.pixels.empty());

    EXPECT_FALSE(Decode(QByteArray(), out, error));
    EXPECT_FALSE(error.empty());

    // Cut anywhere: a message, never a crash, and never a picture with grey rows (only the
    // last two bytes, the end marker, may go).
    QImage img(64, 64, QImage::Format_RGB32);
    img.fill(Qt::blue);
    const QByteArray whole = JpegOf(img);
    for (int n = 1; n < whole.size(); n += 7) {
        error.clear();
        const bool ok = Decode(whole.left(n), out, error);
        EXPECT_TRUE(ok || !error.empty()) << n;
        EXPECT_TRUE(!ok || n >= whole.size() - 2) << n;
        if (ok) {
            EXPECT_EQ(out.pixels.size(), 64u * 64 * 3);
        }
    }
}

TEST(JpegReader, TruncatedOrCorruptPicturesAreErrors) {
    QImage img(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) img.setPixelColor(x, y, QColor(x * 4, y * 5, 128));
    const QByteArray whole = JpegOf(img);
    const int sos = whole.indexOf(QByteArray("\xFF\xDA", 2));
    ASSERT_GT(sos, 0);
    RgbImage out;
    std::string error;
    // Cut in the middle of the picture's data: libjpeg would fill the rest with grey.
    EXPECT_FALSE(Decode(whole.left((sos + whole.size()) / 2), out, error));
    EXPECT_EQ(error, "Premature end of JPEG file");
    EXPECT_TRUE(out.pixels.empty());
    // A marker in the middle of the data.
    QByteArray damaged = whole;
    damaged[sos + 40] = char(0xFF);
    damaged[sos + 41] = char(0xD9);
    EXPECT_FALSE(Decode(damaged, out, error));
    EXPECT_NE(error.find("Corrupt JPEG data"), std::string::npos) << error;
    // The whole file still reads.
    EXPECT_TRUE(Decode(whole, out, error)) << error;
}

TEST(JpegReader, RefusesPicturesTooLargeToHold) {
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(Qt::white);
    QByteArray b = JpegOf(img);
    // Rewrite the frame header's height and width to 65000 x 65000.
    const int sof = b.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    b[sof + 5] = char(0xFD);
    b[sof + 6] = char(0xE8);
    b[sof + 7] = char(0xFD);
    b[sof + 8] = char(0xE8);
    RgbImage out;
    std::string error;
    EXPECT_FALSE(Decode(b, out, error));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
}

TEST(TablePicture, LoadsByExtensionAndRefusesTheRest) {
    QTemporaryDir dir;
    QImage img(8, 6, QImage::Format_RGB32);
    img.fill(QColor(10, 20, 30));
    ASSERT_TRUE(img.save(dir.filePath("a.bmp"), "BMP"));
    ASSERT_TRUE(img.save(dir.filePath("b.JPG"), "JPEG"));
    QImage pic;
    QString error;
    ASSERT_TRUE(LoadTablePicture(dir.filePath("a.bmp"), pic, error)) << error.toStdString();
    EXPECT_EQ(pic.size(), QSize(8, 6));
    EXPECT_EQ(pic.pixelColor(0, 0), QColor(10, 20, 30));
    ASSERT_TRUE(LoadTablePicture(dir.filePath("b.JPG"), pic, error)) << error.toStdString();

    QImage untouched = pic;
    EXPECT_FALSE(LoadTablePicture(dir.filePath("c.emf"), pic, error));
    EXPECT_TRUE(error.contains("Cannot open")) << error.toStdString();
    EXPECT_FALSE(LoadTablePicture(dir.filePath("d.png"), pic, error));
    EXPECT_TRUE(error.contains("Unknown picture file extension (.png)"));
    EXPECT_FALSE(LoadTablePicture(dir.filePath("missing.bmp"), pic, error));
    EXPECT_TRUE(error.contains("Cannot open"));
    // A JPEG name on a bitmap's bytes.
    QFile::copy(dir.filePath("a.bmp"), dir.filePath("e.jpg"));
    EXPECT_FALSE(LoadTablePicture(dir.filePath("e.jpg"), pic, error));
    EXPECT_TRUE(error.startsWith("e.jpg cannot be read as a picture: Not a JPEG file"))
        << error.toStdString();
    EXPECT_EQ(pic, untouched);
}

TEST(TablePicture, ColoursAreStoredAsWindowsColourValues) {
    EXPECT_EQ(ColorToStored(QColor(0, 0x80, 0)), 0x008000u);
    EXPECT_EQ(ColorFromStored(0x0000FFu), QColor(255, 0, 0));
    EXPECT_EQ(ColorToStored(ColorFromStored(0x123456u)), 0x123456u);
}

}  // namespace

namespace {

// The seed pictures of the fuzz target: CMYK as Adobe writes it, grey, progressive.
TEST(JpegReader, DecodesTheSeedPicturesOfEveryKind) {
    const QString dir = QStringLiteral(SKELDA_APP_TEST_DATA "/../../fuzz/corpus/table_jpeg/");
    struct Seed {
        const char* name;
        int w, h;
    };
    for (const Seed& s :
         {Seed{"cmyk.jpg", 16, 8}, Seed{"grey.jpg", 20, 20}, Seed{"progressive.jpg", 24, 24}}) {
        QFile f(dir + s.name);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << s.name;
        RgbImage out;
        std::string error;
        ASSERT_TRUE(Decode(f.readAll(), out, error)) << s.name << ": " << error;
        EXPECT_EQ(out.width, s.w) << s.name;
        EXPECT_EQ(out.height, s.h) << s.name;
    }
    QFile f(dir + "cmyk.jpg");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    RgbImage out;
    std::string error;
    ASSERT_TRUE(Decode(f.readAll(), out, error));
    EXPECT_NEAR(out.pixels[0], 0xcc, 24);  // the ink comes off white the right way round
    EXPECT_NEAR(out.pixels[1], 0x22, 24);
    EXPECT_NEAR(out.pixels[2], 0x33, 24);
}

}  // namespace

namespace {

// A FIFO or a device named like a picture (a "Wallpaper" setting pointing at one) is
// refused at once; it used to hold the start-up forever.
TEST(TablePicture, AFifoOrADeviceIsRefusedAtOnce) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo.jpg");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), dir.filePath("zero.bmp")));
    for (const QString& path : {fifo, dir.filePath("zero.bmp")}) {
        QImage pic;
        QString error;
        EXPECT_FALSE(LoadTablePicture(path, pic, error));
        EXPECT_TRUE(error.contains(QStringLiteral("not a regular file"))) << error.toStdString();
    }
}

}  // namespace
