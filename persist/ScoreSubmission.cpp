// The best score, the online score submission and the top-ten page.
#include "persist/ScoreSubmission.h"

#include <charconv>

#include "game/Game.h"
#include "game/Random.h"
#include "persist/Checksum.h"
#include "persist/SavedGameFormat.h"

#ifndef SKELDA_SCORE_HOST
#define SKELDA_SCORE_HOST "scores.orvandel.example"
#endif

namespace skelda {

const char* ScoreServerHost() {
    return SKELDA_SCORE_HOST;
}

std::string UrlEncode(const std::string& text) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (unsigned char c : text) {
        const bool plain =
            (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
            std::string_view("!$'()*-._@").find(static_cast<char>(c)) != std::string_view::npos;
        if (plain) {
            out += static_cast<char>(c);
        } else if (c == ' ') {
            out += '+';
        } else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

std::string RandomToken() {
    std::string bytes;
    for (int i = 0; i < 16; ++i) bytes += static_cast<char>(Random(256));
    return BytesToHex(bytes, true);
}

std::string TrimName(const std::string& name) {
    size_t begin = 0, end = name.size();
    auto blankOrControl = [](unsigned char c) { return c <= ' ' || c == 0x7F; };
    while (begin < end && blankOrControl(name[begin])) ++begin;
    while (end > begin && blankOrControl(name[end - 1])) --end;
    return name.substr(begin, end - begin);
}

std::string ScoreSubmitAddress(const std::string& name, int total, int32_t seed,
                               const std::string& nonce) {
    const std::string score = std::to_string(total);
    const std::string seedText = std::to_string(seed);
    const std::string hash = HmacSha256Hex(name + score + seedText + nonce, ScoreHashKey);
    return std::string("https://") + ScoreServerHost() +
           "/skeldaScores/submit.php?u=" + UrlEncode(name) + "&s=" + score + "&i=" + seedText +
           "&c=" + hash + "&n=" + nonce;
}

// The address goes to the host whole; nothing here has a fixed-size buffer, and the
// name that makes an address long is cut to a player name's 255 bytes beforehand.
void Game::OpenWebPage(const std::string& address) {
    host.OpenWebAddress(address);
}

void Game::SubmitScore() {
    const auto answer = host.InputBox("High Score Submit", "Enter your name", PlayerName);
    if (!answer) return;
    const std::string name = CutText(TrimName(*answer), SavedMaxName);
    const int32_t seed = static_cast<int32_t>(RandSeed());
    const std::string nonce = RandomToken();
    OpenWebPage(ScoreSubmitAddress(name, YourTotal(), seed, nonce));
}

void Game::HighestScore1Click() {
    const auto best = host.Settings().ReadNumber("HighScore");
    if (!best) {
        ShowInfo("No score saved");
        return;
    }
    host.MessageBox("Skelda Stats", std::to_string(*best) + " points", Icon::None, Buttons::Ok);
}

void Game::OnlineTopTenScores1Click() {
    const double x = static_cast<double>(host.ProcessId()) + RandomFraction();
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general, 15);
    OpenWebPage(std::string("https://") + ScoreServerHost() +
                "/skeldaScores/?pid=" + std::string(buffer, result.ptr));
}

}  // namespace skelda
