// The score submission address, the best score commands and the option dialogs.
#include <gtest/gtest.h>

#include <sstream>

#include "game/Random.h"
#include "persist/Checksum.h"
#include "persist/ScoreSubmission.h"
#include "tests/unit/TestSession.h"
#include "tools/cli/CliSession.h"

using namespace skelda;

namespace {

struct Session : TestSession {
    Session() : TestSession(77) {}
};

}  // namespace

TEST(Score, UrlEncodeKeepsOnlyTheSafeCharacters) {
    EXPECT_EQ(UrlEncode("Ann Lee"), "Ann+Lee");
    EXPECT_EQ(UrlEncode("a&b"), "a%26b");
    EXPECT_EQ(UrlEncode("\xe9"), "%E9");
    EXPECT_EQ(UrlEncode("!$'()*-._@azAZ09"), "!$'()*-._@azAZ09");
    EXPECT_EQ(UrlEncode("~%+/=?#\x01\x7f"), "%7E%25%2B%2F%3D%3F%23%01%7F");
    EXPECT_EQ(UrlEncode(""), "");
    const std::string all(255, '\xff');
    EXPECT_EQ(UrlEncode(all).size(), 3 * all.size());
}

TEST(Score, RandomTokenIsSixteenDrawsInUpperCaseHex) {
    SetRandSeed(1234);
    std::string expected;
    for (int i = 0; i < 16; ++i) expected += static_cast<char>(Random(256));
    SetRandSeed(1234);
    const std::string token = RandomToken();
    EXPECT_EQ(token, BytesToHex(expected, true));
    EXPECT_EQ(token.size(), 32u);
}

TEST(Score, SubmissionCarriesNameTotalSeedNonceAndTheirHash) {
    Session s;
    s.cli->game().YourScores = {300, 250};
    SetRandSeed(0xFFFFFFFE);  // read as signed: -2
    s.cli->host().answers.push_back({"text", "  Ann & Bo\t"});
    s.cli->game().SubmitScore();
    SetRandSeed(0xFFFFFFFE);
    const std::string nonce = RandomToken();
    const std::string hash = HmacSha256Hex("Ann & Bo550-2" + nonce, "mXr4TqZ8vLk2PwN6hJsB");
    EXPECT_NE(s.out.str().find("INPUT \"High Score Submit\" \"Enter your name\""),
              std::string::npos);
    EXPECT_NE(s.out.str().find("OPEN \"https://scores.orvandel.example/skeldaScores/"
                               "submit.php?u=Ann+%26+Bo&s=550&i=-2&c=" +
                               hash + "&n=" + nonce + "\""),
              std::string::npos)
        << s.out.str();
    EXPECT_EQ(s.cli->game().PlayerName, s.cli->host().LogonName());  // unchanged

    // Cancel sends nothing.
    s.out.str("");
    s.cli->game().SubmitScore();
    EXPECT_EQ(s.out.str().find("OPEN"), std::string::npos);

    // A name far longer than a player name is cut to 255 bytes before it is sent.
    s.out.str("");
    s.cli->host().answers.push_back({"text", std::string(5000, '&')});
    s.cli->game().SubmitScore();
    const size_t u = s.out.str().find("u=");
    const size_t amp = s.out.str().find("&s=");
    EXPECT_EQ(amp - u - 2, 255u * 3);
}

TEST(Score, HighestScoreAndTheTopTenPage) {
    Session s;
    EXPECT_NE(s.Run("menu highest-score").find("MSG info \"Skelda\" \"No score saved\" ok"),
              std::string::npos);
    s.Run("setting-number HighScore 720");
    EXPECT_NE(s.Run("menu highest-score").find("MSG none \"Skelda Stats\" \"720 points\" ok"),
              std::string::npos);
    const std::string out = s.Run("seed 0\nmenu top-ten");
    // The driver has no process number; the fraction is the next seed, 1, over 2^32.
    EXPECT_NE(
        out.find("OPEN \"https://scores.orvandel.example/skeldaScores/?pid=2.3283064365387e-10\""),
        std::string::npos)
        << out;
}

TEST(Score, YourNameAndTheOddsDialogs) {
    Session s;
    std::string out = s.Run("answer text:Ann%20Lee\nmenu your-name\nshow-setting Username");
    EXPECT_NE(out.find("INPUT \"Change Username\" \"Enter your new name\""), std::string::npos);
    EXPECT_NE(out.find("SETTING Username text \"Ann Lee\""), std::string::npos);
    // Cancel stores the unchanged name again.
    out = s.Run("setting-delete Username\nmenu your-name\nshow-setting Username");
    EXPECT_NE(out.find("SETTING Username text \"Ann Lee\""), std::string::npos);

    // Refused answers ask again; 2 is the smallest bound accepted.
    out = s.Run("answer text:1 text:abc text: text:2147483648 text:2\nmenu odds-pickup");
    size_t refusals = 0;
    for (size_t at = 0; (at = out.find("The range must be a whole number between 2 and 2147483647",
                                       at)) != std::string::npos;
         ++at)
        ++refusals;
    EXPECT_EQ(refusals, 4u);
    EXPECT_EQ(s.cli->game().OddPickup, 2u);
    EXPECT_NE(s.Run("show-setting OddPickup").find("number 2"), std::string::npos);
    EXPECT_NE(out.find("INPUT \"Pickup more than one card\" \"Enter the maximum random "
                       "number.\\nSmaller number means more of a chance the computer does this "
                       "action\" \"2147483647\""),
              std::string::npos)
        << out;
    // Cancel keeps the current bound and stores it again.
    out = s.Run("menu odds-easy\nshow-setting OddEasy");
    EXPECT_NE(out.find("SETTING OddEasy number 2147483647"), std::string::npos);
    // A bound out of range from a hand-edited store: cancel ends the dialog unchanged.
    s.cli->game().OddEasy = 1;
    out = s.Run("menu odds-easy");
    EXPECT_EQ(s.cli->game().OddEasy, 1u);
    EXPECT_NE(out.find("MSG error"), std::string::npos);
}
