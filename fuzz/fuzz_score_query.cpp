// libFuzzer target: the score server's reading of a submission query and the escaping
// of whatever name it yields, on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "server/ScorePages.h"
#include "server/Submission.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view query(reinterpret_cast<const char*>(data), size);
    std::string why;
    const auto s = skelda::ParseSubmission(query, why);
    if (!s) return why.empty() ? (std::abort(), 0) : 0;
    if (s->name.size() > skelda::MaxNameBytes || s->nonce.size() != 32 || s->hash.size() != 64)
        std::abort();
    skelda::HashHolds(*s);
    skelda::NonceHolds(*s);
    // Escaped names never carry markup or a bare quote.
    const std::string html = skelda::HtmlText(s->name);
    if (html.find_first_of("<>\"'") != std::string::npos) std::abort();
    const std::string json = skelda::JsonString(s->name);
    if (json.substr(1, json.size() - 2).find_first_of("<>") != std::string::npos) std::abort();
    skelda::TopTenHtml({{1, s->name, s->score, s->seed}});
    return 0;
}
