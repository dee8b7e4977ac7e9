// Runs every transcript in tests/transcripts through the headless driver, in-process.
// A transcript alternates "> command" lines with the event lines the command must print;
// "..." matches any number of lines and "~ text" a line containing text. "@options" lines
// at the top give the driver's command-line options (default --seed 0).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tools/cli/CliSession.h"

using namespace skelda;

namespace {

struct Step {
    std::string command;
    std::vector<std::string> expected;
    int line = 0;
};

bool LineMatches(const std::string& pattern, const std::string& actual) {
    if (pattern.rfind("~ ", 0) == 0) return actual.find(pattern.substr(2)) != std::string::npos;
    return pattern == actual;
}

bool Matches(const std::vector<std::string>& pat, size_t p, const std::vector<std::string>& act,
             size_t a) {
    if (p == pat.size()) return a == act.size();
    if (pat[p] == "...") {
        for (size_t k = a; k <= act.size(); ++k)
            if (Matches(pat, p + 1, act, k)) return true;
        return false;
    }
    return a < act.size() && LineMatches(pat[p], act[a]) && Matches(pat, p + 1, act, a + 1);
}

std::vector<std::string> SplitLines(const std::string& s) {
    std::vector<std::string> lines;
    std::istringstream in(s);
    std::string l;
    while (std::getline(in, l)) lines.push_back(l);
    return lines;
}

std::string Join(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines) s += "    " + l + "\n";
    return s;
}

std::vector<std::string> TranscriptFiles() {
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(SKELDA_TRANSCRIPTS))
        if (e.path().extension() == ".txt") files.push_back(e.path().stem().string());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

class Transcript : public ::testing::TestWithParam<std::string> {};

TEST_P(Transcript, PrintsTheExpectedEvents) {
    const std::string path = std::string(SKELDA_TRANSCRIPTS) + "/" + GetParam() + ".txt";
    std::ifstream in(path);
    ASSERT_TRUE(in) << path;
    std::vector<std::string> args = {"--seed", "0"};
    std::vector<Step> steps;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("@options", 0) == 0) {
            std::istringstream words(line.substr(8));
            std::string w;
            args.clear();
            while (words >> w) args.push_back(w);
            if (std::find(args.begin(), args.end(), "--seed") == args.end()) {
                args.push_back("--seed");
                args.push_back("0");
            }
        } else if (line.rfind("> ", 0) == 0) {
            steps.push_back({line.substr(2), {}, number});
        } else if (!line.empty() && line[0] != '#') {
            ASSERT_FALSE(steps.empty())
                << path << ":" << number << ": expected line before any command";
            steps.back().expected.push_back(line);
        }
    }
    std::string error;
    auto options = ParseCliOptions(args, error);
    ASSERT_TRUE(options) << error;
    std::ostringstream out;
    CliSession session(*options, out);
    for (const Step& step : steps) {
        out.str("");
        session.Execute(step.command);
        const auto actual = SplitLines(out.str());
        EXPECT_TRUE(Matches(step.expected, 0, actual, 0))
            << GetParam() << ".txt:" << step.line << ": > " << step.command << "\nexpected:\n"
            << Join(step.expected) << "printed:\n"
            << Join(actual);
        if (HasFailure()) return;
    }
}

INSTANTIATE_TEST_SUITE_P(All, Transcript, ::testing::ValuesIn(TranscriptFiles()),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });
