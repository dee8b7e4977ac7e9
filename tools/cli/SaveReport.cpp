#include "tools/cli/SaveReport.h"

#include <sstream>

#include "persist/SavedGameFormat.h"
#include "persist/platform/GameFiles.h"
#include "tools/cli/CardText.h"

namespace skelda {

namespace {

bool ValidUtf8(const std::string& s) {
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const size_t n = c < 0x80         ? 1
                         : (c >> 5) == 6  ? 2
                         : (c >> 4) == 14 ? 3
                         : (c >> 3) == 30 ? 4
                                          : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

// Texts from a file may be in an 8-bit character set; such bytes are shown as the
// Latin-1 characters of their codes so the output stays valid JSON.
std::string Text(const std::string& s) {
    if (ValidUtf8(s)) return JsonString(s);
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c >= 0x80) {
            static const char digits[] = "0123456789abcdef";
            out += "\\u00";
            out += digits[c >> 4];
            out += digits[c & 15];
        } else {
            const std::string one = JsonString(std::string(1, static_cast<char>(c)));
            out += one.substr(1, one.size() - 2);
        }
    }
    return out + "\"";
}

std::string RecordJson(const SavedGameRecord& record, const SavedGameData& d) {
    std::string s = "{";
    auto key = [&](const char* k, const std::string& v) {
        if (s.size() > 1) s += ",";
        s += "\n    " + JsonString(k) + ": " + v;
    };
    key("magic", Text(std::string(reinterpret_cast<const char*>(record.bytes.data()), 4)));
    key("shuffleSeed", std::to_string(d.shuffleSeed));
    key("roundNumber", std::to_string(d.roundNumber));
    key("backID", std::to_string(d.backID));
    key("nextCard", std::to_string(d.nextCard));
    key("stateBits", std::to_string(d.stateBits));
    key("drawPhase", JsonBool(d.stateBits & StateDrawPhase));
    key("computerFirst", JsonBool(d.stateBits & StateComputerFirst));
    key("savedOnOpponentsTurn", JsonBool(d.stateBits & StateOpponentToMove));
    key("turnPhase", std::to_string(d.turnPhase));
    key("playerName", Text(d.playerName));
    key("opponentName", Text(d.opponentName));
    key("yourScores", NumbersJson(d.yourScores));
    key("opponentScores", NumbersJson(d.opponentScores));
    key("discardPile", CardsJson(d.discardPile));
    key("yourHand", CardsJson(d.yourHand));
    key("opponentHand", CardsJson(d.opponentHand));
    std::string melds = "[";
    for (size_t i = 0; i < d.melds.size(); ++i) melds += (i ? "," : "") + CardsJson(d.melds[i]);
    key("melds", melds + "]");
    key("deck", CardsJson(TCardList(d.deck.begin(), d.deck.end())));
    key("suitInterest", NumbersJson(d.suitInterest));
    key("rankInterest", NumbersJson(d.rankInterest));
    key("seenCards", MarksJson(d.seenCards));
    key("meldedCards", MarksJson(d.meldedCards));
    return s + "\n  }";
}

}  // namespace

int InspectSavedGame(const std::string& path, std::ostream& out) {
    std::string why;
    const std::optional<std::string> read = ReadGameFile(path, why);
    if (!read) {
        out << "{\"file\": " << Text(path)
            << ", \"error\": \"cannot read the file\", \"reason\": " << Text(why) << "}\n";
        return 2;
    }
    const std::string& file = *read;
    const SavedFileCheck check = CheckSavedGameFile(file);

    std::string message;
    std::vector<std::string> problems;
    std::string record = "null";
    if (check.error != SavedFileError::TooSmall) {
        const SavedGameData d = DecodeSavedGame(check.record, &problems);
        record = RecordJson(check.record, d);
    }
    if (check.error != SavedFileError::None)
        message = SavedFileErrorText(check);
    else if (!problems.empty())
        message = GameFailedToLoadText;
    const bool loads = message.empty();

    out << "{\n  \"file\": " << Text(path) << ",\n  \"size\": " << file.size();
    if (check.error == SavedFileError::TooSmall) {
        out << ",\n  \"checksum\": null";
    } else {
        out << ",\n  \"checksum\": {\"holds\": " << JsonBool(check.error == SavedFileError::None)
            << ", \"stored\": " << Text(check.storedChecksum)
            << ", \"computed\": " << JsonString(check.computedChecksum) << "}";
    }
    out << ",\n  \"loads\": " << JsonBool(loads)
        << ",\n  \"message\": " << (loads ? "null" : JsonString(message)) << ",\n  \"problems\": [";
    for (size_t i = 0; i < problems.size(); ++i) out << (i ? ", " : "") << JsonString(problems[i]);
    out << "],\n  \"record\": " << record << "\n}\n";
    return loads ? 0 : 1;
}

}  // namespace skelda
