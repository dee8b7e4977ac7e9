// The game object's construction, the shared primitives of the state, and the effects
// that go out through the host.
#include "game/Game.h"

namespace skelda {

Game::Game(Host& h) : host(h) {}

TCard Game::TakeFromStock(bool& got) {
    got = NextCard >= 0 && NextCard < 52;
    if (!got) return TCard{0, 0, NoCard};
    return Deck[NextCard++];
}

TCardList Game::SelectedCards() const {
    TCardList out;
    for (const TCard& c : YourHand)
        if (c.Flags & Selected) out.push_back(c);
    return out;
}

void Game::RemoveSelected() {
    TCardList kept;
    kept.reserve(YourHand.size());
    for (const TCard& c : YourHand)
        if (!(c.Flags & Selected)) kept.push_back(c);
    YourHand.swap(kept);
}

// Cards lie 16 pixels apart and the last one shows whole, so the index is x div 16 capped
// at the last card. A release left of the area picks the first card.
int Game::HandIndexAt(int x, size_t count) const {
    if (count == 0) return -1;
    int i = x < 0 ? 0 : x / CardStep;
    const int last = static_cast<int>(count) - 1;
    return i > last ? last : i;
}

int Game::MeldPoints(bool yours) const {
    int sum = 0;
    for (const TCardList& meld : Melds)
        for (const TCard& c : meld)
            if (((c.Flags & Yours) != 0) == yours) sum += CardValue(c);
    return sum;
}

int Game::RoundScore(bool yours) const {
    return MeldPoints(yours) - HandPoints(yours ? YourHand : OpponentHand);
}

static int Sum(const std::vector<int32_t>& v) {
    int64_t s = 0;
    for (int32_t x : v) s += x;
    return static_cast<int>(s);
}

int Game::YourTotal() const {
    return Sum(YourScores);
}
int Game::OpponentTotal() const {
    return Sum(OpponentScores);
}

bool Game::GameInPlay() const {
    if (YourScores.empty() || OpponentScores.empty()) return RoundActive;
    if (RoundActive) return true;
    return YourTotal() < WinningTotal && OpponentTotal() < WinningTotal;
}

// The stock and the pile stay switched off while the deal runs, so the human cannot
// take a card before the hands are complete.
void Game::SetTurnPhase(uint8_t phase) {
    TurnPhase = phase;
    const bool drawPhase = phase == 1 && HumansTurn && !timers.Timer1;
    controls.PaintBox5 = drawPhase;
    controls.PaintBox6 = drawPhase;
    controls.PaintBox4 = HumansTurn;
    controls.Button1 = phase == 2 && HumansTurn;
    controls.Button2 = phase == 2 && HumansTurn;
}

bool Game::PlaySoundId(int id, bool noStop) {
    if (NoSound) {
        host.SoundMuted(id);
        return false;
    }
    return host.PlaySound(id, noStop);
}

void Game::WriteLog(const std::string& message) {
    host.LogLine(" - " + message);
}

void Game::MarkDiscardsSeen() {
    for (const TCard& c : DiscardPile)
        if (c.Rank < 13 && c.Suit < 4) SeenCards[RankMajorIndex(c)] = 1;
}

void Game::RepaintArea(Area area) {
    if (area == Area::All || area == Area::PaintBox6) MarkDiscardsSeen();
    host.Repaint(area);
}

void Game::SwitchTimer(TimerId timer, bool on) {
    switch (timer) {
        case TimerId::Timer1: timers.Timer1 = on; break;
        case TimerId::Timer4: timers.Timer4 = on; break;
        case TimerId::Timer5: timers.Timer5 = on; break;
        default: return;
    }
    host.TimerSwitched(timer, on);
}

void Game::ShowError(const std::string& text) {
    host.MessageBox("Skelda", text, Icon::Error, Buttons::Ok);
}

void Game::ShowInfo(const std::string& text) {
    host.MessageBox("Skelda", text, Icon::Info, Buttons::Ok);
}

}  // namespace skelda
