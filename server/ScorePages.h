// The pages the score server answers with: the top ten as HTML and as JSON, and the
// page after a submission. Names are Latin-1 bytes of any value; they leave here as
// UTF-8 text, escaped for where they go.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "server/ScoreStore.h"

namespace skelda {

std::string Latin1ToUtf8(std::string_view latin1);
// Text for an HTML element or a quoted attribute: & < > " ' as references, control
// characters (which have no place in a page) as U+FFFD.
std::string HtmlText(std::string_view latin1);
// A JSON string with its quotes; < > & are escaped too, so it is safe inside a page.
std::string JsonString(std::string_view latin1);
// "2026-12-08 09:30 UTC".
std::string UtcText(int64_t seconds);

std::string TopTenHtml(const std::vector<ScoreRow>& rows);
std::string TopTenJson(const std::vector<ScoreRow>& rows);
std::string SubmittedHtml(const std::string& name, int32_t score, int64_t rank);

}  // namespace skelda
