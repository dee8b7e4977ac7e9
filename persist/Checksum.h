// SHA-256 and HMAC-SHA-256, written here so the saved-game checksum and the score
// submission hash need no outside library. Texts are taken as 8-bit characters.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace skelda {

using Sha256Digest = std::array<uint8_t, 32>;

Sha256Digest Sha256(std::string_view data);
// 64 lower-case hexadecimal digits of the SHA-256 digest.
std::string Sha256Hex(std::string_view data);
// Two hexadecimal digits per byte, either case; a trailing odd digit is ignored and a
// pair that is not hexadecimal gives the byte of its valid digits (so nothing is read
// past the text).
std::string HexToBytes(std::string_view hex);
// Each byte as two hexadecimal digits.
std::string BytesToHex(std::string_view bytes, bool upperCase);
// HMAC (RFC 2104) with SHA-256, as 64 lower-case hexadecimal digits.
std::string HmacSha256Hex(std::string_view message, std::string_view key);

}  // namespace skelda
