#include "server/Submission.h"

#include <charconv>
#include <map>
#include <mutex>

#include "game/Random.h"
#include "persist/Checksum.h"
#include "persist/ScoreSubmission.h"

namespace skelda {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A signed decimal number exactly as std::to_string writes an int32_t: an optional
// "-", no leading zeros, no plus sign.
std::optional<int32_t> CanonicalInt(std::string_view text) {
    int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    if (std::to_string(value) != text) return std::nullopt;
    return value;
}

bool AllHex(std::string_view text, size_t length, bool upper) {
    if (text.size() != length) return false;
    for (char c : text) {
        const bool digit = c >= '0' && c <= '9';
        const bool letter = upper ? (c >= 'A' && c <= 'F') : (c >= 'a' && c <= 'f');
        if (!digit && !letter) return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> UrlDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%') {
            if (i + 2 >= text.size()) return std::nullopt;
            const int hi = HexDigit(text[i + 1]), lo = HexDigit(text[i + 2]);
            if (hi < 0 || lo < 0) return std::nullopt;
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<Submission> ParseSubmission(std::string_view query, std::string& why) {
    std::map<std::string, std::string, std::less<>> fields;
    while (!query.empty()) {
        const size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        const size_t eq = pair.find('=');
        const std::string_view key = pair.substr(0, eq);
        if (key.size() != 1 || std::string_view("uscin").find(key[0]) == std::string_view::npos)
            continue;
        if (fields.count(key)) {
            why = "the field " + std::string(key) + " is given twice";
            return std::nullopt;
        }
        fields.emplace(key, eq == std::string_view::npos ? "" : pair.substr(eq + 1));
    }
    for (const char* key : {"u", "s", "i", "c", "n"}) {
        if (!fields.count(key)) {
            why = std::string("the field ") + key + " is missing";
            return std::nullopt;
        }
    }
    Submission s;
    const auto name = UrlDecode(fields["u"]);
    if (!name) return why = "the name (u) is not URL-encoded", std::nullopt;
    if (name->size() > MaxNameBytes) return why = "the name (u) is too long", std::nullopt;
    s.name = *name;
    const auto score = CanonicalInt(fields["s"]);
    if (!score) return why = "the score (s) is not a whole number", std::nullopt;
    const auto seed = CanonicalInt(fields["i"]);
    if (!seed) return why = "the seed (i) is not a whole number", std::nullopt;
    s.score = *score;
    s.seed = *seed;
    s.scoreText = fields["s"];
    s.seedText = fields["i"];
    s.hash = fields["c"];
    if (!AllHex(s.hash, 64, false))
        return why = "the hash (c) is not 64 hexadecimal digits", std::nullopt;
    s.nonce = fields["n"];
    if (!AllHex(s.nonce, 32, true))
        return why = "the nonce (n) is not 32 hexadecimal digits", std::nullopt;
    return s;
}

bool HashHolds(const Submission& s) {
    return HmacSha256Hex(s.name + s.scoreText + s.seedText + s.nonce, ScoreHashKey) == s.hash;
}

bool NonceHolds(const Submission& s) {
    // The generator is one per process; requests are answered on several threads.
    static std::mutex generator;
    std::lock_guard lock(generator);
    SetRandSeed(static_cast<uint32_t>(s.seed));
    return RandomToken() == s.nonce;
}

bool ScoreInRange(const Submission& s) {
    return s.score >= 0 && s.score <= MaxGameTotal;
}

}  // namespace skelda
