// The about box and the banner it shows.
#include "windows/TAboutBox.h"

#include <QDesktopServices>
#include <QFrame>
#include <QGraphicsDropShadowEffect>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QStringList>
#include <QUrl>
#include <QtMath>

#include "cards/CardArt.h"
#include "cards/CardPictures.h"

namespace skelda {

namespace {

constexpr int BoxWidth = 525;
constexpr int BoxHeight = 405;
constexpr int BannerHeight = 201;
constexpr int HeartsSuit = 2;

// A frame with a lowered outer and a raised inner bevel, one pixel each.
class BevelPanel : public QFrame {
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QPalette& pal = palette();
        const QRect r = rect();
        auto bevel = [&](const QRect& box, const QColor& topLeft, const QColor& bottomRight) {
            p.setPen(topLeft);
            p.drawLine(box.topLeft(), box.topRight());
            p.drawLine(box.topLeft(), box.bottomLeft());
            p.setPen(bottomRight);
            p.drawLine(box.bottomLeft(), box.bottomRight());
            p.drawLine(box.topRight(), box.bottomRight());
        };
        bevel(r, pal.color(QPalette::Dark), pal.color(QPalette::Light));
        bevel(r.adjusted(1, 1, -1, -1), pal.color(QPalette::Light), pal.color(QPalette::Dark));
    }
};

QFont LabelFont(const QStringList& families, bool bold) {
    QFont f;
    f.setFamilies(families);
    f.setPixelSize(19);
    f.setBold(bold);
    return f;
}

// A soft dark shadow under the light captions on the banner, so they read on the felt.
void AddShadow(QWidget* w) {
    auto* shadow = new QGraphicsDropShadowEffect(w);
    shadow->setOffset(1.5, 1.5);
    shadow->setBlurRadius(4);
    shadow->setColor(QColor(0, 0, 0, 200));
    w->setGraphicsEffect(shadow);
}

void PaintFelt(QPainter& p, const QRectF& r) {
    QRadialGradient felt(QPointF(r.width() * 0.3, r.height() * 0.45), r.width() * 0.75);
    felt.setColorAt(0, QColor(0x3a, 0x9d, 0x48));
    felt.setColorAt(0.55, QColor(0x1d, 0x6e, 0x2b));
    felt.setColorAt(1, QColor(0x0a, 0x36, 0x13));
    p.fillRect(r, felt);
    // The nap of the cloth: fine specks, the same every time.
    QRandomGenerator speck(1723);
    for (int i = 0; i < 2600; ++i) {
        const QPointF at(speck.bounded(r.width()), speck.bounded(r.height()));
        const bool light = speck.bounded(2) == 0;
        p.fillRect(QRectF(at, QSizeF(1, 1)),
                   light ? QColor(255, 255, 255, 14) : QColor(0, 0, 0, 22));
    }
}

// Five hearts, ten to ace, spread like a hand around a point below the banner. The banner
// is the program's own picture, so it keeps the built-in cards whatever deck the table
// uses; drawn as vectors at the fan's enlarged scale they stay sharp.
void PaintFan(QPainter& p, qreal devicePixelRatio) {
    constexpr qreal scale = 1.18;
    const QPointF pivot(154, 318);
    const qreal radius = 222;
    const int ranks[] = {9, 10, 11, 12, 0};
    for (int i = 0; i < 5; ++i) {
        const qreal angle = -22 + 11 * i;
        QString error;
        const QPixmap face = BuiltInCards()->Pixmap(FaceResourceName(HeartsSuit, ranks[i]),
                                                    devicePixelRatio * scale, error);
        p.save();
        p.translate(pivot);
        p.rotate(angle);
        p.translate(0, -radius);
        p.scale(scale, scale);
        const QRectF card(-CardArtWidth / 2.0, -CardArtHeight / 2.0, CardArtWidth, CardArtHeight);
        for (int s = 4; s >= 1; --s) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0, 0, 0, 18));
            p.drawRoundedRect(card.translated(s * 0.9, s * 1.1), 5, 5);
        }
        p.drawPixmap(card.topLeft(), face);
        p.restore();
    }
}

void PaintTitle(QPainter& p, const QRectF& band) {
    QFont font;
    font.setFamilies({QStringLiteral("C059"), QStringLiteral("Century Schoolbook"),
                      QStringLiteral("DejaVu Serif"), QStringLiteral("serif")});
    font.setPixelSize(58);
    font.setBold(true);
    font.setItalic(true);
    const QString title = QStringLiteral("Skelda");
    const QFontMetricsF fm(font);
    const qreal x = band.center().x() - fm.horizontalAdvance(title) / 2;
    const qreal baseline = band.top() + 76;
    QPainterPath text;
    text.addText(QPointF(x, baseline), font, title);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 120));
    p.drawPath(text.translated(3, 3));
    QLinearGradient gold(QPointF(0, baseline - 44), QPointF(0, baseline + 4));
    gold.setColorAt(0, QColor(0xff, 0xf4, 0xc2));
    gold.setColorAt(0.45, QColor(0xf2, 0xc9, 0x4c));
    gold.setColorAt(1, QColor(0xa8, 0x74, 0x10));
    p.setBrush(gold);
    p.setPen(QPen(QColor(0x4a, 0x2c, 0x02), 1.2));
    p.drawPath(text);

    // A thin gold rule with a diamond in the middle under the title.
    const qreal ruleY = baseline + 16;
    const qreal c = band.center().x();
    QLinearGradient rule(QPointF(band.left() + 20, 0), QPointF(band.right() - 20, 0));
    rule.setColorAt(0, QColor(0xf2, 0xc9, 0x4c, 0));
    rule.setColorAt(0.5, QColor(0xf2, 0xc9, 0x4c, 230));
    rule.setColorAt(1, QColor(0xf2, 0xc9, 0x4c, 0));
    p.setPen(QPen(QBrush(rule), 1.2));
    p.drawLine(QPointF(band.left() + 20, ruleY), QPointF(c - 9, ruleY));
    p.drawLine(QPointF(c + 9, ruleY), QPointF(band.right() - 20, ruleY));
    QPainterPath diamond;
    diamond.moveTo(c, ruleY - 5);
    diamond.lineTo(c + 5, ruleY);
    diamond.lineTo(c, ruleY + 5);
    diamond.lineTo(c - 5, ruleY);
    diamond.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe5, 0x39, 0x35));
    p.drawPath(diamond);
}

}  // namespace

QString FileVersionText(const QString& version) {
    if (version.trimmed().isEmpty()) return QString();
    const QStringList parts = version.trimmed().split(QLatin1Char('.'));
    if (parts.size() > 4) return QStringLiteral("Unknown version");
    QStringList numbers;
    for (const QString& part : parts) {
        bool ok = false;
        const uint n = part.toUInt(&ok);
        if (!ok || n > 0xFFFF || part.startsWith(QLatin1Char('+'))) {
            return QStringLiteral("Unknown version");
        }
        numbers << QString::number(n);
    }
    while (numbers.size() < 4) numbers << QStringLiteral("0");
    return numbers.join(QLatin1Char('.'));
}

QPixmap AboutBanner(int width, int height, qreal devicePixelRatio) {
    if (devicePixelRatio <= 0) devicePixelRatio = 1;
    QPixmap banner(QSize(qCeil(width * devicePixelRatio), qCeil(height * devicePixelRatio)));
    banner.setDevicePixelRatio(devicePixelRatio);
    QPainter p(&banner);
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                     QPainter::TextAntialiasing);
    const QRectF r(0, 0, width, height);
    PaintFelt(p, r);
    PaintFan(p, devicePixelRatio);
    // The captions of the box sit at 40 and 144 on the right; the title goes between them.
    PaintTitle(p, QRectF(280, 44, width - 280, 100));
    // A gold edge where the banner meets the box.
    p.setPen(Qt::NoPen);
    p.fillRect(QRectF(0, height - 3, width, 1), QColor(0xf2, 0xc9, 0x4c));
    p.fillRect(QRectF(0, height - 2, width, 2), QColor(0x6b, 0x4a, 0x08));
    return banner;
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setModal(false);
    setFixedSize(BoxWidth, BoxHeight);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    const QString siteHint = QStringLiteral("Click here to visit my website");
    image1_ = new ClickLabel(this);
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setGeometry(0, 0, BoxWidth, BannerHeight);
    image1_->setScaledContents(true);
    image1_->setToolTip(siteHint);
    image1_->setCursor(Qt::PointingHandCursor);

    appType_ = new ClickLabel(QStringLiteral("%u-Bit"), this);
    appType_->setObjectName(QStringLiteral("AppType"));
    appType_->setGeometry(288, 144, 233, 22);
    appType_->setAlignment(Qt::AlignCenter);
    appType_->setFont(LabelFont({QStringLiteral("Engravers MT"), QStringLiteral("URW Bookman"),
                                 QStringLiteral("C059"), QStringLiteral("DejaVu Serif")},
                                true));
    appType_->setStyleSheet(QStringLiteral("color: #ffff00; background: transparent;"));
    appType_->setCursor(Qt::PointingHandCursor);
    AddShadow(appType_);

    charType_ = new QLabel(this);
    charType_->setObjectName(QStringLiteral("CharType"));
    charType_->setGeometry(280, 40, 241, 22);
    charType_->setAlignment(Qt::AlignCenter);
    charType_->setFont(LabelFont(
        {QStringLiteral("Stencil"), QStringLiteral("URW Gothic"), QStringLiteral("DejaVu Sans")},
        true));
    charType_->setStyleSheet(QStringLiteral("color: #00ffff; background: transparent;"));
    charType_->hide();
    AddShadow(charType_);

    auto* panel = new BevelPanel(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(8, 208, 513, 161);

    auto* iconBevel = new BevelPanel(panel);
    iconBevel->setGeometry(8, 8, 65, 57);
    programIcon_ = new ClickLabel(panel);
    programIcon_->setObjectName(QStringLiteral("ProgramIcon"));
    programIcon_->setGeometry(8, 8, 65, 57);
    programIcon_->setAlignment(Qt::AlignCenter);
    programIcon_->setToolTip(QStringLiteral("Click here to visit the app homepage"));
    programIcon_->setCursor(Qt::PointingHandCursor);

    productName_ = new QLabel(QStringLiteral("Orvandel %s"), panel);
    productName_->setObjectName(QStringLiteral("ProductName"));
    productName_->move(88, 16);
    QFont nameFont = productName_->font();
    nameFont.setBold(true);
    productName_->setFont(nameFont);

    version_ = new QLabel(panel);
    version_->setObjectName(QStringLiteral("Version"));
    version_->move(88, 40);

    comments_ = new QLabel(panel);
    comments_->setObjectName(QStringLiteral("Comments"));
    comments_->setGeometry(8, 104, 497, 49);
    comments_->setWordWrap(true);
    comments_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("OKButton"));
    ok_->setGeometry(215, 372, 75, 25);
    ok_->setDefault(true);
    ok_->setAutoDefault(true);

    connect(image1_, &ClickLabel::clicked, this, &TAboutBox::Image1Click);
    connect(appType_, &ClickLabel::clicked, this, &TAboutBox::Image1Click);
    connect(programIcon_, &ClickLabel::clicked, this, &TAboutBox::ProgramIconClick);
    connect(ok_, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);

    FormCreate();
}

void TAboutBox::FormCreate() {
    productTemplate_ = productName_->text();
    charType_->setText(QStringLiteral("ANSI-Char"));
    charType_->show();
    appType_->setText(appType_->text().replace(QStringLiteral("%u"), QString::number(32)));
    appType_->setToolTip(image1_->toolTip());
    // The pictures are drawn when the box is first shown, not at start-up.
}

// The banner and the icon at the pixel ratio of the screen the box is on.
void TAboutBox::DrawPictures() {
    const qreal ratio = qMax<qreal>(1, devicePixelRatioF());
    if (ratio == picturesRatio_) return;
    picturesRatio_ = ratio;
    image1_->setPixmap(AboutBanner(BoxWidth, BannerHeight, ratio));
    // Square, so kept square inside its frame rather than stretched to it.
    programIcon_->setPixmap(ProgramIcon().pixmap(QSize(48, 48), ratio));
}

void TAboutBox::ShowAbout(const QString& productName) {
    productName_->setText(QString(productTemplate_).replace(QStringLiteral("%s"), productName));
    productName_->adjustSize();
    version_->setText(QStringLiteral("Version ") + FileVersionText(QStringLiteral(SKELDA_VERSION)));
    version_->adjustSize();
    comments_->clear();
    DrawPictures();
    homePage_ = QString::fromLatin1(MakerWebSite);
    if (!isVisible()) {
        QScreen* screen = parentWidget() ? parentWidget()->screen() : nullptr;
        if (!screen) screen = QGuiApplication::primaryScreen();
        if (screen) {
            QRect frame(QPoint(), size());
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    show();
    raise();
    activateWindow();
    ok_->setFocus();
}

void TAboutBox::Image1Click() {
    OpenAddress(QString::fromLatin1(MakerWebSite));
}

void TAboutBox::ProgramIconClick() {
    OpenAddress(homePage_.isEmpty() ? QString::fromLatin1(MakerWebSite) : homePage_);
}

void TAboutBox::OKButtonClick() {
    hide();
}

void TAboutBox::OpenAddress(const QString& address) {
    QDesktopServices::openUrl(QUrl(address, QUrl::TolerantMode));
}

}  // namespace skelda
