#include "persist/SavedGameFormat.h"

#include "persist/Checksum.h"

namespace skelda {

const char* const GameFailedToLoadText = "Game failed to load.";

namespace {

// Field offsets of the record.
enum : size_t {
    OffMagic = 0,
    OffShuffleSeed = 4,
    OffRoundNumber = 8,
    OffBackID = 9,
    OffDiscardCount = 10,
    OffNextCard = 11,
    OffMeldCount = 12,
    OffScoreCount = 13,
    OffStateBits = 14,
    OffTurnPhase = 15,
    OffYourHandCount = 16,
    OffOpponentHandCount = 17,
    OffDiscardPile = 18,
    OffDeck = 174,
    OffYourHand = 330,
    OffOpponentHand = 486,
    OffYourScores = 644,
    OffOpponentScores = 1668,
    OffMelds = 4740,
    MeldSlotSize = 40,
    OffPlayerName = 5380,
    OffOpponentName = 5636,
    TextFieldSize = 256,
    OffSuitInterest = 5892,
    OffRankInterest = 5908,
    OffSeenCards = 5960,
    OffMeldedCards = 6012,
    OffEndMarker = 6064,
};

constexpr char kMagic[4] = {'S', 'K', 'L', 'D'};

class Writer {
public:
    explicit Writer(SavedGameRecord& r) : b_(r.bytes) {}
    void U8(size_t at, uint8_t v) { b_[at] = v; }
    void U32(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b_[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
    void Card(size_t at, TCard c) {
        b_[at] = c.Suit;
        b_[at + 1] = c.Rank;
        b_[at + 2] = c.Flags;
    }
    void Cards(size_t at, const TCardList& list) {
        for (size_t i = 0; i < list.size(); ++i) Card(at + 3 * i, list[i]);
    }
    void Text(size_t at, const std::string& s) {
        const std::string t = CutText(s, SavedMaxName);
        b_[at] = static_cast<uint8_t>(t.size());
        for (size_t i = 0; i < t.size(); ++i) b_[at + 1 + i] = static_cast<uint8_t>(t[i]);
    }

private:
    std::array<uint8_t, SavedRecordSize>& b_;
};

class Reader {
public:
    Reader(const SavedGameRecord& r, std::vector<std::string>* problems)
        : b_(r.bytes), problems_(problems) {}
    uint8_t U8(size_t at) const { return b_[at]; }
    uint32_t U32(size_t at) const {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= uint32_t{b_[at + i]} << (8 * i);
        return v;
    }
    TCard Card(size_t at, const char* where) {
        const TCard c{b_[at], b_[at + 1], b_[at + 2]};
        if (c.Suit > 3 || c.Rank > 12) Problem(std::string("a card that is no card in ") + where);
        return c;
    }
    // A count byte, kept within `max`.
    size_t Count(size_t at, size_t max, const char* what) {
        size_t n = b_[at];
        if (n > max) {
            Problem(std::string(what) + " holds " + std::to_string(n) + ", more than " +
                    std::to_string(max));
            n = max;
        }
        return n;
    }
    TCardList Cards(size_t at, size_t count, const char* where) {
        TCardList out;
        for (size_t i = 0; i < count; ++i) out.push_back(Card(at + 3 * i, where));
        return out;
    }
    std::string Text(size_t at) const {
        const size_t n = b_[at];  // at most 255, so the text stays in its field
        return std::string(reinterpret_cast<const char*>(&b_[at + 1]), n);
    }
    void Problem(const std::string& p) {
        if (problems_) problems_->push_back(p);
    }

private:
    const std::array<uint8_t, SavedRecordSize>& b_;
    std::vector<std::string>* problems_;
};

}  // namespace

std::string CutText(const std::string& text, size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    size_t cut = maxBytes;
    // Back up over continuation bytes so no UTF-8 sequence is split.
    for (int i = 0; i < 3 && cut > 0 && (static_cast<uint8_t>(text[cut]) & 0xC0) == 0x80; ++i)
        --cut;
    if ((static_cast<uint8_t>(text[cut]) & 0xC0) == 0x80) cut = maxBytes;  // not UTF-8 after all
    return text.substr(0, cut);
}

bool EncodeSavedGame(const SavedGameData& d, SavedGameRecord& record, std::string& why) {
    if (d.discardPile.size() > SavedMaxPile)
        return why = "the discard pile holds more than 52 cards", false;
    if (d.yourHand.size() > SavedMaxPile) return why = "your hand holds more than 52 cards", false;
    if (d.opponentHand.size() > SavedMaxPile)
        return why = "the opponent's hand holds more than 52 cards", false;
    if (d.melds.size() > SavedMaxMelds) return why = "there are more than 16 melds", false;
    for (const TCardList& m : d.melds)
        if (m.size() > SavedMaxMeldCards) return why = "a meld holds more than 13 cards", false;
    if (d.yourScores.size() > SavedMaxRounds || d.opponentScores.size() > SavedMaxRounds)
        return why = "the game has more than 255 rounds", false;
    if (d.yourScores.size() != d.opponentScores.size())
        return why = "the two score lists differ in length", false;

    record = SavedGameRecord{};
    Writer w(record);
    for (size_t i = 0; i < 4; ++i) w.U8(OffMagic + i, static_cast<uint8_t>(kMagic[i]));
    w.U32(OffShuffleSeed, d.shuffleSeed);
    w.U8(OffRoundNumber, d.roundNumber);
    w.U8(OffBackID, d.backID);
    w.U8(OffDiscardCount, static_cast<uint8_t>(d.discardPile.size()));
    w.U8(OffNextCard, d.nextCard);
    w.U8(OffMeldCount, static_cast<uint8_t>(d.melds.size()));
    w.U8(OffScoreCount, static_cast<uint8_t>(d.yourScores.size()));
    w.U8(OffStateBits, d.stateBits);
    w.U8(OffTurnPhase, d.turnPhase);
    w.U8(OffYourHandCount, static_cast<uint8_t>(d.yourHand.size()));
    w.U8(OffOpponentHandCount, static_cast<uint8_t>(d.opponentHand.size()));
    w.Cards(OffDiscardPile, d.discardPile);
    for (size_t i = 0; i < 52; ++i) w.Card(OffDeck + 3 * i, d.deck[i]);
    w.Cards(OffYourHand, d.yourHand);
    w.Cards(OffOpponentHand, d.opponentHand);
    for (size_t i = 0; i < d.yourScores.size(); ++i) {
        w.U32(OffYourScores + 4 * i, static_cast<uint32_t>(d.yourScores[i]));
        w.U32(OffOpponentScores + 4 * i, static_cast<uint32_t>(d.opponentScores[i]));
    }
    for (size_t m = 0; m < d.melds.size(); ++m) {
        const size_t slot = OffMelds + MeldSlotSize * m;
        w.U8(slot, static_cast<uint8_t>(d.melds[m].size()));
        w.Cards(slot + 1, d.melds[m]);
    }
    w.Text(OffPlayerName, d.playerName);
    w.Text(OffOpponentName, d.opponentName);
    for (size_t i = 0; i < 4; ++i)
        w.U32(OffSuitInterest + 4 * i, static_cast<uint32_t>(d.suitInterest[i]));
    for (size_t i = 0; i < 13; ++i)
        w.U32(OffRankInterest + 4 * i, static_cast<uint32_t>(d.rankInterest[i]));
    for (size_t i = 0; i < 52; ++i) {
        w.U8(OffSeenCards + i, d.seenCards[i]);
        w.U8(OffMeldedCards + i, d.meldedCards[i]);
    }
    return true;
}

SavedGameData DecodeSavedGame(const SavedGameRecord& record, std::vector<std::string>* problems) {
    Reader r(record, problems);
    SavedGameData d;
    for (size_t i = 0; i < 4; ++i)
        if (r.U8(OffMagic + i) != static_cast<uint8_t>(kMagic[i])) {
            r.Problem("the record does not begin with \"SKLD\"");
            break;
        }
    if (r.U32(OffEndMarker) != 0) r.Problem("the record's last four bytes are not zero");

    d.shuffleSeed = r.U32(OffShuffleSeed);
    d.roundNumber = r.U8(OffRoundNumber);
    d.backID = r.U8(OffBackID);
    d.nextCard = r.U8(OffNextCard);
    if (d.nextCard > 52) r.Problem("the stock index is past the deck");
    d.stateBits = r.U8(OffStateBits);
    d.turnPhase = r.U8(OffTurnPhase);
    if (d.turnPhase > 3) r.Problem("the turn phase is not 0 to 3");

    const size_t discards = r.Count(OffDiscardCount, SavedMaxPile, "the discard pile");
    const size_t yours = r.Count(OffYourHandCount, SavedMaxPile, "your hand");
    const size_t theirs = r.Count(OffOpponentHandCount, SavedMaxPile, "the opponent's hand");
    const size_t melds = r.Count(OffMeldCount, SavedMaxMelds, "the meld list");
    const size_t rounds = r.U8(OffScoreCount);  // a byte always fits the 256 score slots

    d.discardPile = r.Cards(OffDiscardPile, discards, "the discard pile");
    for (size_t i = 0; i < 52; ++i) d.deck[i] = r.Card(OffDeck + 3 * i, "the deck");
    d.yourHand = r.Cards(OffYourHand, yours, "your hand");
    d.opponentHand = r.Cards(OffOpponentHand, theirs, "the opponent's hand");
    for (size_t i = 0; i < rounds; ++i) {
        d.yourScores.push_back(static_cast<int32_t>(r.U32(OffYourScores + 4 * i)));
        d.opponentScores.push_back(static_cast<int32_t>(r.U32(OffOpponentScores + 4 * i)));
    }
    for (size_t m = 0; m < melds; ++m) {
        const size_t slot = OffMelds + MeldSlotSize * m;
        const size_t n = r.Count(slot, SavedMaxMeldCards, "a meld");
        if (n == 0) r.Problem("a meld holds no cards");
        d.melds.push_back(r.Cards(slot + 1, n, "a meld"));
    }
    d.playerName = r.Text(OffPlayerName);
    d.opponentName = r.Text(OffOpponentName);
    for (size_t i = 0; i < 4; ++i)
        d.suitInterest[i] = static_cast<int32_t>(r.U32(OffSuitInterest + 4 * i));
    for (size_t i = 0; i < 13; ++i)
        d.rankInterest[i] = static_cast<int32_t>(r.U32(OffRankInterest + 4 * i));
    for (size_t i = 0; i < 52; ++i) {
        d.seenCards[i] = r.U8(OffSeenCards + i);
        d.meldedCards[i] = r.U8(OffMeldedCards + i);
    }
    return d;
}

std::optional<SavedGameData> ReadSavedGame(const SavedGameRecord& record) {
    std::vector<std::string> problems;
    SavedGameData d = DecodeSavedGame(record, &problems);
    if (!problems.empty()) return std::nullopt;
    return d;
}

std::string SavedGameChecksum(const SavedGameRecord& record) {
    const std::string_view bytes(reinterpret_cast<const char*>(record.bytes.data()),
                                 record.bytes.size());
    return HmacSha256Hex(BytesToHex(bytes, true), SaveChecksumKey);
}

std::string SavedGameFileBytes(const SavedGameRecord& record) {
    std::string out(reinterpret_cast<const char*>(record.bytes.data()), record.bytes.size());
    out += SavedGameChecksum(record);
    out += '\0';
    return out;
}

SavedFileCheck CheckSavedGameFile(std::string_view file) {
    SavedFileCheck check;
    if (file.size() <= SavedRecordSize) {
        check.error = SavedFileError::TooSmall;
        return check;
    }
    std::copy(file.begin(), file.begin() + SavedRecordSize, check.record.bytes.begin());
    std::string_view stored = file.substr(SavedRecordSize);
    stored = stored.substr(0, stored.find('\0'));
    check.storedChecksum = std::string(stored);
    check.computedChecksum = SavedGameChecksum(check.record);
    const std::string& computed = check.computedChecksum;
    const size_t common = std::min(stored.size(), computed.size());
    for (size_t i = 0; i < common; ++i)
        if (stored[i] != computed[i]) {
            check.error = SavedFileError::Checksum;
            check.difference = static_cast<uint8_t>(stored[i]) - static_cast<uint8_t>(computed[i]);
            return check;
        }
    if (stored.size() != computed.size()) {
        check.error = SavedFileError::Checksum;
        // Bounded by the file size, which a real file keeps far below the int range.
        const int64_t diff = static_cast<int64_t>(stored.size()) - 64;
        check.difference = static_cast<int>(std::min<int64_t>(diff, INT32_MAX));
    }
    return check;
}

std::string SavedFileErrorText(const SavedFileCheck& check) {
    switch (check.error) {
        case SavedFileError::TooSmall: return "Filesize too small";
        case SavedFileError::Checksum:
            return "Saved game checksum error(" + std::to_string(check.difference) + ")";
        case SavedFileError::None: break;
    }
    return std::string();
}

bool CheckSavedGameName(const std::string& name, std::string& message) {
    const std::string quoted = "\"" + name + "\"";
    if (name.empty()) return message = "Please enter a name for the saved game.", false;
    if (name == "." || name == "..")
        return message = quoted + " cannot be used as a saved game name.", false;
    if (name.size() > 200)
        return message = "The saved game name is too long (at most 200 characters).", false;
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F)
            return message = "A saved game name cannot contain control characters.", false;
        if (std::string_view("/\\:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos)
            return message =
                       "A saved game name cannot contain any of the characters "
                       "/ \\ : * ? \" < > |",
                   false;
    }
    if (name.back() == ' ' || name.back() == '.')
        return message = "A saved game name cannot end with a blank or a dot.", false;
    return true;
}

}  // namespace skelda
