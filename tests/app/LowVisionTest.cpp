// Options > Four-Colour Suits and Large Indices, and the contrast of what low vision needs
// to see, measured on the rendered pictures (WCAG 2.2): the corner indices at least 4.5:1
// against the card face, the keyboard focus and the card edges at least 3:1 against the
// felt: on the green table, and with the options on also on a grey one where the white face
// alone would not do.
#include <gtest/gtest.h>

#include <QAction>
#include <QTest>
#include <algorithm>
#include <cmath>

#include "TableFixture.h"
#include "cards/CardArt.h"
#include "table/TablePicture.h"

using namespace skelda;

namespace {

double Linear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
double Luminance(QRgb p) {
    return 0.2126 * Linear(qRed(p)) + 0.7152 * Linear(qGreen(p)) + 0.0722 * Linear(qBlue(p));
}
double Contrast(QRgb a, QRgb b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

struct Ink {
    int strong = 0;                              // pixels at 4.5:1 or more against the face
    int top = 1000, bottom = -1;                 // rows the index's ink spans
    int red = 0, green = 0, blue = 0, dark = 0;  // strong pixels by hue
};

// The ink of a face's top-left corner index, within a strip 16 logical pixels wide.
Ink CornerInk(int suit, int rank, qreal ratio) {
    const QImage face =
        CardFacePixmap(suit, rank, ratio).toImage().convertToFormat(QImage::Format_ARGB32);
    const QRgb white = face.pixel(face.width() / 2, qRound(3 * ratio));  // the bare face
    Ink ink;
    const int width = qRound(16 * ratio), height = qRound(32 * ratio);
    for (int y = qRound(1.5 * ratio); y < height; ++y)
        for (int x = qRound(1.5 * ratio); x < width; ++x) {
            const QRgb p = face.pixel(x, y);
            if (Contrast(p, white) < 4.5) continue;
            ++ink.strong;
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
            const int r = qRed(p), g = qGreen(p), b = qBlue(p);
            if (r > g + 60 && r > b + 60)
                ++ink.red;
            else if (g > r + 60 && g > b)
                ++ink.green;
            else if (b > r + 60 && b > g + 60)
                ++ink.blue;
            else if (r < 60 && g < 60 && b < 60)
                ++ink.dark;
        }
    return ink;
}

class LowVisionTest : public TableFixture {
protected:
    void Trigger(const char* name) {
        QAction* a = window->action(QString::fromLatin1(name));
        ASSERT_NE(a, nullptr) << name;
        a->trigger();
    }
    // The table as the screen shows it, one area at a time.
    QImage Grab(Area area) {
        window->Repaint(area);
        return window->areaWidget(area)->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    }
    void TearDown() override {
        TableFixture::TearDown();
        SetCardStyle({});  // the style is the process's: the next test starts plain
    }
};

}  // namespace

TEST_F(LowVisionTest, BothOptionsAreSettingsOffByDefault) {
    Make();
    EXPECT_FALSE(window->action("FourColourSuits1")->isChecked());
    EXPECT_FALSE(window->action("LargeIndices1")->isChecked());
    EXPECT_FALSE(CurrentCardStyle().fourColour || CurrentCardStyle().largeIndices);
    const Ink plainClubs = CornerInk(0, 4, 1), plainDiamonds = CornerInk(1, 4, 1);
    EXPECT_GT(plainClubs.dark, 0);
    EXPECT_EQ(plainClubs.green, 0);
    EXPECT_GT(plainDiamonds.red, 0);
    EXPECT_EQ(plainDiamonds.blue, 0);

    // Four colours: Clubs green, Diamonds blue, Hearts and Spades as they were; the table's
    // pictures are drawn again at once.
    window->game().YourHand = {TCard{0, 4, 0}};
    Trigger("FourColourSuits1");
    EXPECT_TRUE(store->Exists("FourColourSuits"));
    EXPECT_TRUE(CurrentCardStyle().fourColour);
    const Ink clubs = CornerInk(0, 4, 1), diamonds = CornerInk(1, 4, 1);
    const Ink hearts = CornerInk(2, 4, 1), spades = CornerInk(3, 4, 1);
    EXPECT_GT(clubs.green, clubs.strong / 2);
    EXPECT_GT(diamonds.blue, diamonds.strong / 2);
    EXPECT_GT(hearts.red, hearts.strong / 2);
    EXPECT_GT(spades.dark, spades.strong / 2);
    EXPECT_EQ(clubs.dark + diamonds.red, 0);
    // The table shows the new pictures at once: its Five of Clubs (a lowered card, alone in
    // the hand) has green pips.
    const QImage after = Grab(Area::PaintBox4);
    const qreal s = window->TableScale();
    int green = 0;
    for (int y = qRound(12 * s); y < qRound(90 * s); ++y)
        for (int x = qRound(4 * s); x < qRound(64 * s); ++x) {
            const QRgb p = after.pixel(x, y);
            if (qGreen(p) > qRed(p) + 60 && qGreen(p) > qBlue(p) && qGreen(p) < 160) ++green;
        }
    EXPECT_GT(green, 0);
    // Large indices: the rank over the suit, taller, in the same 16-pixel strip.
    Trigger("LargeIndices1");
    EXPECT_TRUE(store->Exists("LargeIndices"));
    for (int rank : {0, 9, 11}) {
        CardStyle plain;
        SetCardStyle(plain);
        const Ink small = CornerInk(3, rank, 2);
        SetCardStyle({true, true});
        const Ink large = CornerInk(3, rank, 2);
        EXPECT_GE(large.bottom - large.top, (small.bottom - small.top) * 3 / 2) << rank;
        EXPECT_GT(large.strong, small.strong * 3 / 2) << rank;
    }

    // Off again: the settings go; a window that starts with them stored has them on.
    Trigger("FourColourSuits1");
    Trigger("LargeIndices1");
    EXPECT_FALSE(store->Exists("FourColourSuits") || store->Exists("LargeIndices"));
    EXPECT_FALSE(CurrentCardStyle().fourColour || CurrentCardStyle().largeIndices);
    window.reset();
    Make([](MemorySettings& s) {
        s.WriteFlag("FourColourSuits");
        s.WriteFlag("LargeIndices");
    });
    EXPECT_TRUE(window->action("FourColourSuits1")->isChecked());
    EXPECT_TRUE(window->action("LargeIndices1")->isChecked());
    EXPECT_TRUE(CurrentCardStyle().fourColour && CurrentCardStyle().largeIndices);
}

TEST_F(LowVisionTest, CornerIndicesKeepTheirContrastInEveryStyle) {
    Make();
    for (const CardStyle style :
         {CardStyle{}, CardStyle{true, false}, CardStyle{false, true}, CardStyle{true, true}})
        for (qreal ratio : {1.0, 2.0}) {
            SetCardStyle(style);
            for (int suit = 0; suit < 4; ++suit)
                for (int rank = 0; rank < 13; ++rank) {
                    // Solid ink at 4.5:1, not only its anti-aliased edge: a rank and a suit
                    // drawn in a colour too light would have none.
                    const Ink ink = CornerInk(suit, rank, ratio);
                    EXPECT_GE(ink.strong, 10 * ratio * ratio)
                        << "suit " << suit << " rank " << rank << " four " << style.fourColour
                        << " large " << style.largeIndices << " ratio " << ratio;
                }
        }
}

TEST_F(LowVisionTest, FocusAndCardEdgesStandOutFromTheFelt) {
    // The green table; and, with the low-vision options, also a grey one as light as the
    // white face allows before the card's edge has to carry the contrast itself.
    const uint32_t green = ColorToStored(QColor(0, 0x80, 0));
    for (const auto& [colour, lowVision] :
         {std::pair{green, false}, std::pair{green, true}, std::pair{0xa0a0a0u, true}}) {
        SCOPED_TRACE(testing::Message() << "colour " << colour << " low vision " << lowVision);
        window.reset();
        SetCardStyle({});
        Make([colour, lowVision](MemorySettings& s) {
            s.WriteNumber("TableColor", colour);
            if (lowVision) s.WriteFlag("LargeIndices");
        });
        Game& g = window->game();
        g.OpponentHand = {TCard{0, 4, 0}, TCard{1, 9, 0}, TCard{3, 12, 0}};
        g.YourHand = {TCard{0, 1, 0}, TCard{2, 5, 0}, TCard{3, 7, 0}, TCard{1, 11, 0}};
        g.DiscardPile = {TCard{2, 2, 0}, TCard{0, 8, 0}};
        const qreal s = window->TableScale();

        // The card edges: beside the right edge of the last card of the computer's hand (its
        // back) and of the hand (a face), the felt; the edge and the face just inside it.
        for (Area area : {Area::PaintBox1, Area::PaintBox4}) {
            const QImage img = Grab(area);
            const size_t n = area == Area::PaintBox1 ? g.OpponentHand.size() : g.YourHand.size();
            const double edge = s * (CardStep * (n - 1) + CardWidth);
            const int row = qRound(s * (area == Area::PaintBox1 ? 48 : 56));
            const QRgb felt = img.pixel(qRound(edge + 3 * s), row);
            double best = 0;
            for (int x = qRound(edge - 3 * s); x <= qRound(edge); ++x)
                best = std::max(best, Contrast(img.pixel(x, row), felt));
            EXPECT_GE(best, 3.0) << "the card edge in area " << static_cast<int>(area);
        }

        // The keyboard focus: every pixel it changes, against what lay there before (the
        // card or the felt). The frame's length in changes of 3:1 or more, and the pointer
        // under the card, over the felt.
        const QImage without = Grab(Area::PaintBox4);
        QTest::keyClick(window->centralWidget(), Qt::Key_Right);
        ASSERT_TRUE(window->keyboardCues());
        const QImage with = Grab(Area::PaintBox4);
        int strong = 0, strongOverFelt = 0;
        const QRgb felt = without.pixel(without.width() - 4, qRound(40 * s));
        for (int y = 0; y < with.height(); ++y)
            for (int x = 0; x < with.width(); ++x) {
                const QRgb before = without.pixel(x, y), after = with.pixel(x, y);
                if (before == after || Contrast(before, after) < 3.0) continue;
                ++strong;
                if (Contrast(before, felt) < 1.2) ++strongOverFelt;
            }
        const int perimeter = qRound(2 * (CardStep + CardHeight) * s);
        EXPECT_GE(strong, perimeter) << "the focus frame";
        EXPECT_GE(strongOverFelt, qRound(12 * s * s)) << "the focus pointer over the felt";
    }
}
