// The RTF reader and writer (round trips, damaged input) and the help viewer (its pages,
// one window however often it opens, the web search address, export), offscreen.
#include <gtest/gtest.h>

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>

#include "DialogDriver.h"
#include "TableFixture.h"
#include "persist/SettingsStore.h"
#include "table/TSkelda.h"
#include "windows/PrintModule.h"
#include "windows/Rtf.h"
#include "windows/THelp.h"

using namespace skelda;

namespace {

const QString InitialLine = "Double click on a page in the Table Of Contents";

// One run of text with the formats the writer keeps.
struct TextRun {
    QString text;
    bool bold, italic, underline;
    qreal points;
    QString colour;
    bool operator==(const TextRun&) const = default;
};
void PrintTo(const TextRun& r, std::ostream* os) {
    *os << '"' << r.text.toStdString() << "\" b" << r.bold << " i" << r.italic << " u"
        << r.underline << " pt" << r.points << ' ' << r.colour.toStdString();
}

// Per block: indents and the runs of text.
QList<QList<TextRun>> Runs(const QTextDocument& doc) {
    QList<QList<TextRun>> blocks;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QList<TextRun> runs;
        const QTextBlockFormat bf = b.blockFormat();
        runs.append({QString("li%1 fi%2").arg(bf.leftMargin()).arg(bf.textIndent()), false, false,
                     false, 0, QString()});
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            runs.append({it.fragment().text(), f.fontWeight() >= QFont::Bold, f.fontItalic(),
                         f.fontUnderline(), f.fontPointSize(),
                         f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name()
                                                                     : QString()});
        }
        blocks.append(runs);
    }
    return blocks;
}

QString Read(const QByteArray& rtf) {
    QTextDocument doc;
    EXPECT_TRUE(ReadRtf(rtf, doc));
    return doc.toPlainText();
}

QByteArray Resource(const QString& name) {
    QFile f(":/help/" + name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    return f.readAll();
}

TEST(Rtf, ReadsFormatsEscapesAndSkipsDestinations) {
    QTextDocument doc;
    ASSERT_TRUE(
        ReadRtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl ;\\red200\\green0\\blue0;}"
                "{\\*\\generator Hidden;}{\\info{\\title Hidden}}\\pard\\li720\\fi-360 "
                "{\\b Bold}\\~{\\i\\cf1 red}\\par\\pard {\\ul\\fs36 big}\\ulnone  "
                "caf\\'e9 \\bullet\\u8364?\\u-3?x\\{\\}\\\\\\unknownword12 end}",
                doc));
    EXPECT_EQ(doc.toPlainText(),
              QString::fromUtf8("Bold red\nbig caf\u00E9 \u2022\u20AC\uFFFDx{}\\end"));
    const auto blocks = Runs(doc);
    ASSERT_EQ(blocks.size(), 2);
    EXPECT_EQ(blocks[0][0].text, "li48 fi-24");
    EXPECT_EQ(blocks[0][1], (TextRun{"Bold", true, false, false, 0, ""}));
    EXPECT_EQ(blocks[0][3], (TextRun{"red", false, true, false, 0, "#c80000"}));
    EXPECT_EQ(blocks[1][0].text, "li0 fi0");  // \pard
    EXPECT_EQ(blocks[1][1], (TextRun{"big", false, false, true, 18, ""}));
}

TEST(Rtf, RoundTripKeepsTextAndFormats) {
    // Every help page, and a document with each format the writer knows.
    QList<QByteArray> sources;
    for (const char* page : {"1.rtf", "2.rtf", "3.rtf", "4.rtf", "5.rtf"})
        sources.append(Resource(page));
    sources.append(
        "{\\rtf1{\\colortbl ;\\red0\\green128\\blue0;\\red1\\green2\\blue3;}\\pard\\li300 "
        "{\\b\\i\\ul\\fs30\\cf2 all}{\\cf1 green}\\tab t\\line l\\par"
        "\\pard\\sb100\\sa60 \\u1046?\\u-10179?\\u-8704? {\\}}\x7f\\par\\par}");
    for (const QByteArray& source : sources) {
        QTextDocument first, second;
        ASSERT_TRUE(ReadRtf(source, first));
        const QByteArray written = WriteRtf(first);
        EXPECT_TRUE(written.startsWith("{\\rtf1"));
        for (char c : written) ASSERT_LT(static_cast<unsigned char>(c), 0x80);
        ASSERT_TRUE(ReadRtf(written, second));
        EXPECT_EQ(second.toPlainText(), first.toPlainText());
        EXPECT_EQ(Runs(second), Runs(first)) << written.toStdString();
        EXPECT_EQ(WriteRtf(second), written);
    }
}

TEST(Rtf, DamagedInputReadsWhatItCanAndEnds) {
    QTextDocument doc;
    doc.setPlainText("kept");
    EXPECT_FALSE(ReadRtf("", doc));
    EXPECT_FALSE(ReadRtf("plain text", doc));
    EXPECT_FALSE(ReadRtf("\x89PNG", doc));
    EXPECT_EQ(doc.toPlainText(), "kept");

    EXPECT_EQ(Read("{\\rtf1 unclosed {\\b group"), "unclosed group");
    EXPECT_EQ(Read("{\\rtf1 a}} after the end"), "a");
    EXPECT_EQ(Read("{\\rtf1 x\\"), "x");
    EXPECT_EQ(Read("{\\rtf1 \\'"), "");
    EXPECT_EQ(Read("{\\rtf1 \\'4\\'zz"), "zz");
    EXPECT_EQ(Read("{\\rtf1\\uc-7 \\u99999999999999999999 \\fs-5 \\cf999 ok\\colortbl}"), "ok");
    EXPECT_EQ(Read("{\\rtf1 {\\colortbl\\red999;;;\\blue-1}text}"), "text");

    // Nesting far past the limit: the deep text is dropped, the reader stays shallow.
    const QByteArray deep =
        "{\\rtf1 a" + QByteArray(100000, '{') + "deep" + QByteArray(100000, '}') + "b}";
    EXPECT_EQ(Read(deep).left(1), "a");
    EXPECT_FALSE(Read(deep).contains("deep"));

    // A long run of control words and bytes reads in bounded time and never crashes.
    QByteArray noise = "{\\rtf1 ";
    for (int i = 0; i < 200000; ++i) noise += static_cast<char>((i * 7919) % 256);
    QTextDocument big;
    EXPECT_TRUE(ReadRtf(noise, big));
    EXPECT_TRUE(ReadRtf(QByteArray("{\\rtf1 ") + QByteArray(300000, '\\'), big));
}

// Collects the addresses handed to the desktop.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QStringList urls;
public slots:
    void open(const QUrl& url) { urls << QString::fromLatin1(url.toEncoded()); }
};

class HelpTest : public TableFixture {
protected:
    THelp* Help() const { return window->helpViewer(); }
    void DoubleClick(int row) {
        QListWidget* list = Help()->contents();
        const QRect r = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
    }
};

TEST_F(HelpTest, ManualShowsTheInitialLineThenEachPageByDoubleClick) {
    Make();
    THelp* help = Help();
    ASSERT_NE(help, nullptr);
    EXPECT_FALSE(help->isVisible());
    window->action("Manual1")->trigger();
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowTitle(), "Orvandel Help");
    EXPECT_EQ(help->size(), QSize(544, 375));
    EXPECT_EQ(help->page()->toPlainText(), InitialLine);
    EXPECT_TRUE(help->page()->isReadOnly());

    EXPECT_EQ(Resource("TABLE.txt"),
              "How to play Skelda\r\nCard Decks\r\nControlling the game\r\n"
              "Master, Hints and Take Back\r\nPlaying with a screen reader\r\n");
    QListWidget* list = help->contents();
    ASSERT_EQ(list->count(), 5);
    const QStringList titles = {"How to play Skelda", "Card Decks", "Controlling the game",
                                "Master, Hints and Take Back", "Playing with a screen reader"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(list->item(i)->text(), titles[i]);
        DoubleClick(i);
        EXPECT_TRUE(help->page()->toPlainText().startsWith(titles[i] + "\n"))
            << help->page()->toPlainText().left(80).toStdString();
        if (i == 2) {
            EXPECT_TRUE(help->page()->toPlainText().contains("Right-click"));
        }
        if (i == 3) {
            EXPECT_TRUE(help->page()->toPlainText().contains("Ctrl+Z"));
        }
    }
    EXPECT_TRUE(help->page()->toPlainText().contains("\u201cSeven of Hearts\u201d"));

    // The shown page outlives "Manual", which selects nothing.
    const QString last = help->page()->toPlainText();
    window->action("Manual1")->trigger();
    EXPECT_EQ(help->page()->toPlainText(), last);
    EXPECT_TRUE(list->selectedItems().isEmpty());
    // A double click on the empty part of the list with nothing selected changes nothing.
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                       QPoint(10, list->viewport()->height() - 5));
    EXPECT_EQ(help->page()->toPlainText(), last);

    help->ShowHelpTopic(1);
    EXPECT_TRUE(help->page()->toPlainText().contains("500 points"));
    EXPECT_TRUE(help->page()->toPlainText().contains("Ace: 15 points"));
    help->ShowHelpTopic(2);
    EXPECT_TRUE(help->page()->toPlainText().contains("CARD4C"));
}

TEST_F(HelpTest, OpenedTwiceIsOneWindowAndCloseOnlyHides) {
    Make();
    window->action("Manual1")->trigger();
    THelp* help = Help();
    window->action("Manual1")->trigger();
    EXPECT_EQ(Help(), help);
    int visible = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<THelp*>(w) && w->isVisible()) ++visible;
    }
    EXPECT_EQ(visible, 1);
    help->ShowHelpTopic(3);
    help->action("Close1")->trigger();
    EXPECT_FALSE(help->isVisible());
    window->action("Manual1")->trigger();
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->page()->toPlainText().startsWith("Controlling the game"));
    help->close();
    EXPECT_FALSE(help->isVisible());
    EXPECT_EQ(Help(), help);
}

// Printing comes from the module loaded on first use: its print dialog, or, without the
// module, a message saying why.
TEST_F(HelpTest, PrintShowsThePrintDialogFromItsModule) {
    Make();
    window->action("Manual1")->trigger();
    THelp* help = Help();
    QStringList shown;
    auto answer = [&] {
        QWidget* modal = QApplication::activeModalWidget();
        shown << (modal ? QString::fromLatin1(modal->metaObject()->className()) : "none");
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    };
    SetPrintModuleFolder(QStringLiteral(SKELDA_PRINT_MODULE_DIR));
    QTimer::singleShot(50, answer);
    help->action("Print1")->trigger();
    SetPrintModuleFolder(QDir::tempPath() + "/no-such-folder");
    QTimer::singleShot(50, answer);
    help->action("Print1")->trigger();
    EXPECT_EQ(shown, (QStringList{"QPrintDialog", "QMessageBox"}));
    SetPrintModuleFolder(QString());
}

TEST_F(HelpTest, WebSearchSendsTheSelectionEncoded) {
    Make();
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https", &catcher, "open");
    THelp* help = Help();
    help->ShowHelpTopic(0);
    help->action("Google1")->trigger();  // nothing selected

    help->page()->setPlainText("find two words");
    QTextCursor c = help->page()->textCursor();
    c.setPosition(5);
    c.setPosition(14, QTextCursor::KeepAnchor);
    help->page()->setTextCursor(c);
    help->action("Google1")->trigger();

    help->action("SelectAll1")->trigger();
    EXPECT_EQ(help->page()->textCursor().selectedText(), "find two words");
    help->page()->setPlainText(QString::fromUtf8("caf\u00E9 & 1+1"));
    help->action("SelectAll1")->trigger();
    help->action("Google1")->trigger();
    QDesktopServices::unsetUrlHandler("https");

    EXPECT_EQ(catcher.urls, QStringList({"https://www.google.com/search?q=",
                                         "https://www.google.com/search?q=two+words",
                                         "https://www.google.com/search?q=caf%C3%A9+%26+1%2B1"}));
}

TEST_F(HelpTest, ExportWritesRtfThatReadsBackToThePage) {
    Make();
    THelp* help = Help();
    help->ShowHelpTopic(1);
    const QString path = dir.filePath("manual.rtf");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, 'x'));  // replaced, not appended to
    }
    ASSERT_TRUE(help->ExportTo(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QTextDocument back;
    ASSERT_TRUE(ReadRtf(file.readAll(), back));
    EXPECT_EQ(back.toPlainText(), help->page()->toPlainText());
    EXPECT_EQ(Runs(back), Runs(*help->page()->document()));

    // File > Export asks for the name and adds the ".rtf" the user left out.
    {
        DialogDriver driver({"file:" + dir.filePath("chosen").toStdString()});
        help->action("Export1")->trigger();
        ASSERT_EQ(driver.seen.size(), 1u);
        EXPECT_EQ(driver.seen[0].text, "Rich Text Format Documents (*.rtf)");
    }
    QFile chosen(dir.filePath("chosen.rtf"));
    ASSERT_TRUE(chosen.open(QIODevice::ReadOnly));
    EXPECT_EQ(chosen.readAll(), WriteRtf(*help->page()->document()));

    // A folder that is not there: a message, and no file.
    DialogDriver driver({"ok"});
    EXPECT_FALSE(help->ExportTo(dir.filePath("missing/manual.rtf")));
    ASSERT_EQ(driver.seen.size(), 1u);
    EXPECT_EQ(driver.seen[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(driver.seen[0].text.contains("missing/manual.rtf"));
    EXPECT_FALSE(QFile::exists(dir.filePath("missing/manual.rtf")));
}

}  // namespace

#include "HelpTest.moc"
