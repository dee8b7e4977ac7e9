// The computer's name: a random line of the first-name list carried by the program.
#include <string_view>
#include <vector>

#include "game/Game.h"
#include "game/Random.h"

namespace skelda {

extern const unsigned char NamesText[];
extern const std::size_t NamesTextSize;

namespace {

// Each line: a name in capitals, then frequency, cumulative frequency and rank.
const std::vector<std::string_view>& NameLines() {
    static const std::vector<std::string_view> lines = [] {
        std::vector<std::string_view> out;
        std::string_view all(reinterpret_cast<const char*>(NamesText), NamesTextSize);
        while (!all.empty()) {
            size_t end = all.find('\n');
            std::string_view line = all.substr(0, end);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            if (!line.empty()) out.push_back(line);
            if (end == std::string_view::npos) break;
            all.remove_prefix(end + 1);
        }
        return out;
    }();
    return lines;
}

}  // namespace

void Game::PickOpponentName() {
    const auto& lines = NameLines();
    if (lines.empty()) return;
    std::string_view line = lines[Random(static_cast<uint32_t>(lines.size()))];
    const size_t start = line.find_first_not_of(' ');
    if (start == std::string_view::npos) return;
    line.remove_prefix(start);
    OpponentName = std::string(line.substr(0, line.find_first_of(" \t")));
}

size_t NameCount() {
    return NameLines().size();
}

}  // namespace skelda
