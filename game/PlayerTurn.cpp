// The human's turn: selecting and sorting, drawing, taking from the discard pile,
// melding and laying off, discarding.
#include "game/Game.h"
#include "game/RefusalReason.h"
#include "opponent/CardText.h"

namespace skelda {

namespace {
const char* const kFloating =
    "Your floating! Opponent gets another turn until you or opponent goes out with a discard";

// The counters may come from a saved game at any 32-bit value; they wrap rather than
// overflow.
void AddWrapping(int32_t& counter, int32_t delta) {
    counter = static_cast<int32_t>(static_cast<uint32_t>(counter) + static_cast<uint32_t>(delta));
}
}  // namespace

void Game::PaintBox4MouseUp(MouseButton button, int x) {
    if (YourHand.empty()) return;
    const TurnAction action(
        *this, button == MouseButton::Right ? TakeBackKind::Sort : TakeBackKind::Select);
    ForgetComputerTurn();
    ClearAdvice();
    if (button == MouseButton::Left) {
        TCard& c = YourHand[HandIndexAt(x, YourHand.size())];
        c.Flags ^= Selected;
    } else if (button == MouseButton::Right) {
        SortByRank(YourHand);
    }
    RepaintArea(Area::PaintBox4);
}

void Game::PaintBox5MouseUp(MouseButton button, int /*x*/, int y) {
    if (button != MouseButton::Left || y < 0 || y >= CardHeight || !GameInPlay()) return;
    if (DealInProgress()) return;
    if (!HumansTurn || TurnPhase != 1) {
        if (!PlaySoundId(1)) ShowError("You cannot draw right now!");
        return;
    }
    // The human passed up the top discard.
    if (!DiscardPile.empty()) {
        const TCard top = DiscardPile.back();
        AddWrapping(RankInterest[top.Rank % 13], -1);
        AddWrapping(SuitInterest[top.Suit % 4], -1);
    }
    ForgetComputerTurn();
    ClearAdvice();
    // The card drawn was hidden: nothing before it can be taken back.
    TakeBackSteps.clear();
    bool got = false;
    const TCard card = TakeFromStock(got);
    if (!got) {
        if (!EndRound(StockEmpty)) NewRound();
        WriteRecovery();
        return;
    }
    PlaySoundId(3);
    StatusPrompt = "Please meld or discard";
    AppendCard(YourHand, card);
    RepaintArea(Area::PaintBox4);
    RepaintArea(Area::PaintBox5);
    controls.PaintBox5 = false;
    controls.PaintBox6 = false;
    controls.Button2 = true;
    controls.PaintBox4 = true;
    SetTurnPhase(2);
}

void Game::PaintBox6MouseUp(MouseButton button, int x, int y) {
    if (button != MouseButton::Left || y < 0 || y >= CardHeight || !GameInPlay()) return;
    if (DealInProgress()) return;
    if (!HumansTurn) {
        if (!PlaySoundId(1)) ShowError("Not your turn!");
        return;
    }
    // An empty pile has nothing to take.
    if (DiscardPile.empty()) return;
    const TurnAction action(*this, TakeBackKind::Pickup);
    const int i = HandIndexAt(x, DiscardPile.size());
    PickupIndex = i;
    const int top = static_cast<int>(DiscardPile.size()) - 1;
    if (i == top || CanTakeDiscards(i, YourHand)) {
        WriteLog("You picked up the " + CardName(DiscardPile[i], " Of "));
        ForgetComputerTurn();
        ClearAdvice();
        TakeDiscards(YourHand);
        controls.PaintBox5 = false;
        controls.PaintBox6 = false;
        controls.PaintBox4 = true;
        RepaintArea(Area::PaintBox4);
        RepaintArea(Area::PaintBox6);
        StatusPrompt = "You picked up the discard, please meld or discard";
        PlaySoundId(3);
        SetTurnPhase(2);
        HumansTurn = true;
    } else {
        ShowRefusal("the " + ShortCardName(DiscardPile[i]) +
                    " cannot go into a meld at once: it makes none with your hand and the cards "
                    "above it, and fits no meld on the table");
        ShowError("You must use that card in a meld");
    }
}

void Game::GroupBox4MouseUp(MouseButton button, int y, int pileTop) {
    if (button == MouseButton::Left && y >= pileTop && !HumansTurn) PlaySoundId(1, true);
}

// Melding with an empty hand leaves the human floating: the computer plays on.
static void FloatingCheck(Game& g) {
    if (!g.YourHand.empty()) return;
    g.ShowInfo(kFloating);
    g.SwitchTimer(TimerId::Timer4, true);
}

void Game::Button1Click() {
    const TurnAction action(*this, TakeBackKind::Meld);
    ClearAdvice();
    // Once the turn has been handed to the computer the meld command waits for the next turn.
    if (TurnPhase != 2 || timers.Timer4) {
        ShowRefusal(WhyMeldRefused(*this));
        ShowError("You cannot meld right now!");
        return;
    }
    int must = -1;
    for (size_t i = 0; i < YourHand.size(); ++i)
        if (YourHand[i].Flags & MustMeld) must = static_cast<int>(i);
    TCardList selected = SelectedCards();
    if (selected.empty()) {
        ShowRefusal(WhyMeldRefused(*this));
        ShowError("Please select a card");
        return;
    }
    if (must >= 0 && !ContainsCard(selected, YourHand[must])) {
        ShowRefusal(WhyMeldRefused(*this));
        ShowError("You must meld the " + CardName(YourHand[must], " Of ") +
                  " first before any other meld");
        return;
    }
    controls.Button2 = true;
    controls.PaintBox4 = true;

    if (LayOffSelected()) {
        PlaySoundId(3);
        RepaintArea(Area::PaintBox4);
        RepaintArea(Area::PaintBox2);
        RepaintArea(Area::PaintBox3);
        FloatingCheck(*this);
        return;
    }

    // Joining the selection to one meld at once: no log line, no sort, no announcement.
    for (TCardList& meld : Melds) {
        TCardList joined = selected;
        joined.insert(joined.end(), meld.begin(), meld.end());
        if (!IsValidMeld(joined)) continue;
        for (size_t k = 0; k < selected.size(); ++k) {
            joined[k].Flags |= Yours;
            joined[k].Flags &= ~MustMeld;
        }
        meld = joined;
        PlaySoundId(3);
        RemoveSelected();
        RepaintArea(Area::All);
        FloatingCheck(*this);
        return;
    }

    if (IsValidMeld(selected)) {
        for (TCard& c : selected) {
            c.Flags |= Yours;
            c.Flags &= ~MustMeld;
        }
        AddMeld(selected);
        RemoveSelected();
        PlaySoundId(3);
        FloatingCheck(*this);
        RepaintArea(Area::PaintBox4);
        RepaintArea(Area::PaintBox3);
        return;
    }
    ShowRefusal(WhyMeldRefused(*this));
    ShowError("Invalid meld");
}

void Game::Button2Click() {
    ClearAdvice();
    // After the discard the turn is the computer's until its tick has run.
    if (TurnPhase != 2 || timers.Timer4) {
        ShowRefusal(WhyDiscardRefused(*this));
        ShowError("You must draw before discarding!");
        return;
    }
    for (const TCard& c : YourHand)
        if (c.Flags & MustMeld) {
            ShowRefusal(WhyDiscardRefused(*this));
            ShowError("Please use the bottom card you picked up from the discard pile in a meld");
            return;
        }
    const TCardList selected = SelectedCards();
    if (selected.size() != 1) {
        ShowRefusal(WhyDiscardRefused(*this));
        ShowError("Please choose only 1 card to discard");
        return;
    }
    // The discard ends what can be taken back.
    TakeBackSteps.clear();
    const TCard card = selected[0];
    AppendCard(DiscardPile, card);
    WriteLog("You discarded a " + CardName(card, " Of "));
    YourHand = RemoveCard(YourHand, card);
    RepaintArea(Area::PaintBox4);
    RepaintArea(Area::PaintBox6);
    controls.Button1 = false;
    controls.Button2 = false;
    controls.PaintBox4 = false;
    PlaySoundId(3);
    if (!YourHand.empty()) {
        SwitchTimer(TimerId::Timer4, true);
        WriteRecovery();
        return;
    }
    WriteLog("You went out");
    if (!EndRound(HumanWentOut)) NewRound();
    WriteRecovery();
}

}  // namespace skelda
