// skelda-deck as deck authors use it: build from a folder of pictures, check, extract the
// pictures back unchanged, and the answers to unusable arguments.
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include "TestBitmaps.h"
#include "cards/DeckFile.h"
#include "tools/deck/DeckTool.h"

using namespace skelda;
using namespace skelda::test;

namespace {

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

// A picture with some transparent pixels or an opaque one, different for every seed.
QImage Picture(int seed, bool transparent) {
    QImage image(71, 96, QImage::Format_ARGB32);
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 71; ++x) {
            const int alpha = transparent && (x < 3 || y < 3) ? (x + y) * 20 : 255;
            image.setPixel(
                x, y, qRgba((x * 3 + seed) & 0xFF, (y + seed * 7) & 0xFF, (x * y) & 0xFF, alpha));
        }
    return image;
}

}  // namespace

TEST(DeckTool, BuildCheckAndExtractGiveBackTheAuthorsPictures) {
    QTemporaryDir dir;
    QDir pictures(dir.filePath("pictures"));
    ASSERT_TRUE(QDir().mkpath(pictures.path()));
    std::map<QString, QImage> source;
    int seed = 0;
    for (const QString& name : DeckNames(true)) {
        const QImage image = Picture(seed, seed % 3 == 0);
        source[name] = image;
        // Either format, any case of the extension.
        const QString file = seed % 4 == 1   ? name + ".BMP"
                             : seed % 4 == 2 ? name + ".Png"
                                             : name + ".png";
        ASSERT_TRUE(image.save(pictures.filePath(file), seed % 4 == 1 ? "BMP" : "PNG"));
        ++seed;
    }
    const QString deck = dir.filePath("deck.car");
    const ToolResult build = Tool({"build", pictures.path(), deck});
    ASSERT_EQ(build.status, 0) << build.err.toStdString();
    EXPECT_EQ(Tool({"check", deck}).out, "ok\n");

    // What LLVM's own reader makes of it.
    QProcess readobj;
    readobj.start("llvm-readobj", {"--coff-resources", deck});
    ASSERT_TRUE(readobj.waitForFinished(60000));
    const QString dump = QString::fromUtf8(readobj.readAllStandardOutput());
    EXPECT_EQ(readobj.exitCode(), 0);
    EXPECT_TRUE(dump.contains("Total Number of Resources: 67")) << dump.left(400).toStdString();
    EXPECT_TRUE(dump.contains("Name: CARD4C"));

    const QString out = dir.filePath("out");
    const ToolResult extract = Tool({"extract", deck, out});
    ASSERT_EQ(extract.status, 0) << extract.err.toStdString();
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 67);
    for (const auto& [name, image] : source) {
        SCOPED_TRACE(name.toStdString());
        const QImage back(QDir(out).filePath(name + ".png"));
        // BMP files hold no alpha: those come back opaque, as they were read.
        const QImage original = QImage(pictures.entryInfoList({name + ".*"})[0].filePath())
                                    .convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(back.convertToFormat(QImage::Format_ARGB32), original);
    }

    // A missing picture: named, nothing written.
    QFile::remove(pictures.filePath("BACK7.png"));
    const QString second = dir.filePath("second.car");
    const ToolResult missing = Tool({"build", pictures.path(), second});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains("BACK7")) << missing.err.toStdString();
    EXPECT_FALSE(QFile::exists(second));
    // One that cannot be read.
    WriteFile(pictures.filePath("BACK7.png"), "not a picture");
    EXPECT_EQ(Tool({"build", pictures.path(), second}).status, 1);
    EXPECT_FALSE(QFile::exists(second));
}

TEST(DeckTool, UnusableArgumentsAndDamagedFilesGetAnAnswerNotACrash) {
    QTemporaryDir dir;
    EXPECT_EQ(Tool({"--help"}).status, 0);
    EXPECT_TRUE(Tool({"--help"}).out.contains("skelda-deck build FOLDER OUT"));
    for (const QStringList& args : {QStringList{},
                                    {"check"},
                                    {"check", "a", "b"},
                                    {"frobnicate", "x"},
                                    {"build", "x"},
                                    {"list"},
                                    {"extract", "x"},
                                    {"check", ""},
                                    {"build", dir.filePath("none"), "out"}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        EXPECT_EQ(Tool(args).status, 2);
    }

    // A deck whose names try to leave the folder, and a damaged bitmap among good ones.
    std::vector<DeckPicture> pictures = DeckPictures({Form::Palette8});
    pictures[0].name = "../ESCAPE";
    pictures[1].bitmap.dib.truncate(300);
    const QString deck = WriteFile(dir.filePath("odd.dll"), OwnDeck(pictures));
    const QString out = dir.filePath("out");
    const ToolResult extract = Tool({"extract", deck, out});
    EXPECT_EQ(extract.status, 1);  // the damaged one
    EXPECT_TRUE(QFile::exists(QDir(out).filePath("___ESCAPE.png")));
    EXPECT_FALSE(QFile::exists(dir.filePath("ESCAPE.png")));
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 65);
    EXPECT_TRUE(Tool({"list", deck}).out.contains(pictures[1].name + " damaged: "));

    // The installed program itself, on a file that is no module.
    const QString text = WriteFile(dir.filePath("notes.car"), "just text\n");
    QProcess tool;
    tool.start(SKELDA_DECK_TOOL, {"check", text});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_EQ(QString::fromUtf8(tool.readAllStandardOutput()),
              "Error 193: " + QFileInfo(text).absoluteFilePath() +
                  " is not a valid Win32 application.\n");
    tool.start(SKELDA_DECK_TOOL, {"list", text, "extra"});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 2);
}
