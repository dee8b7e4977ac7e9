// The end of a round: scoring, the round report, the decision at 500 points, the best
// score, and the score sheet.
#include <algorithm>

#include "game/Game.h"
#include "game/Random.h"
#include "persist/Statistics.h"

namespace skelda {

namespace {
const char* const kCrLf = "\r\n";
}

std::string Game::ScoreLines() const {
    std::string s = "# You " + OpponentName;
    for (size_t k = 0; k < YourScores.size(); ++k) {
        const int32_t theirs = k < OpponentScores.size() ? OpponentScores[k] : 0;
        s += kCrLf + std::to_string(k + 1) + ". " + std::to_string(YourScores[k]) + " " +
             std::to_string(theirs);
    }
    s += kCrLf;
    s += "-----------------";
    s += kCrLf + std::to_string(YourTotal()) + " " + std::to_string(OpponentTotal());
    return s;
}

std::string Game::RoundReport(RoundEndReason reason, const std::string& praise) const {
    std::string first;
    switch (reason) {
        case StockEmpty: first = "There are no more cards in the deck"; break;
        case HumanWentOut: first = praise + " You went out!"; break;
        case ComputerWentOut: first = OpponentName + " went out"; break;
    }
    return first + kCrLf + ScoreLines() + kCrLf + kCrLf +
           "Melds: " + std::to_string(MeldPoints(true)) + " " + std::to_string(MeldPoints(false)) +
           kCrLf + "Deadwood: " + std::to_string(HandPoints(YourHand)) + " " +
           std::to_string(HandPoints(OpponentHand));
}

bool Game::EndRound(RoundEndReason reason) {
    RoundActive = false;
    RepaintArea(Area::PaintBox1);

    // A round number below 1 only comes from a damaged position; score it as round 1.
    const size_t rounds = static_cast<size_t>(std::max<int32_t>(RoundNumber, 1));
    YourScores.resize(rounds, 0);
    OpponentScores.resize(rounds, 0);
    YourScores.back() = RoundScore(true);
    OpponentScores.back() = RoundScore(false);
    RepaintArea(Area::PaintBox1);

    const int you = YourTotal();
    const int them = OpponentTotal();
    PlaySoundId(you < them ? RandomRange(10, 12) : RandomRange(20, 23));

    std::string praise;
    if (reason == HumanWentOut) praise = PraiseWords[Random(3)];
    host.MessageBox("Round Over", RoundReport(reason, praise), Icon::None, Buttons::Ok);

    bool decided = false;
    if (you >= WinningTotal || them >= WinningTotal) {
        // Counted the moment the game is decided, before any box can be left open.
        if (you != them) RecordGameResult(host.Settings(), you > them, AILevel, you, HintUsed);
        if (you < them) {
            PlaySoundId(5);
            host.MessageBox("GameOver",
                            "You lost by " + std::to_string(int64_t{them} - you) + " point(s)",
                            Icon::Info, Buttons::Ok);
            decided = true;
        } else if (you > them) {
            PlaySoundId(4);
            SwitchTimer(TimerId::Timer5, true);
            host.MessageBox("GameOver", "Congradulations! You won the game.", Icon::Info,
                            Buttons::Ok);
            SubmitScore();
            const uint32_t best = host.Settings().ReadNumber("HighScore").value_or(0);
            if (you >= 0 && static_cast<uint32_t>(you) > best) {
                ShowInfo("You beat your last score.");
                host.Settings().WriteNumber("HighScore", static_cast<uint32_t>(you));
            }
            SwitchTimer(TimerId::Timer5, false);
            RepaintArea(Area::All);
            decided = true;
        }
    }
    if (decided &&
        host.MessageBox("Skelda", "Play again?", Icon::Question, Buttons::YesNo) == Answer::Yes)
        NewGame(false);
    return decided;
}

void Game::StatusBar1DblClick() {
    if (YourScores.empty()) {
        ShowInfo("Please finish 1 round to see score sheet");
        return;
    }
    host.MessageBox("Score Sheet", ScoreLines(), Icon::None, Buttons::Ok);
}

std::string Game::StatusText(const std::string& song) const {
    std::string name = song;
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.resize(dot);
    return "Round: " + std::to_string(RoundNumber) + ", You: " + std::to_string(YourTotal()) +
           ", " + OpponentName + ": " + std::to_string(OpponentTotal()) + ", " +
           std::to_string(RoundScore(true)) + " points for this round, " + OpponentName +
           " melded " + std::to_string(MeldPoints(false)) + " points - Song: " + name + " " +
           StatusPrompt;
}

std::string Game::GroupBox4Caption() const {
    return "Draw: " + std::to_string(52 - NextCard) +
           ", Discard: " + std::to_string(DiscardPile.size());
}

}  // namespace skelda
