// The pieces of the online score submission that need no game: URL encoding, the
// random nonce and the submission address with its keyed hash.
#pragma once

#include <cstdint>
#include <string>

namespace skelda {

constexpr const char* ScoreHashKey = "mXr4TqZ8vLk2PwN6hJsB";
// The score server's host name, fixed when the program is built.
const char* ScoreServerHost();

// Letters, digits and ! $ ' ( ) * - . _ @ stay; a blank becomes "+"; every other byte
// becomes "%" and two upper-case hexadecimal digits.
std::string UrlEncode(const std::string& text);
// 16 draws of Random(256) as 32 upper-case hexadecimal digits.
std::string RandomToken();
// The name with leading and trailing blanks and control characters removed.
std::string TrimName(const std::string& name);
// The submission address for a name, a total, the generator seed and a nonce.
std::string ScoreSubmitAddress(const std::string& name, int total, int32_t seed,
                               const std::string& nonce);

}  // namespace skelda
