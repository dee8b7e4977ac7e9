// A score submission as the game sends it: the query of "submit.php" read back into
// name, total, seed and nonce, and the checks that tell a real one from a made-up one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace skelda {

// The highest total one game can reach. A round's score is the points a side melded
// less its deadwood, and all 52 cards together are worth 4 x 15 (Aces) + 36 x 5
// (2 to Ten) + 12 x 10 (Jack, Queen, King) = 360, so no side gains more than 360 in
// a round. The game ends after the first round in which a total reaches 500 and the
// totals differ. Before that round both totals were below 500, so the winner has at
// most 499 + 360 = 859 -- unless the previous round ended in a tie at 500 or more,
// which plays on. That tie came from two totals below 500 whose gains together are at
// most 360, so the tie is at most (499 + 499 + 360) / 2 = 679, and the round after it
// ends at most 679 + 360 = 1039. Each further tie at 500 or more could add 180 to
// both; a game with two of them is so unlikely that 1039 is the ceiling.
constexpr int MaxGameTotal = 1039;

// Percent-encoded bytes at most in a name; the game cuts names to this many.
constexpr size_t MaxNameBytes = 255;

struct Submission {
    std::string name;  // the player's name as 8-bit (Latin-1) characters
    int32_t score = 0;
    int32_t seed = 0;
    std::string scoreText, seedText;  // as sent; they are what the hash covers
    std::string hash;                 // 64 lower-case hexadecimal digits
    std::string nonce;                // 32 upper-case hexadecimal digits
};

// Reads the raw query (after "?"): the keys u, s, i, c and n once each (others are
// ignored). Nothing, with the field at fault in `why`, when one is missing, repeated or
// not in the form the game writes.
std::optional<Submission> ParseSubmission(std::string_view query, std::string& why);

// Whether the hash is the keyed hash of name, total, seed and nonce.
bool HashHolds(const Submission& s);
// Whether the nonce is the one the game's generator draws from the seed.
bool NonceHolds(const Submission& s);
bool ScoreInRange(const Submission& s);

// "+" as a blank and "%" with two hexadecimal digits as that byte; nothing for a "%"
// without two digits after it.
std::optional<std::string> UrlDecode(std::string_view text);

}  // namespace skelda
