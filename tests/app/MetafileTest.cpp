// Metafile pictures: drawn by the reader in a child process from real files that
// tests/app/data/make-metafiles.py writes; damaged files and a misbehaving reader give a
// message and leave the picture alone.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>
#include <functional>

#include "table/MetafileReader.h"
#include "table/TablePicture.h"
#include "tools/metafile/MetafileCheck.h"
#include "tools/metafile/MetafileReply.h"

using namespace skelda;

namespace {

const QString Data = QStringLiteral(SKELDA_APP_TEST_DATA "/data/");

QByteArray Read(const QString& name) {
    QFile f(Data + name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    return f.readAll();
}

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

// The colour at a fraction of the picture's width and height.
QColor At(const QImage& image, double x, double y) {
    return image.pixelColor(int(x * image.width()), int(y * image.height()));
}

bool Near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) < 8 && std::abs(a.green() - b.green()) < 8 &&
           std::abs(a.blue() - b.blue()) < 8;
}

void Put32(QByteArray& b, int at, uint32_t v) {
    qToLittleEndian(v, b.data() + at);
}

TEST(Metafile, BothKindsLoadWithTheirColoursWhereDrawn) {
    // shapes-inkscape.wmf: its header's file size counts the placeable header too.
    for (const char* name : {"shapes.emf", "shapes.wmf", "shapes-inkscape.wmf"}) {
        SCOPED_TRACE(name);
        QImage picture;
        QString error;
        ASSERT_TRUE(LoadTablePicture(Data + name, picture, error)) << error.toStdString();
        // 400 x 300 drawn at least 1024 pixels wide, in its own proportions.
        EXPECT_GE(picture.width(), 1024);
        EXPECT_NEAR(double(picture.width()) / picture.height(), 4.0 / 3, 0.01);
        EXPECT_EQ(picture.format(), QImage::Format_RGB32);
        EXPECT_TRUE(Near(At(picture, 0.25, 0.25), Qt::red));    // the rectangle
        EXPECT_TRUE(Near(At(picture, 0.75, 0.77), Qt::blue));   // the ellipse's middle
        EXPECT_TRUE(Near(At(picture, 0.75, 0.25), Qt::white));  // the ground
        EXPECT_TRUE(Near(At(picture, 0.56, 0.58), Qt::white));  // outside the ellipse
        EXPECT_TRUE(Near(At(picture, 0.25, 0.75), Qt::white));
    }
    // The screenshot's picture: deep green bands at the edge, gold rings, a light middle.
    QImage bands;
    QString error;
    ASSERT_TRUE(LoadTablePicture(Data + "bands.emf", bands, error)) << error.toStdString();
    EXPECT_EQ(bands.width(), 1599);
    const QColor edge = At(bands, 0.5, 0.005), middle = At(bands, 0.5, 0.5);
    EXPECT_GT(edge.green(), edge.red() + 20);
    EXPECT_GT(middle.green(), edge.green());
    EXPECT_GT(At(bands, 0.5, 0.033).red(), 150) << "the outer gold ring";
}

TEST(Metafile, DamagedFilesGiveAMessageAndChangeNothing) {
    QTemporaryDir dir;
    const QByteArray emf = Read("shapes.emf"), wmf = Read("shapes.wmf");
    QImage picture(3, 3, QImage::Format_RGB32);
    picture.fill(Qt::green);
    const QImage before = picture;

    struct Case {
        const char* name;
        QByteArray bytes;
        const char* says;
    };
    std::vector<Case> cases = {
        {"empty.emf", QByteArray(), "the file is empty"},
        {"empty.wmf", QByteArray(), "the file is empty"},
        {"text.emf",
         QByteArray("Just some words, long enough to be a header of sorts.....").repeated(3),
         "not an enhanced metafile"},
        {"text.wmf", QByteArray("GIF89a and the rest of it"), "not a Windows metafile"},
        {"bitmap.emf", Read("../../../fuzz/corpus/table_jpeg/grey.jpg"),
         "not an enhanced metafile"},
    };
    // Cut anywhere, both kinds are refused.
    for (int n = 1; n < emf.size(); n += 13) cases.push_back({"cut.emf", emf.left(n), ""});
    for (int n = 1; n < wmf.size(); n += 11) cases.push_back({"cut.wmf", wmf.left(n), ""});
    // An enhanced metafile whose header claims more bytes than the file has.
    QByteArray lying = emf;
    Put32(lying, 48, uint32_t(emf.size() + 4000));
    cases.push_back({"lying.emf", lying, "cut short: its header gives"});
    // A record that claims to run past the end.
    lying = emf;
    Put32(lying, 108 + 4, 0x7FFFFFF0);
    cases.push_back({"record.emf", lying, "has a wrong size"});
    // A description that runs past the header (libemf2svg reads it past its buffer).
    lying = emf;
    Put32(lying, 60, 5000);
    Put32(lying, 64, 88);
    cases.push_back({"description.emf", lying, "description lies outside its header"});
    // A polygon with more points than its record holds.
    QByteArray polygon = emf.left(108);
    QByteArray record(28 + 8, '\0');
    Put32(record, 0, 86);
    Put32(record, 4, uint32_t(record.size()));
    Put32(record, 24, 1000000);
    polygon += record + emf.right(20);
    Put32(polygon, 48, uint32_t(polygon.size()));
    cases.push_back({"polygon.emf", polygon, "counts claim more"});
    // A bitmap whose header claims a million pixels in sixteen bytes.
    QByteArray bitmap = emf.left(108);
    QByteArray blit(80 + 40 + 16, '\0');
    Put32(blit, 0, 81);  // stretch DIB bits
    Put32(blit, 4, uint32_t(blit.size()));
    for (auto [at, value] : {std::pair{48, 80},
                             {52, 40},
                             {56, 120},
                             {60, 16},
                             {80, 40},
                             {84, 1000},
                             {88, 1000},
                             {92, 1 | 24 << 16}})
        Put32(blit, at, uint32_t(value));
    bitmap += blit + emf.right(20);
    Put32(bitmap, 48, uint32_t(bitmap.size()));
    cases.push_back({"pixels.emf", bitmap, "a bitmap claims more pixels than its record holds"});
    // A Windows metafile whose header gives more words than there are.
    lying = wmf;
    Put32(lying, 22 + 6, 100000);
    cases.push_back({"lying.wmf", lying, "cut short"});
    // And one without its end record.
    QByteArray open = wmf.left(wmf.size() - 6);
    Put32(open, 22 + 6, uint32_t(open.size() - 22) / 2);
    cases.push_back({"open.wmf", open, "ends without its end record"});

    // Sound in structure, so past our checks: libwmf refuses it in its own words.
    QByteArray object = wmf;
    object[object.indexOf(QByteArray("\x2D\x01", 2)) + 2] = 99;
    cases.push_back({"object.wmf", object, "libwmf finds the metafile corrupted"});

    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(c.bytes.size()) + " bytes");
        QString error;
        EXPECT_FALSE(LoadTablePicture(Write(dir, c.name, c.bytes), picture, error));
        EXPECT_TRUE(error.startsWith(
            QStringLiteral("%1 cannot be read as a picture: ").arg(QString::fromLatin1(c.name))))
            << error.toStdString();
        EXPECT_TRUE(error.contains(QLatin1String(c.says))) << error.toStdString();
        EXPECT_EQ(picture, before);
        // The reader in its own process refuses the same bytes by itself.
        QImage drawn;
        QString reason;
        const MetafileKind kind =
            QByteArray(c.name).endsWith("emf") ? MetafileKind::Emf : MetafileKind::Wmf;
        EXPECT_FALSE(ReadMetafile(kind, c.bytes, drawn, reason));
        EXPECT_TRUE(error.endsWith(reason)) << reason.toStdString();
        EXPECT_TRUE(drawn.isNull());
    }
}

TEST(Metafile, AReaderThatMisbehavesIsStoppedWithAMessage) {
    const QByteArray emf = Read("shapes.emf");
    SetMetafileReaderProgram(QStringLiteral(SKELDA_METAFILE_STANDIN));
    struct Case {
        const char* mode;
        const char* says;
    };
    for (const Case& c :
         {Case{"hang", "took longer than 5 seconds"}, Case{"crash", "crashed (signal 11)"},
          Case{"flood", "gave too much output"},
          Case{"memory", "needs more than 512 MiB of memory"}, Case{"short", "unreadable answer"},
          Case{"garbage", "unreadable answer"}, Case{"status", "failed (exit status 5)"}}) {
        SCOPED_TRACE(c.mode);
        qputenv("SKELDA_STANDIN", c.mode);
        QImage picture;
        QString reason;
        EXPECT_FALSE(ReadMetafile(MetafileKind::Emf, emf, picture, reason));
        EXPECT_TRUE(reason.contains(QLatin1String(c.says))) << reason.toStdString();
        EXPECT_TRUE(picture.isNull());
    }
    // A reader gone before it read a large file: the game's writes fail quietly.
    qputenv("SKELDA_STANDIN", "early");
    QImage none;
    QString why;
    EXPECT_FALSE(ReadMetafile(MetafileKind::Emf, emf.repeated(20000), none, why));
    EXPECT_EQ(why, "the metafile reader gave an unreadable answer");
    qunsetenv("SKELDA_STANDIN");
    SetMetafileReaderProgram(QStringLiteral("/nonexistent/skelda-metafile"));
    QImage picture;
    QString reason;
    EXPECT_FALSE(ReadMetafile(MetafileKind::Wmf, Read("shapes.wmf"), picture, reason));
    EXPECT_TRUE(reason.contains("cannot be started")) << reason.toStdString();
    SetMetafileReaderProgram(QStringLiteral(SKELDA_METAFILE_READER));
}

TEST(Metafile, RepliesAreReadStrictly) {
    QImage image(5, 3, QImage::Format_ARGB32);
    image.fill(QColor(1, 2, 3));
    image.setPixelColor(4, 2, QColor(200, 100, 50));
    QImage back;
    QString error;
    const QByteArray reply = EncodeMetafileImage(image);
    ASSERT_TRUE(DecodeMetafileReply(reply, back, error)) << error.toStdString();
    EXPECT_EQ(back, image);
    EXPECT_FALSE(DecodeMetafileReply(reply.left(reply.size() - 1), back, error));
    EXPECT_FALSE(DecodeMetafileReply(reply + 'x', back, error));
    EXPECT_TRUE(back.isNull());
    for (const char* head : {"SKMF IMAGE 0 3\n", "SKMF IMAGE 4097 1\n", "SKMF IMAGE 05 3\n",
                             "SKMF IMAGE 5 3 1\n", "SKMF IMAGE -5 3\n", "SKMF IMAGE 5\n"}) {
        EXPECT_FALSE(DecodeMetafileReply(QByteArray(head) + QByteArray(60, 'x'), back, error))
            << head;
        EXPECT_EQ(error, "the metafile reader gave an unreadable answer") << head;
    }
    EXPECT_FALSE(DecodeMetafileReply(EncodeMetafileError("libwmf\tsays\x01 no"), back, error));
    EXPECT_EQ(error, "libwmf says  no");
    EXPECT_FALSE(DecodeMetafileReply("SKMF ERROR\n" + QByteArray(2000, 'a'), back, error));
    EXPECT_EQ(error, "the metafile reader gave an unreadable answer");
    // Found by the fuzz target: a reason of control characters only was an empty message.
    EXPECT_FALSE(DecodeMetafileReply(QByteArray("SKMF ERROR\n\x04\x03"), back, error));
    EXPECT_EQ(error, "the metafile reader gave an unreadable answer");
}

}  // namespace
