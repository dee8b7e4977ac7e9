// The saved-game record byte for byte, and what the reader refuses.
#include <gtest/gtest.h>

#include "persist/Checksum.h"
#include "persist/SavedGameFormat.h"

using namespace skelda;

namespace {

SavedGameData SampleGame() {
    SavedGameData d;
    d.shuffleSeed = 0xA1B2C3D4;
    d.roundNumber = 7;
    d.backID = 11;
    d.nextCard = 29;
    d.stateBits = StateDrawPhase | StateComputerFirst;
    d.turnPhase = 1;
    d.discardPile = {{0, 4, 0}, {3, 12, 8}};
    for (int i = 0; i < 52; ++i)
        d.deck[i] = TCard{static_cast<uint8_t>(i / 13), static_cast<uint8_t>(i % 13), 0};
    d.yourHand = {{2, 9, 1}, {1, 0, 0}, {0, 10, 0}};
    d.opponentHand = {{3, 5, 0}};
    d.yourScores = {120, -35};
    d.opponentScores = {-5, 260};
    d.melds = {{{2, 0, 6}, {2, 1, 4}, {2, 2, 4}}, {{0, 6, 0}, {1, 6, 0}, {3, 6, 0}, {2, 6, 4}}};
    d.playerName = "Ann Lee";
    d.opponentName = "MARY";
    d.suitInterest = {1, -2, 3, 0x7FFFFFFF};
    for (int i = 0; i < 13; ++i) d.rankInterest[i] = i - 6;
    d.seenCards[0] = 1;
    d.seenCards[51] = 1;
    d.meldedCards[4 * 6 + 2] = 1;
    return d;
}

// The same game laid out by hand, offset by offset.
std::array<uint8_t, 6068> SampleBytes() {
    std::array<uint8_t, 6068> b{};
    auto u32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    auto card = [&](size_t at, uint8_t s, uint8_t r, uint8_t f) {
        b[at] = s;
        b[at + 1] = r;
        b[at + 2] = f;
    };
    b[0] = 'S', b[1] = 'K', b[2] = 'L', b[3] = 'D';
    u32(4, 0xA1B2C3D4);
    b[8] = 7;    // round
    b[9] = 11;   // back
    b[10] = 2;   // discards
    b[11] = 29;  // next card
    b[12] = 2;   // melds
    b[13] = 2;   // rounds scored
    b[14] = 3;   // draw phase, computer first
    b[15] = 1;   // phase
    b[16] = 3;   // your hand
    b[17] = 1;   // opponent's hand
    card(18, 0, 4, 0);
    card(21, 3, 12, 8);
    for (int i = 0; i < 52; ++i) card(174 + 3 * i, i / 13, i % 13, 0);
    card(330, 2, 9, 1);
    card(333, 1, 0, 0);
    card(336, 0, 10, 0);
    card(486, 3, 5, 0);
    u32(644, 120);
    u32(648, static_cast<uint32_t>(-35));
    u32(1668, static_cast<uint32_t>(-5));
    u32(1672, 260);
    b[4740] = 3;
    card(4741, 2, 0, 6);
    card(4744, 2, 1, 4);
    card(4747, 2, 2, 4);
    b[4780] = 4;
    card(4781, 0, 6, 0);
    card(4784, 1, 6, 0);
    card(4787, 3, 6, 0);
    card(4790, 2, 6, 4);
    b[5380] = 7;
    for (int i = 0; i < 7; ++i) b[5381 + i] = static_cast<uint8_t>("Ann Lee"[i]);
    b[5636] = 4;
    for (int i = 0; i < 4; ++i) b[5637 + i] = static_cast<uint8_t>("MARY"[i]);
    u32(5892, 1);
    u32(5896, static_cast<uint32_t>(-2));
    u32(5900, 3);
    u32(5904, 0x7FFFFFFF);
    for (int i = 0; i < 13; ++i) u32(5908 + 4 * i, static_cast<uint32_t>(i - 6));
    b[5960] = 1;
    b[5960 + 51] = 1;
    b[6012 + 26] = 1;
    return b;
}

SavedGameRecord SampleRecord() {
    SavedGameRecord r;
    r.bytes = SampleBytes();
    return r;
}

std::vector<std::string> Problems(const SavedGameRecord& r) {
    std::vector<std::string> p;
    DecodeSavedGame(r, &p);
    return p;
}

bool SameCards(const TCardList& a, const TCardList& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!SameCard(a[i], b[i]) || a[i].Flags != b[i].Flags) return false;
    return true;
}

}  // namespace

TEST(SavedGameFormat, WritesEveryFieldAtItsOffset) {
    SavedGameRecord r;
    std::string why;
    ASSERT_TRUE(EncodeSavedGame(SampleGame(), r, why)) << why;
    const auto expected = SampleBytes();
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(r.bytes[i], expected[i]) << "offset " << i;
}

TEST(SavedGameFormat, ReadsEveryFieldBack) {
    const auto d = ReadSavedGame(SampleRecord());
    ASSERT_TRUE(d);
    const SavedGameData s = SampleGame();
    EXPECT_EQ(d->shuffleSeed, s.shuffleSeed);
    EXPECT_EQ(d->roundNumber, 7);
    EXPECT_EQ(d->backID, 11);
    EXPECT_EQ(d->nextCard, 29);
    EXPECT_EQ(d->stateBits, 3);
    EXPECT_EQ(d->turnPhase, 1);
    EXPECT_TRUE(SameCards(d->discardPile, s.discardPile));
    EXPECT_TRUE(SameCards(TCardList(d->deck.begin(), d->deck.end()),
                          TCardList(s.deck.begin(), s.deck.end())));
    EXPECT_TRUE(SameCards(d->yourHand, s.yourHand));
    EXPECT_TRUE(SameCards(d->opponentHand, s.opponentHand));
    ASSERT_EQ(d->melds.size(), 2u);
    EXPECT_TRUE(SameCards(d->melds[0], s.melds[0]));
    EXPECT_TRUE(SameCards(d->melds[1], s.melds[1]));
    EXPECT_EQ(d->yourScores, s.yourScores);
    EXPECT_EQ(d->opponentScores, s.opponentScores);
    EXPECT_EQ(d->playerName, "Ann Lee");
    EXPECT_EQ(d->opponentName, "MARY");
    EXPECT_EQ(d->suitInterest, s.suitInterest);
    EXPECT_EQ(d->rankInterest, s.rankInterest);
    EXPECT_EQ(d->seenCards, s.seenCards);
    EXPECT_EQ(d->meldedCards, s.meldedCards);
}

TEST(SavedGameFormat, FileIsRecordChecksumAndZero) {
    const SavedGameRecord r = SampleRecord();
    const std::string file = SavedGameFileBytes(r);
    ASSERT_EQ(file.size(), 6133u);
    EXPECT_EQ(file.back(), '\0');
    // The checksum is the keyed hash of the record written as upper-case hex text.
    const std::string hex =
        BytesToHex(std::string_view(reinterpret_cast<const char*>(r.bytes.data()), 6068), true);
    ASSERT_EQ(hex.size(), 12136u);
    EXPECT_EQ(file.substr(6068, 64), HmacSha256Hex(hex, "qPzrTxKmVbLdNwHsYcJa"));
    EXPECT_EQ(CheckSavedGameFile(file).error, SavedFileError::None);
}

TEST(SavedGameFormat, StateThatDoesNotFitIsNotWritten) {
    std::string why;
    SavedGameRecord r;
    auto refused = [&](SavedGameData d) { return !EncodeSavedGame(d, r, why) && !why.empty(); };
    SavedGameData d = SampleGame();
    d.melds.assign(17, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}});
    EXPECT_TRUE(refused(d));
    d = SampleGame();
    d.melds[0].assign(14, TCard{});
    EXPECT_TRUE(refused(d));
    d = SampleGame();
    d.discardPile.assign(53, TCard{});
    EXPECT_TRUE(refused(d));
    d = SampleGame();
    d.yourHand.assign(53, TCard{});
    EXPECT_TRUE(refused(d));
    d = SampleGame();
    d.yourScores.assign(256, 0);
    d.opponentScores.assign(256, 0);
    EXPECT_TRUE(refused(d));
    d = SampleGame();
    d.opponentScores.push_back(1);
    EXPECT_TRUE(refused(d));
    // At the limits everything still fits.
    d = SampleGame();
    d.melds.assign(16, TCardList(13, TCard{}));
    d.discardPile.assign(52, TCard{});
    d.yourScores.assign(255, -1);
    d.opponentScores.assign(255, 1);
    EXPECT_TRUE(EncodeSavedGame(d, r, why)) << why;
    EXPECT_TRUE(ReadSavedGame(r));
}

TEST(SavedGameFormat, LongNamesAreCutTo255BytesWithoutSplittingACharacter) {
    SavedGameData d = SampleGame();
    d.playerName = std::string(254, 'x') + "\xc3\xa9";  // 256 bytes, the last character two
    d.opponentName = std::string(300, 'y');
    SavedGameRecord r;
    std::string why;
    ASSERT_TRUE(EncodeSavedGame(d, r, why));
    const auto back = ReadSavedGame(r);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->playerName, std::string(254, 'x'));
    EXPECT_EQ(back->opponentName, std::string(255, 'y'));
}

TEST(SavedGameFormat, RefusesRecordsTheGameCannotUse) {
    const auto refused = [](auto change) {
        SavedGameRecord r = SampleRecord();
        change(r.bytes);
        return !ReadSavedGame(r).has_value();
    };
    EXPECT_FALSE(refused([](auto&) {}));
    EXPECT_TRUE(refused([](auto& b) { b[0] = 's'; }));           // magic
    EXPECT_TRUE(refused([](auto& b) { b[6067] = 1; }));          // end marker
    EXPECT_TRUE(refused([](auto& b) { b[10] = 53; }));           // discard count
    EXPECT_TRUE(refused([](auto& b) { b[16] = 200; }));          // your hand count
    EXPECT_TRUE(refused([](auto& b) { b[17] = 255; }));          // opponent's hand count
    EXPECT_TRUE(refused([](auto& b) { b[12] = 17; }));           // meld count
    EXPECT_TRUE(refused([](auto& b) { b[4740] = 14; }));         // cards in a meld
    EXPECT_TRUE(refused([](auto& b) { b[4780] = 0; }));          // an empty meld
    EXPECT_TRUE(refused([](auto& b) { b[11] = 53; }));           // stock index
    EXPECT_TRUE(refused([](auto& b) { b[15] = 4; }));            // phase
    EXPECT_TRUE(refused([](auto& b) { b[18] = 4; }));            // suit of a discard
    EXPECT_TRUE(refused([](auto& b) { b[331] = 13; }));          // rank of a hand card
    EXPECT_TRUE(refused([](auto& b) { b[174 + 3 * 51] = 9; }));  // a deck card
    EXPECT_TRUE(refused([](auto& b) { b[4790 + 1] = 200; }));    // a meld card
    // Slots past a count are not read, so what lies there does not matter.
    EXPECT_FALSE(refused([](auto& b) { b[24] = 99; }));
    EXPECT_FALSE(refused([](auto& b) { b[4820] = 99; }));
    // Nor do the reserved areas in the middle.
    EXPECT_FALSE(refused([](auto& b) { b[642] = 1, b[3000] = 1; }));
    // The problems are named for the inspector.
    SavedGameRecord r = SampleRecord();
    r.bytes[10] = 60;
    ASSERT_EQ(Problems(r).size(), 1u);
    EXPECT_EQ(Problems(r)[0], "the discard pile holds 60, more than 52");
}

TEST(SavedGameFormat, FileErrorsAndTheChecksumDifference) {
    const std::string good = SavedGameFileBytes(SampleRecord());
    const std::string sum = good.substr(6068, 64);

    EXPECT_EQ(SavedFileErrorText(CheckSavedGameFile(good.substr(0, 6068))), "Filesize too small");
    EXPECT_EQ(SavedFileErrorText(CheckSavedGameFile("")), "Filesize too small");

    // 6069 bytes reach the checksum test: a stored text of one character.
    const SavedFileCheck oneChar = CheckSavedGameFile(good.substr(0, 6069));
    EXPECT_EQ(oneChar.error, SavedFileError::Checksum);
    EXPECT_EQ(oneChar.difference, 1 - 64);

    // A checksum cut short is a prefix: the stored length minus 64.
    std::string cut = good.substr(0, 6068) + sum.substr(0, 60) + '\0';
    EXPECT_EQ(SavedFileErrorText(CheckSavedGameFile(cut)), "Saved game checksum error(-4)");
    // A longer text: positive.
    std::string longer = good.substr(0, 6068) + sum + "ab" + '\0';
    EXPECT_EQ(SavedFileErrorText(CheckSavedGameFile(longer)), "Saved game checksum error(2)");
    // Anything after the zero byte is ignored.
    EXPECT_EQ(CheckSavedGameFile(good + "trailing bytes").error, SavedFileError::None);
    // Without the zero byte the text runs to the end of the file.
    EXPECT_EQ(CheckSavedGameFile(good.substr(0, 6132)).error, SavedFileError::None);

    // Upper case of the first letter digit: stored 'A' against computed 'a' is -32.
    std::string upper = good;
    const size_t letter = sum.find_first_of("abcdef");
    ASSERT_NE(letter, std::string::npos);
    upper[6068 + letter] = static_cast<char>(sum[letter] - 32);
    EXPECT_EQ(SavedFileErrorText(CheckSavedGameFile(upper)), "Saved game checksum error(-32)");

    // Any changed record byte gives a non-zero difference at the first differing digit.
    for (size_t at : {0u, 13u, 4741u, 6067u}) {
        std::string bad = good;
        bad[at] ^= 0x01;
        const SavedFileCheck c = CheckSavedGameFile(bad);
        ASSERT_EQ(c.error, SavedFileError::Checksum) << at;
        EXPECT_NE(c.difference, 0);
        size_t i = 0;
        while (c.storedChecksum[i] == c.computedChecksum[i]) ++i;
        EXPECT_EQ(c.difference, static_cast<uint8_t>(c.storedChecksum[i]) -
                                    static_cast<uint8_t>(c.computedChecksum[i]));
    }
}

TEST(SavedGameFormat, NamesThatAreNotPlainFileNamesAreRefused) {
    std::string message;
    for (const char* ok : {"MyGame", "Game 2", "jeu-été", "a.b", "x_y(1)"})
        EXPECT_TRUE(CheckSavedGameName(ok, message)) << ok;
    for (const std::string& bad :
         {std::string(), std::string("."), std::string(".."), std::string("../x"),
          std::string("a/b"), std::string("a\\b"), std::string("c:x"), std::string("a*"),
          std::string("q?"), std::string("\"q\""), std::string("<a>"), std::string("a|b"),
          std::string("tab\there"), std::string("nul\0x", 5), std::string("end."),
          std::string("end "), std::string(201, 'n')}) {
        message.clear();
        EXPECT_FALSE(CheckSavedGameName(bad, message)) << bad;
        EXPECT_FALSE(message.empty());
    }
}
