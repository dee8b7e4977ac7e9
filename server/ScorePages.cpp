#include "server/ScorePages.h"

#include <ctime>

namespace skelda {

namespace {

void AppendUtf8(std::string& out, unsigned char c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsControl(unsigned char c) {
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

const char* const PageHead =
    "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
    "<title>Skelda Top Ten Scores</title>\n<style>\n"
    "body { font-family: sans-serif; background: #0b5d2a; color: #f4f1e6; margin: 2em; }\n"
    "h1 { font-weight: normal; }\n"
    "table { border-collapse: collapse; background: #0e6e33; }\n"
    "th, td { padding: 0.35em 0.9em; border-bottom: 1px solid #2f8c52; text-align: left; }\n"
    "td.points, th.points { text-align: right; }\n"
    "td.name { max-width: 40em; overflow-wrap: anywhere; }\n"
    "a { color: #ffe58a; }\n"
    "</style>\n</head>\n<body>\n";

}  // namespace

std::string Latin1ToUtf8(std::string_view latin1) {
    std::string out;
    for (unsigned char c : latin1) AppendUtf8(out, c);
    return out;
}

std::string HtmlText(std::string_view latin1) {
    std::string out;
    for (unsigned char c : latin1) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default:
                if (IsControl(c))
                    out += "\xEF\xBF\xBD";
                else
                    AppendUtf8(out, c);
        }
    }
    return out;
}

std::string JsonString(std::string_view latin1) {
    static const char digits[] = "0123456789abcdef";
    std::string out = "\"";
    for (unsigned char c : latin1) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == '<' || c == '>' || c == '&' || c == 0x7F) {
            out += "\\u00";
            out += digits[c >> 4];
            out += digits[c & 15];
        } else {
            AppendUtf8(out, c);
        }
    }
    return out + "\"";
}

std::string UtcText(int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M UTC", &tm);
    return buffer;
}

std::string TopTenHtml(const std::vector<ScoreRow>& rows) {
    std::string page = PageHead;
    page += "<h1>Skelda Top Ten Scores</h1>\n";
    if (rows.empty()) {
        page += "<p>No scores yet.</p>\n";
    } else {
        page +=
            "<table>\n<thead><tr><th>#</th><th>Name</th><th class=\"points\">Points</th>"
            "<th>Date</th></tr></thead>\n<tbody>\n";
        for (const ScoreRow& r : rows) {
            page += "<tr><td>" + std::to_string(r.rank) + "</td><td class=\"name\">" +
                    HtmlText(r.name) + "</td><td class=\"points\">" + std::to_string(r.score) +
                    "</td><td>" + UtcText(r.time) + "</td></tr>\n";
        }
        page += "</tbody>\n</table>\n";
    }
    return page + "</body>\n</html>\n";
}

std::string TopTenJson(const std::vector<ScoreRow>& rows) {
    std::string out = "{\"scores\":[";
    for (size_t i = 0; i < rows.size(); ++i) {
        const ScoreRow& r = rows[i];
        if (i) out += ',';
        out += "{\"rank\":" + std::to_string(r.rank) + ",\"name\":" + JsonString(r.name) +
               ",\"score\":" + std::to_string(r.score) + ",\"time\":" + std::to_string(r.time) +
               "}";
    }
    return out + "]}\n";
}

std::string SubmittedHtml(const std::string& name, int32_t score, int64_t rank) {
    std::string page = PageHead;
    page += "<h1>Score recorded</h1>\n<p>" + HtmlText(name) + ", your " + std::to_string(score) +
            " points are number " + std::to_string(rank) +
            " on the table.</p>\n<p><a href=\"/skeldaScores/\">The top ten scores</a></p>\n";
    return page + "</body>\n</html>\n";
}

}  // namespace skelda
