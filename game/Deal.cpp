// A new game, a new round, the shuffle and the deal paced by Timer1.
#include "game/Game.h"
#include "game/Random.h"

namespace skelda {

void Game::NewGame(bool fromMenu) {
    if (fromMenu && host.MessageBox("Skelda", "Are you sure you want to start a new game?",
                                    Icon::Warning, Buttons::YesNo) != Answer::Yes)
        return;
    // A computer turn that was due belongs to the old game.
    if (timers.Timer4) SwitchTimer(TimerId::Timer4, false);
    YourScores.clear();
    OpponentScores.clear();
    RoundNumber = 0;
    HintUsed = false;
    NewRound();
}

void Game::NewRound() {
    RankInterest.fill(0);
    SuitInterest.fill(0);
    SeenCards.fill(0);
    GroupBox1Caption = OpponentName + " Melds";
    ComputerFirst = !ComputerFirst;
    StatusPrompt = ComputerFirst ? OpponentName + " goes first" : "You go first";
    DiscardPile.clear();
    YourHand.clear();
    OpponentHand.clear();
    Melds.clear();
    ++RoundNumber;
    RepaintArea(Area::All);
    NewDeck();
    if (GamesPlayed == -1) GamesPlayed = 0;
    // A stored 32-bit count: past the largest value it wraps instead of overflowing.
    GamesPlayed = static_cast<int32_t>(static_cast<uint32_t>(GamesPlayed) + 1u);
    host.Settings().WriteNumber("GamesPlayed", static_cast<uint32_t>(GamesPlayed));
    ShuffleDeck();
    const uint32_t shuffles = Random(4) + 1;
    for (uint32_t i = 0; i < shuffles; ++i) PlaySoundId(2);
    SwitchTimer(TimerId::Timer1, true);
    HumansTurn = !ComputerFirst;
    SetTurnPhase(1);
}

void Game::NewDeck() {
    MeldedCards.fill(0);
    LastComputerTurn = ComputerTurnRecord{};
    NextCard = 0;
    RoundActive = true;
    int k = 0;
    for (uint8_t suit = 0; suit < 4; ++suit)
        for (uint8_t rank = 0; rank < 13; ++rank) Deck[k++] = TCard{suit, rank, 0};
}

void Game::ShuffleDeck() {
    ShuffleSeed = RandSeed();
    for (int i = 0; i < 52; ++i) {
        const uint32_t j = Random(52);
        std::swap(Deck[i], Deck[j]);
    }
}

bool Game::RandomFirstPlayer() {
    return Random(2) == 1;
}

void Game::Timer1Timer() {
    if (!timers.Timer1) return;
    bool got = false;
    TCard c = TakeFromStock(got);
    if (got) AppendCard(OpponentHand, c);
    PlaySoundId(3);
    RepaintArea(Area::PaintBox1);
    c = TakeFromStock(got);
    if (got) AppendCard(YourHand, c);
    PlaySoundId(3);
    RepaintArea(Area::PaintBox4);
    if (NextCard >= 14) {
        SwitchTimer(TimerId::Timer1, false);
        c = TakeFromStock(got);
        if (got) {
            AppendCard(DiscardPile, c);
            WriteLog("The top card is a " + CardName(c, " Of "));
        }
        HumansTurn = !ComputerFirst;
        if (ComputerFirst) {
            SetTurnPhase(0);
            host.Pause(512);
            SwitchTimer(TimerId::Timer4, true);
        } else {
            SetTurnPhase(1);
        }
        NoteStableState(false);
    }
    RepaintArea(Area::PaintBox5);
    RepaintArea(Area::PaintBox6);
}

}  // namespace skelda
