// The saved-game file: a 6068-byte record of the game state, then its keyed checksum as
// 64 hexadecimal digits and a zero byte. This file knows the layout and nothing of the
// game object, so the loader, the inspector and the fuzzers share one reader.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/Card.h"

namespace skelda {

constexpr size_t SavedRecordSize = 6068;
constexpr size_t SavedChecksumSize = 64;
constexpr size_t SavedFileSize = SavedRecordSize + SavedChecksumSize + 1;
constexpr const char* SaveChecksumKey = "qPzrTxKmVbLdNwHsYcJa";

// Limits of the record's fields.
constexpr size_t SavedMaxPile = 52;
constexpr size_t SavedMaxMelds = 16;
constexpr size_t SavedMaxMeldCards = 13;
constexpr size_t SavedMaxRounds = 255;
constexpr size_t SavedMaxName = 255;

// Bits of the state byte.
enum : uint8_t { StateDrawPhase = 0x01, StateComputerFirst = 0x02, StateOpponentToMove = 0x04 };

struct SavedGameRecord {
    std::array<uint8_t, SavedRecordSize> bytes{};
};

// The game state as the record holds it.
struct SavedGameData {
    uint32_t shuffleSeed = 0;
    uint8_t roundNumber = 0;
    uint8_t backID = 0;
    uint8_t nextCard = 0;
    uint8_t stateBits = 0;
    uint8_t turnPhase = 0;
    TCardList discardPile;
    std::array<TCard, 52> deck{};
    TCardList yourHand;
    TCardList opponentHand;
    std::vector<int32_t> yourScores;
    std::vector<int32_t> opponentScores;
    std::vector<TCardList> melds;
    std::string playerName;
    std::string opponentName;
    std::array<int32_t, 4> suitInterest{};
    std::array<int32_t, 13> rankInterest{};
    std::array<uint8_t, 52> seenCards{};
    std::array<uint8_t, 52> meldedCards{};
};

// Fills a zeroed record. False, with the reason, when the state does not fit the layout;
// nothing is cut short except names longer than 255 bytes.
bool EncodeSavedGame(const SavedGameData& data, SavedGameRecord& record, std::string& why);

// Reads a record. Every count is kept within its field, so reading never leaves the
// record; what a game could not use (a wrong magic, a non-zero end marker, a count too
// large for its field, a card that is no card, a phase or stock index out of range) is
// listed in `problems`, and a record with problems must be refused.
SavedGameData DecodeSavedGame(const SavedGameRecord& record, std::vector<std::string>* problems);
// The record when it has no problems.
std::optional<SavedGameData> ReadSavedGame(const SavedGameRecord& record);

// The keyed checksum of a record: HMAC-SHA-256 over its bytes as upper-case hex text.
std::string SavedGameChecksum(const SavedGameRecord& record);
// Record, checksum and the closing zero byte.
std::string SavedGameFileBytes(const SavedGameRecord& record);

enum class SavedFileError { None, TooSmall, Checksum };

// The size and checksum test of a whole file. On success `record` holds the first 6068
// bytes. On a checksum error `difference` is the stored minus the computed character
// code at the first differing place, or the stored length minus 64 when one text begins
// the other.
struct SavedFileCheck {
    SavedFileError error = SavedFileError::None;
    int difference = 0;
    std::string storedChecksum;
    std::string computedChecksum;
    SavedGameRecord record;
};
SavedFileCheck CheckSavedGameFile(std::string_view file);

// The message for a file error ("Filesize too small", "Saved game checksum error(n)").
std::string SavedFileErrorText(const SavedFileCheck& check);
extern const char* const GameFailedToLoadText;

// A saved-game name becomes a file name in the data folder: it must not be empty, "."
// or "..", hold a path separator, a control character or one of  : * ? " < > |, end
// in a blank or a dot, or be longer than 200 bytes. False and a message otherwise.
bool CheckSavedGameName(const std::string& name, std::string& message);

// Cuts a text to at most `maxBytes` bytes without splitting a UTF-8 sequence.
std::string CutText(const std::string& text, size_t maxBytes);

}  // namespace skelda
