// The game: its whole state and every handler of the table. One object, one game at a
// time. The methods are implemented in one file per concept:
//   game/     Game.cpp (the state's primitives, the turn phase, effects through the host),
//             Deal.cpp (new game, new round, the deal), MeldRules.cpp, PlayerTurn.cpp,
//             RoundEnd.cpp, OpponentName.cpp
//   opponent/ ComputerTurn.cpp, ComputerDraw.cpp, ComputerMeld.cpp, ComputerDiscard.cpp,
//             OddChance.cpp
//   persist/  SavedGame.cpp, Recovery.cpp, Startup.cpp, ScoreSubmission.cpp, Options.cpp
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "game/Advice.h"
#include "game/Card.h"
#include "game/Host.h"
#include "game/TakeBack.h"

namespace skelda {

struct SavedGameRecord;
struct HintAdvice;

enum class MouseButton { Left, Right, Middle };

// Why a round ended.
enum RoundEndReason { StockEmpty = 0, HumanWentOut = 1, ComputerWentOut = 2 };

constexpr int CardWidth = 71;
constexpr int CardHeight = 96;
constexpr int CardStep = 16;
constexpr int WinningTotal = 500;
constexpr uint32_t MaxOdds = 2147483647u;

// Which of the human's controls accept input.
struct Controls {
    bool PaintBox4 = false;  // the hand
    bool PaintBox5 = false;  // the stock
    bool PaintBox6 = false;  // the discard pile
    bool Button1 = false;    // "&Meld"
    bool Button2 = false;    // "&Discard"
    bool SaveGame1 = true;   // the "Save Game" menu item
};

// What the computer did in its last turn, for the table to show: its cards are marked until
// the human acts, and its line stays through the human's whole turn. Kept in memory only: a
// saved game does not carry it.
struct ComputerTurnRecord {
    bool recorded = false;  // the computer has played a turn in this round
    bool marked = true;     // its cards are marked: the human has not acted since
    bool drewFromStock = false;
    TCardList taken;                // cards taken from the discard pile, bottom first
    std::vector<TCardList> melded;  // each new meld as laid
    TCardList laidOff;              // cards put onto melds already on the table
    bool discarded = false;
    TCard discard{};
    // Whether the card is one the turn took from the pile, melded or laid off.
    bool Marks(TCard c) const;
};

struct Timers {
    bool Timer1 = false;  // the deal, 2048 ms
    bool Timer4 = false;  // the computer's turn, 1024 ms
    bool Timer5 = false;  // the win animation, 1024 ms
};

// The order that moves the cards at `moved` (any order, indices of a list of `count`)
// together, in their own order, in front of the card now at `before` (count: to the end).
std::vector<int> MoveWithin(size_t count, const std::vector<int>& moved, int before);

class Game {
public:
    explicit Game(Host& host);

    Host& host;

    // --- Cards, piles and scores ---
    std::array<TCard, 52> Deck{};
    int32_t NextCard = 0;
    TCardList DiscardPile;
    TCardList YourHand;
    TCardList OpponentHand;
    std::vector<TCardList> Melds;
    std::vector<int32_t> YourScores;
    std::vector<int32_t> OpponentScores;

    // --- Round and turn ---
    int32_t RoundNumber = 0;
    bool RoundActive = true;
    uint8_t TurnPhase = 0;
    bool HumansTurn = false;
    bool ComputerFirst = false;
    std::string StatusPrompt;
    int32_t PickupIndex = 0;
    uint32_t ShuffleSeed = 0;
    std::string PlayerName;
    std::string OpponentName;

    // --- The computer's memory and the meld bookkeeping ---
    std::array<int32_t, 13> RankInterest{};
    std::array<int32_t, 4> SuitInterest{};
    std::array<uint8_t, 52> SeenCards{};    // rank-major
    std::array<uint8_t, 52> MeldedCards{};  // rank-major
    bool HavePickedCard = false;            // PickedCard: only whether one is held matters
    int PickedExtras = 0;                   // only the count of the further cards matters
    bool DiscardRunTaken = false;

    // --- Controls, timers, captions ---
    Controls controls;
    Timers timers;
    std::string GroupBox1Caption;
    ComputerTurnRecord LastComputerTurn;

    // --- Options (settings read at start-up and changed by the menu) ---
    uint8_t AILevel = 1;
    uint8_t AIBehaviour = 1;
    uint32_t OddPickup = MaxOdds;
    uint32_t OddEasy = MaxOdds;
    bool NoSound = false;
    int32_t GamesPlayed = 0;

    // --- Saved games ---
    std::string SavedGameName = "MyGame";
    std::string StartupGameName = "MyGame";
    bool SavedOnOpponentsTurn = false;
    uint8_t BackID = 0;
    bool RecoveryFailing = false;  // the last recovery write failed (said once in the log)

    // ===== Primitives =====
    TCard TakeFromStock(bool& got);
    TCardList SelectedCards() const;
    void RemoveSelected();
    int HandIndexAt(int x, size_t count) const;
    int MeldPoints(bool yours) const;
    int RoundScore(bool yours) const;
    bool GameInPlay() const;
    void SetTurnPhase(uint8_t phase);
    int YourTotal() const;
    int OpponentTotal() const;

    // ===== Effects through the host =====
    bool PlaySoundId(int id, bool noStop = false);
    void WriteLog(const std::string& message);
    // Repaints an area now; repainting the discard pile marks its cards as seen.
    void RepaintArea(Area area);
    void MarkDiscardsSeen();
    void SwitchTimer(TimerId timer, bool on);
    void ShowError(const std::string& text);
    void ShowInfo(const std::string& text);

    // ===== The deal =====
    void NewGame(bool fromMenu);
    void NewRound();
    void NewDeck();
    void ShuffleDeck();
    void Timer1Timer();
    bool RandomFirstPlayer();
    void PickOpponentName();
    bool DealInProgress() const { return timers.Timer1; }

    // ===== Meld rules =====
    static bool IsSet(const TCardList& list);
    static bool IsRun(const TCardList& list);
    static bool IsValidMeld(const TCardList& list);
    static bool CanLayOff(const TCardList& meld, TCard card);
    static bool HoldsAceAndTwo(uint8_t suit, const TCardList& a, const TCardList& b);
    void AddMeld(const TCardList& list);
    void AddToMeld(TCardList& meld, TCard card);
    void NoteMelded(TCard card);
    void LogMeld(const std::string& who, const TCardList& list);
    bool LayOffSelected();
    bool CanTakeDiscards(int index, const TCardList& hand);
    void TakeDiscards(TCardList& hand);

    // ===== The human's turn =====
    void PaintBox4MouseUp(MouseButton button, int x);
    void PaintBox5MouseUp(MouseButton button, int x, int y);
    void PaintBox6MouseUp(MouseButton button, int x, int y);
    // A release on the middle band outside the stock and pile areas; `pileTop` is the
    // top of the discard-pile area in the band's coordinates.
    void GroupBox4MouseUp(MouseButton button, int y, int pileTop);
    void Button1Click();
    void Button2Click();
    // Puts the hand in a new order: order[k] is the index of the card that goes to place k.
    // False, and nothing changed, unless order names every card of the hand once.
    bool ArrangeHand(const std::vector<int>& order);

    // ===== Round end =====
    bool EndRound(RoundEndReason reason);
    std::string RoundReport(RoundEndReason reason, const std::string& praise) const;
    std::string ScoreLines() const;
    void StatusBar1DblClick();
    // The status line as the status timer builds it; `song` is the current song's name.
    std::string StatusText(const std::string& song) const;
    std::string GroupBox4Caption() const;

    // ===== The computer =====
    void Timer4Timer();
    void ComputerTurn();
    TCard ComputerDraw(bool topCardLaysOff);
    bool FitsHand(TCard x) const;
    bool ConnectsToHand(TCard x) const;
    bool ComputerMeld();
    void ComputerLayOff();
    void ShowOpponentFloating();
    void ComputerDiscard(TCard obtained);
    int DiscardScore(TCard x) const;
    int SeenScore(TCard x) const;
    static bool OddChance(uint32_t bound);
    // One line about the computer's last turn ("LILA took 8 cards from the pile, melded
    // 7♦ 8♦ 9♦ and discarded the King of Clubs"); empty when none is recorded.
    std::string ComputerTurnSummary() const;
    // The human acted: the marks of the computer's turn go, and the areas they were on
    // are repainted. The line that names the turn stays until the computer's next turn.
    void ForgetComputerTurn();

    // ===== Taking back, hints and why a move was refused =====
    // The human's actions of this turn that can be taken back, the latest last.
    TakeBackHistory TakeBackSteps;
    // The hint or refusal shown beside the pile, for the state it was given in.
    TableAdvice Advice;
    bool HintUsed = false;  // a hint was given in this game (the statistics count it)
    TurnSnapshot Snapshot() const;
    // Notes an action of the human that began at `before` (see TurnAction).
    void NoteTurnAction(TakeBackKind kind, const TurnSnapshot& before);
    bool CanTakeBack() const;
    // Game > Take Back: false, and nothing changed, when there is nothing to take back.
    bool TakeBack1Click();
    // Help > Hint: the advice, marked on the table with its line beside the pile.
    HintAdvice Hint1Click();
    // Shows why a move was refused in the line beside the pile.
    void ShowRefusal(const std::string& why);
    void ClearAdvice();
    // The advice while the state it was given in lasts; null after any change.
    const TableAdvice* CurrentAdvice() const;
    std::string AdviceLine() const;

    // ===== Saved games, settings, scores =====
    void SaveGame1Click(bool fromMenu);
    void LoadGame1Click(bool fromMenu);
    bool FormCloseQuery();
    void Startup();  // the game part of the start-up sequence
    void SubmitScore();
    void HighestScore1Click();
    // The record of the state; false (with the reason) when the state does not fit it.
    bool SerializeGame(uint8_t opponentToMove, SavedGameRecord& record, std::string& why) const;
    // Applies a record; false, and nothing changed, when it is refused.
    bool RestoreGame(const SavedGameRecord& record);
    // Writes <name>.sav; on failure shows why and returns false, the old file untouched.
    bool SaveGameAs(const std::string& name);
    // The same without a message box: false with the message for the player.
    bool WriteSavedGame(const std::string& name, std::string& message);
    // The save of a shut-down that cannot ask: the close query's Yes without the
    // question, when a game is in play. `midOperation`: the shut-down came during a
    // turn, and the game as it stood after the last complete turn is saved. False
    // when the game could not be saved (the reason is logged, the recovery record kept).
    bool SaveSilently(bool midOperation);

    // ===== Crash recovery =====
    // After every completed turn the game in play is kept in the recovery record in
    // the data folder; a clean exit removes it, and the next start-up resumes it.
    void WriteRecovery() { NoteStableState(true); }
    void RemoveRecovery();
    // At start-up: resumes the recovery record when there is one (true), or sets a
    // damaged one aside (false, and the normal start-up follows).
    bool ResumeRecovery();
    std::string RecoveryPath();
    // The last state between two turns as saved-game bytes, and whether recovery is kept
    // (off for measurements and once the program is ending).
    std::string StableState;
    bool KeepRecovery = true;
    // Notes the state between two turns; with `toFile` also writes the recovery record.
    void NoteStableState(bool toFile);
    std::string SavedGamePath(const std::string& name);
    void OnlineTopTenScores1Click();
    void OpenWebPage(const std::string& address);
    void YourName1Click();
    // The two odds dialogs: "Pickup more than one card" (pickup) and "Easy dumb moves".
    void OddsDialog(bool pickup);
};

}  // namespace skelda
