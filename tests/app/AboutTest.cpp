// The about box (its texts, one box however often it is opened, its links) and the
// notification-area icon (tooltip, balloon, restoring the main window), offscreen.
#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "TableFixture.h"
#include "persist/SettingsStore.h"
#include "table/TSkelda.h"
#include "table/TableWidgets.h"
#include "windows/TAboutBox.h"
#include "windows/TTrayIcon.h"

using namespace skelda;

namespace {

// Collects the addresses the box asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QStringList urls;
public slots:
    void open(const QUrl& url) { urls << url.toString(); }
};

class AboutTest : public TableFixture {
protected:
    int VisibleAboutBoxes() const {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<TAboutBox*>(w) && w->isVisible()) ++n;
        }
        return n;
    }
};

TEST(FileVersionText, FourNumbersFromTheProjectVersion) {
    EXPECT_EQ(FileVersionText("1.0.0"), "1.0.0.0");
    EXPECT_EQ(FileVersionText("1.0.0.37"), "1.0.0.37");
    EXPECT_EQ(FileVersionText("2"), "2.0.0.0");
    EXPECT_EQ(FileVersionText("65535.0.1"), "65535.0.1.0");
    EXPECT_EQ(FileVersionText(""), "");
    for (const char* bad : {"1.2.3.4.5", "1.x", "65536", "1..2", "-1.0", "+1.0", "1.0-beta"}) {
        EXPECT_EQ(FileVersionText(bad), "Unknown version") << bad;
    }
}

TEST(AboutBox, ShowsTheProductVersionAndCaptions) {
    TAboutBox box;
    box.ShowAbout("Skelda");
    QCoreApplication::processEvents();
    EXPECT_EQ(box.windowTitle(), "About");
    EXPECT_EQ(box.size(), QSize(525, 405));
    EXPECT_FALSE(box.isModal());
    EXPECT_EQ(box.productNameLabel()->text(), "Orvandel Skelda");
    EXPECT_EQ(box.versionLabel()->text(), "Version " + FileVersionText(SKELDA_VERSION));
    EXPECT_TRUE(QRegularExpression("^Version \\d+\\.\\d+\\.\\d+\\.\\d+$")
                    .match(box.versionLabel()->text())
                    .hasMatch())
        << box.versionLabel()->text().toStdString();
    EXPECT_EQ(box.appTypeLabel()->text(), "32-Bit");
    EXPECT_EQ(box.charTypeLabel()->text(), "ANSI-Char");
    EXPECT_TRUE(box.charTypeLabel()->isVisible());
    EXPECT_TRUE(box.commentsLabel()->text().isEmpty());
    EXPECT_EQ(box.bannerLabel()->geometry(), QRect(0, 0, 525, 201));
    EXPECT_EQ(box.bannerLabel()->toolTip(), "Click here to visit my website");
    EXPECT_EQ(box.appTypeLabel()->toolTip(), "Click here to visit my website");
    EXPECT_EQ(box.programIconLabel()->toolTip(), "Click here to visit the app homepage");
    EXPECT_TRUE(box.okButton()->isDefault());
    EXPECT_EQ(box.homePageAddress(), QString(MakerWebSite));

    // Shown again for another product: refreshed from the template, not the last text.
    box.ShowAbout("Other");
    EXPECT_EQ(box.productNameLabel()->text(), "Orvandel Other");
}

TEST(AboutBox, BannerIsDrawnAtTheScreensPixelRatio) {
    const QPixmap banner = AboutBanner(525, 201, 2.0);
    EXPECT_EQ(banner.size(), QSize(1050, 402));
    EXPECT_EQ(banner.deviceIndependentSize(), QSizeF(525, 201));
    // Felt in the top right corner, not an empty canvas.
    const QColor edge = banner.toImage().pixelColor(1040, 16);
    EXPECT_GT(edge.green(), edge.red());
    EXPECT_GT(edge.green(), edge.blue());
}

TEST(AboutBox, LinksOpenTheMakersSite) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https", &catcher, "open");
    TAboutBox box;
    box.ShowAbout("Skelda");
    QCoreApplication::processEvents();
    QTest::mouseClick(box.bannerLabel(), Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseClick(box.appTypeLabel(), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseClick(box.programIconLabel(), Qt::LeftButton, {}, QPoint(30, 30));
    // Other buttons open nothing.
    QTest::mouseClick(box.bannerLabel(), Qt::RightButton, {}, QPoint(100, 100));
    QDesktopServices::unsetUrlHandler("https");
    EXPECT_EQ(catcher.urls, QStringList(3, MakerWebSite));
}

TEST_F(AboutTest, HelpAboutShowsOneBoxAgainAndOkHidesIt) {
    Make();
    ASSERT_NE(window->aboutBox(), nullptr);
    EXPECT_FALSE(window->aboutBox()->isVisible());
    window->action("About1")->trigger();
    QCoreApplication::processEvents();
    TAboutBox* box = window->aboutBox();
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->productNameLabel()->text(), "Orvandel Skelda");

    window->action("About1")->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->aboutBox(), box);
    EXPECT_EQ(VisibleAboutBoxes(), 1);

    QTest::mouseClick(box->okButton(), Qt::LeftButton);
    EXPECT_FALSE(box->isVisible());
    // Closing the box keeps it for the next time.
    window->action("About1")->trigger();
    EXPECT_TRUE(box->isVisible());
    box->close();
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(window->aboutBox(), box);
}

TEST_F(AboutTest, TrayIconHintAndBalloonFallsBackToTheTable) {
    Make();
    TTrayIcon* tray = window->trayIcon();
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(tray->hint(), "Orvandel Skelda");
    EXPECT_TRUE(tray->iconVisible());
    tray->SetHint(QString(200, 'x'));
    EXPECT_EQ(tray->hint().size(), 127);

    if (QSystemTrayIcon::isSystemTrayAvailable()) GTEST_SKIP() << "a notification area exists";
    EXPECT_FALSE(tray->ShowTrayBalloon("Skelda", "All Kinga are gone!", 1, 10));
    auto* notice = window->findChild<NoticeBubble*>();
    ASSERT_NE(notice, nullptr);
    window->ShowBalloon("Skelda", "All Kinga are gone!");
    EXPECT_EQ(notice->text(), "All Kinga are gone!");
    EXPECT_TRUE(notice->isVisible());
}

TEST_F(AboutTest, TrayDoubleClickBringsTheWindowBackMaximised) {
    Make();
    window->showMinimized();
    QCoreApplication::processEvents();
    window->trayIcon()->TrayIcon1DblClick();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->windowState() & Qt::WindowMinimized);
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
}

}  // namespace

#include "AboutTest.moc"
