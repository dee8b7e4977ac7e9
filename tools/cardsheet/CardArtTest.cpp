// The built-in pictures: their sizes at each device pixel ratio, that the corner index
// tells every card apart within the strip left showing by overlapping cards, and the
// look of the table pictures and icons.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cmath>
#include <limits>
#include <vector>

#include "ContactSheet.h"
#include "cards/CardArt.h"

using namespace skelda;

namespace {

constexpr int Strip = 16;  // what shows of a card covered by the next one

QImage Argb(const QPixmap& pm) {
    return pm.toImage().convertToFormat(QImage::Format_ARGB32);
}

// Pixels at which two same-sized images differ clearly in any channel.
int DifferingPixels(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 40 || std::abs(qGreen(p) - qGreen(q)) > 40 ||
                std::abs(qBlue(p) - qBlue(q)) > 40 || std::abs(qAlpha(p) - qAlpha(q)) > 40)
                ++n;
        }
    return n;
}

std::vector<QImage> Faces(qreal ratio) {
    std::vector<QImage> faces;
    for (int suit = 0; suit < 4; ++suit)
        for (int rank = 0; rank < 13; ++rank)
            faces.push_back(Argb(CardFacePixmap(suit, rank, ratio)));
    return faces;
}

void ExpectSize(const QPixmap& pm, int w, int h, qreal ratio) {
    EXPECT_FALSE(pm.isNull());
    EXPECT_EQ(pm.width(), qRound(w * ratio));
    EXPECT_EQ(pm.height(), qRound(h * ratio));
    EXPECT_DOUBLE_EQ(pm.devicePixelRatio(), ratio);
}

bool IsRed(QRgb p) {
    return qAlpha(p) > 200 && qRed(p) > 150 && qGreen(p) < 90 && qBlue(p) < 110;
}

}  // namespace

TEST(CardArt, EveryPictureHasItsLogicalSizeAtEachRatio) {
    for (qreal ratio : {1.0, 1.5, 2.0}) {
        SCOPED_TRACE(ratio);
        for (int suit = 0; suit < 4; ++suit)
            for (int rank = 0; rank < 13; ++rank)
                ExpectSize(CardFacePixmap(suit, rank, ratio), 71, 96, ratio);
        for (int b = 0; b < CardBackCount; ++b) ExpectSize(CardBackPixmap(b, ratio), 71, 96, ratio);
        ExpectSize(EmptySlotPixmap(ratio), 71, 96, ratio);
        ExpectSize(StockEndPixmap(ratio), 71, 96, ratio);
        ExpectSize(RingPixmap(ratio), 71, 96, ratio);
        ExpectSize(OpponentAheadPixmap(ratio), 32, 32, ratio);
        ExpectSize(OpponentBehindPixmap(ratio), 32, 32, ratio);
        ExpectSize(PickupMarkerPixmap(ratio), 16, 16, ratio);
    }
}

TEST(CardArt, OutOfRangeNumbersGiveNullPixmapsAndOddRatiosStaySane) {
    EXPECT_TRUE(CardFacePixmap(-1, 0).isNull());
    EXPECT_TRUE(CardFacePixmap(4, 0).isNull());
    EXPECT_TRUE(CardFacePixmap(0, -1).isNull());
    EXPECT_TRUE(CardFacePixmap(0, 13).isNull());
    EXPECT_TRUE(CardBackPixmap(-1).isNull());
    EXPECT_TRUE(CardBackPixmap(CardBackCount).isNull());
    // A damaged ratio must neither crash nor ask for an enormous picture.
    for (qreal bad : {0.0, -2.0, std::numeric_limits<qreal>::quiet_NaN(),
                      std::numeric_limits<qreal>::infinity()})
        ExpectSize(CardFacePixmap(0, 0, bad), 71, 96, 1.0);
    const QPixmap huge = CardBackPixmap(0, 1e9);
    EXPECT_LE(huge.width(), 71 * 8);
}

TEST(CardArt, CardsAreWhiteWithRoundedTransparentCorners) {
    for (qreal ratio : {1.0, 2.0}) {
        const QImage face = Argb(CardFacePixmap(1, 4, ratio));
        const QImage back = Argb(CardBackPixmap(3, ratio));
        for (const QImage& img : {face, back}) {
            EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
            EXPECT_EQ(qAlpha(img.pixel(img.width() - 1, img.height() - 1)), 0);
            // The white margin just inside the border, at the middle of the left edge.
            EXPECT_EQ(img.pixel(qRound(2 * ratio), img.height() / 2), qRgb(255, 255, 255));
        }
    }
}

TEST(CardArt, TheLeftStripTellsEveryCardApart) {
    for (qreal ratio : {1.0, 2.0}) {
        SCOPED_TRACE(ratio);
        std::vector<QImage> strips;
        for (const QImage& face : Faces(ratio))
            strips.push_back(face.copy(0, 0, qRound(Strip * ratio), face.height()));
        // A few pixels of difference would not be readable: ask for a clear one.
        const int minimum = qRound(12 * ratio * ratio);
        for (size_t i = 0; i < strips.size(); ++i)
            for (size_t j = i + 1; j < strips.size(); ++j)
                EXPECT_GE(DifferingPixels(strips[i], strips[j]), minimum)
                    << "cards " << i << " and " << j;
    }
}

TEST(CardArt, TheSixteenPixelCornerAloneTellsRankAndSuit) {
    // In a meld column a card shows only its top left 16 x 16 pixels: the rank and the
    // suit must both be there, so that three fives read as three different fives.
    for (qreal ratio : {1.0, 2.0}) {
        SCOPED_TRACE(ratio);
        const int side = qRound(Strip * ratio);
        std::vector<QImage> corners;
        for (const QImage& face : Faces(ratio)) {
            corners.push_back(face.copy(0, 0, side, side));
            // Nothing of the index lies below the corner, in the strip an overlapped hand
            // card shows (left of where the ace of spades' ring begins): what tells the
            // cards apart is all inside the corner.
            const QImage below =
                face.copy(qRound(2 * ratio), side, qRound(10 * ratio), face.height() / 2 - side);
            QImage blank(below.size(), QImage::Format_ARGB32);
            blank.fill(Qt::white);
            EXPECT_EQ(DifferingPixels(below, blank), 0) << "card " << corners.size() - 1;
        }
        const int minimum = qRound(8 * ratio * ratio);
        for (int rank = 0; rank < 13; ++rank)
            for (int a = 0; a < 4; ++a)
                for (int b = a + 1; b < 4; ++b)
                    EXPECT_GE(DifferingPixels(corners[a * 13 + rank], corners[b * 13 + rank]),
                              minimum)
                        << "rank " << rank << ", suits " << a << " and " << b;
        for (int suit = 0; suit < 4; ++suit)
            for (int a = 0; a < 13; ++a)
                for (int b = a + 1; b < 13; ++b)
                    EXPECT_GE(DifferingPixels(corners[suit * 13 + a], corners[suit * 13 + b]),
                              minimum)
                        << "suit " << suit << ", ranks " << a << " and " << b;
    }
}

TEST(CardArt, TheIndexIsRepeatedUpsideDownInTheOppositeCorner) {
    for (qreal ratio : {1.0, 2.0})
        for (int card : {0, 9, 14, 27, 38, 51}) {
            const QImage face = Argb(CardFacePixmap(card / 13, card % 13, ratio));
            const int w = qRound(Strip * ratio), h = qRound(28 * ratio);
            const QImage top = face.copy(0, 0, w, h);
            const QImage bottom =
                face.copy(face.width() - w, face.height() - h, w, h).mirrored(true, true);
            EXPECT_LE(DifferingPixels(top, bottom), 2) << "card " << card << " ratio " << ratio;
        }
}

TEST(CardArt, RedSuitsAreRedAndBlackSuitsHaveNoRed) {
    for (int suit = 0; suit < 4; ++suit)
        for (int rank = 0; rank < 13; ++rank) {
            const QImage strip = Argb(CardFacePixmap(suit, rank)).copy(0, 0, Strip, 30);
            int red = 0;
            for (int y = 0; y < strip.height(); ++y)
                for (int x = 0; x < strip.width(); ++x) red += IsRed(strip.pixel(x, y));
            if (suit == 1 || suit == 2)
                EXPECT_GT(red, 30) << suit << " " << rank;
            else
                EXPECT_EQ(red, 0) << suit << " " << rank;
        }
}

TEST(CardArt, RatioTwoIsDrawnAtFullDetailNotEnlarged) {
    // An enlarged ratio-1 picture would consist of uniform 2 x 2 blocks.
    const QImage img = Argb(CardFacePixmap(3, 12, 2.0));
    int mixedBlocks = 0;
    for (int y = 0; y + 1 < img.height(); y += 2)
        for (int x = 0; x + 1 < img.width(); x += 2) {
            const QRgb p = img.pixel(x, y);
            mixedBlocks += img.pixel(x + 1, y) != p || img.pixel(x, y + 1) != p ||
                           img.pixel(x + 1, y + 1) != p;
        }
    EXPECT_GT(mixedBlocks, 300);
}

TEST(CardArt, BacksDifferClearlyFromEachOther) {
    std::vector<QImage> backs;
    for (int b = 0; b < CardBackCount; ++b) backs.push_back(Argb(CardBackPixmap(b)));
    const int area = 71 * 96;
    for (int i = 0; i < CardBackCount; ++i)
        for (int j = i + 1; j < CardBackCount; ++j)
            EXPECT_GT(DifferingPixels(backs[i], backs[j]), area / 3) << i << " and " << j;
}

TEST(CardArt, DrawingTheSamePictureTwiceGivesTheSamePixels) {
    // Callers redraw after a change of screen; a back must not reshuffle its pattern.
    for (int b = 0; b < CardBackCount; ++b)
        EXPECT_EQ(Argb(CardBackPixmap(b, 2)), Argb(CardBackPixmap(b, 2))) << b;
    EXPECT_EQ(Argb(CardFacePixmap(2, 11)), Argb(CardFacePixmap(2, 11)));
}

TEST(CardArt, TablePicturesLookAsDescribed) {
    const QImage slot = Argb(EmptySlotPixmap());
    const QImage cross = Argb(StockEndPixmap());
    const QImage ring = Argb(RingPixmap());
    // The empty place is an outline: its middle lets the table show through.
    EXPECT_LT(qAlpha(slot.pixel(35, 48)), 64);
    int outline = 0;
    for (int y = 0; y < 96; ++y) outline += qAlpha(slot.pixel(0, y)) > 100;
    EXPECT_GT(outline, 10);
    EXPECT_LT(outline, 90);  // dotted, not solid
    // The cross is red where its strokes meet; the ring is green round a clear middle.
    EXPECT_TRUE(IsRed(cross.pixel(35, 48)));
    EXPECT_LT(qAlpha(ring.pixel(35, 48)), 10);
    const QRgb onRing = ring.pixel(35 + 20, 48);
    EXPECT_GT(qAlpha(onRing), 200);
    EXPECT_GT(qGreen(onRing), qRed(onRing) + 40);
}

TEST(CardArt, IconsComeAtTheirSizesAndTheFacesDiffer) {
    const QIcon icon = ProgramIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
    for (int size : {16, 32, 48, 256}) {
        const QImage img = icon.pixmap(QSize(size, size), 1.0).toImage();
        EXPECT_EQ(img.size(), QSize(size, size));
        EXPECT_GT(qAlpha(img.pixel(size / 2, size / 2)), 200) << size;
        EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0) << size;
    }
    EXPECT_GT(DifferingPixels(Argb(OpponentAheadPixmap()), Argb(OpponentBehindPixmap())), 20);

    // The pick-up arrow is green and points down: wide head low, narrow shaft high.
    const QImage arrow = Argb(PickupMarkerPixmap());
    auto width = [&](int y) {
        int n = 0;
        for (int x = 0; x < 16; ++x) n += qAlpha(arrow.pixel(x, y)) > 128;
        return n;
    };
    EXPECT_GT(width(8), width(3) + 4);
    EXPECT_GT(width(3), width(14));
    const QRgb mid = arrow.pixel(8, 6);
    EXPECT_GT(qGreen(mid), qRed(mid));
    EXPECT_GT(qGreen(mid), qBlue(mid));
}

TEST(CardArt, ContactSheetIsTwiceAsLargeAtRatioTwo) {
    const QImage one = ContactSheet(1.0), two = ContactSheet(2.0);
    EXPECT_EQ(two.width(), 2 * one.width());
    EXPECT_EQ(two.height(), 2 * one.height());
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
