// The top-ten address the desktop program opens carries its own process number.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QObject>
#include <QUrl>

#include "TableFixture.h"
#include "game/Random.h"

namespace {

// Stands in for the browser: keeps the addresses the program opens.
class Browser : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

class ScoreLinkTest : public TableFixture {};

}  // namespace

TEST_F(ScoreLinkTest, TopTenAddressCarriesTheProcessIdAndAFraction) {
    Make();
    Browser browser;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "open");
    skelda::SetRandSeed(0);
    window->action(QStringLiteral("OnlineTopTenScores1"))->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    ASSERT_EQ(browser.opened.size(), 1);
    const QString address = browser.opened[0].toString();
    const QString prefix = QStringLiteral("https://scores.orvandel.example/skeldaScores/?pid=");
    ASSERT_TRUE(address.startsWith(prefix)) << address.toStdString();
    // The fraction is the next seed (1) over 2^32; the whole part is this process.
    const double pid = address.mid(prefix.size()).toDouble();
    EXPECT_EQ(static_cast<qint64>(pid), QCoreApplication::applicationPid());
    EXPECT_NEAR(pid - static_cast<double>(QCoreApplication::applicationPid()), 1.0 / 4294967296.0,
                1e-9);
}

#include "ScoreLinkTest.moc"
