#include "tools/cli/CliSession.h"

#include <chrono>
#include <climits>
#include <filesystem>
#include <random>
#include <sstream>

#include "game/Random.h"
#include "opponent/Hint.h"
#include "persist/Statistics.h"
#include "tools/cli/CardText.h"

namespace skelda {

namespace {

// A release point may lie anywhere left or right of the cards; x = 16 * index must fit.
constexpr int64_t kMaxIndex = INT32_MAX / CardStep;

bool ParseNumber(const std::string& s, int64_t lo, int64_t hi, int64_t& out) {
    if (s.empty() || s.size() > 12) return false;
    size_t i = 0;
    bool neg = false;
    if (s[0] == '-' || s[0] == '+') {
        neg = s[0] == '-';
        i = 1;
    }
    if (i == s.size()) return false;
    int64_t v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        v = v * 10 + (s[i] - '0');
    }
    if (neg) v = -v;
    if (v < lo || v > hi) return false;
    out = v;
    return true;
}

std::vector<std::string> Words(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> w;
    std::string x;
    while (in >> x) w.push_back(x);
    return w;
}

// The HINT event: the step in words, its cards or index, and the line the table shows.
std::string HintLine(const HintAdvice& a, const std::string& shown) {
    auto cards = [&a] {
        std::string s;
        for (TCard c : a.cards) s += " " + CardText(TCard{c.Suit, c.Rank, 0});
        return s;
    };
    std::string line = "HINT ";
    switch (a.kind) {
        case HintAdvice::None: line += "none"; break;
        case HintAdvice::DrawStock: line += "draw-stock"; break;
        case HintAdvice::TakePile: line += "take-pile " + std::to_string(a.pileIndex); break;
        case HintAdvice::Meld: line += "meld" + cards(); break;
        case HintAdvice::LayOff:
            line += "lay-off" + cards() + " " + std::to_string(a.meldIndex);
            break;
        case HintAdvice::Discard: line += "discard" + cards(); break;
    }
    return line + " " + JsonString(shown);
}

std::string Unblank(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s.compare(i, 3, "%20") == 0) {
            out += ' ';
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

}  // namespace

std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& args,
                                          std::string& error) {
    CliOptions o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (i + 1 >= args.size()) {
            error = "option " + a + " needs a value";
            return std::nullopt;
        }
        const std::string& v = args[++i];
        if (a == "--seed") {
            int64_t n = 0;
            if (!ParseNumber(v, 0, 4294967295LL, n)) {
                error = "--seed takes a number from 0 to 4294967295";
                return std::nullopt;
            }
            o.seed = static_cast<uint32_t>(n);
        } else if (a == "--config") {
            o.configDir = v;
        } else if (a == "--inspect") {
            o.inspect = v;
        } else if (a == "--data") {
            o.dataDir = v;
        } else if (a == "--sound") {
            if (v != "on" && v != "off") {
                error = "--sound takes on or off";
                return std::nullopt;
            }
            o.sound = v == "on";
        } else {
            error = "unknown option " + a;
            return std::nullopt;
        }
    }
    // Both folders are made when missing; a path that cannot be a folder is unusable.
    for (const auto& [option, dir] :
         {std::pair{"--config", &o.configDir}, {"--data", &o.dataDir}}) {
        if (dir->empty()) continue;
        std::error_code ec;
        std::filesystem::create_directories(*dir, ec);
        if (!std::filesystem::is_directory(*dir, ec)) {
            error = std::string(option) + " " + *dir + " is not a folder that can be made";
            return std::nullopt;
        }
    }
    return o;
}

CliSession::CliSession(const CliOptions& options, std::ostream& out) : out_(out) {
    std::string data = options.dataDir;
    if (data.empty()) {
        std::random_device rd;
        tempDir_ = (std::filesystem::temp_directory_path() /
                    ("skelda-cli-" + std::to_string(rd()) + std::to_string(rd())))
                       .string();
        data = tempDir_;
    }
    std::error_code ec;
    std::filesystem::create_directories(data, ec);
    host_ = std::make_unique<CliHost>(out, MakeCliSettings(options.configDir), data);
    game_ = std::make_unique<Game>(*host_);
    SetRandSeed(options.seed ? *options.seed
                             : static_cast<uint32_t>(
                                   std::chrono::system_clock::now().time_since_epoch().count()));
    game_->NoSound = !options.sound;
    game_->PlayerName = host_->LogonName();
}

CliSession::~CliSession() {
    if (!tempDir_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(tempDir_, ec);
    }
}

void CliSession::Error(const std::string& reason) {
    out_ << "ERROR " << JsonString(reason) << '\n';
}

int CliSession::Run(std::istream& in) {
    std::string line;
    while (std::getline(in, line)) {
        if (!Execute(line)) break;
        out_.flush();
    }
    return 0;
}

bool CliSession::Execute(const std::string& rawLine) {
    std::string line = rawLine;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto words = Words(line);
    if (words.empty() || words[0][0] == '#') return true;
    const std::string& cmd = words[0];
    const size_t argc = words.size() - 1;
    Game& g = *game_;
    auto noArgs = [&] {
        if (argc == 0) return true;
        Error(cmd + " takes no arguments");
        return false;
    };
    int64_t n = 0;

    if (cmd == "quit") return false;
    if (cmd == "seed") {
        if (argc != 1 || !ParseNumber(words[1], 0, 4294967295LL, n))
            return Error("seed takes a number from 0 to 4294967295"), true;
        SetRandSeed(static_cast<uint32_t>(n));
    } else if (cmd == "startup") {
        if (noArgs()) g.Startup();
    } else if (cmd == "new-game") {
        if (noArgs()) g.NewGame(false);
    } else if (cmd == "new-game-menu") {
        if (noArgs()) g.NewGame(true);
    } else if (cmd == "new-round") {
        if (noArgs()) g.NewRound();
    } else if (cmd == "tick") {
        if (argc != 1) return Error("tick takes a timer name"), true;
        Tick(words[1]);
    } else if (cmd == "run") {
        if (noArgs()) RunTimers();
    } else if (cmd == "stock") {
        if (!noArgs()) return true;
        if (g.controls.PaintBox5)
            g.PaintBox5MouseUp(MouseButton::Left, 0, 10);
        else
            g.GroupBox4MouseUp(MouseButton::Left, 15 + 10, 15);
    } else if (cmd == "pile") {
        if (argc != 1 || !ParseNumber(words[1], -kMaxIndex, kMaxIndex, n))
            return Error("pile takes a card index"), true;
        if (g.controls.PaintBox6)
            g.PaintBox6MouseUp(MouseButton::Left, static_cast<int>(n) * CardStep, 10);
        else
            g.GroupBox4MouseUp(MouseButton::Left, 15 + 10, 15);
    } else if (cmd == "select") {
        if (argc != 1 || !ParseNumber(words[1], -kMaxIndex, kMaxIndex, n))
            return Error("select takes a card index"), true;
        if (g.controls.PaintBox4)
            g.PaintBox4MouseUp(MouseButton::Left, static_cast<int>(n) * CardStep);
    } else if (cmd == "sort") {
        if (noArgs() && g.controls.PaintBox4) g.PaintBox4MouseUp(MouseButton::Right, 0);
    } else if (cmd == "meld") {
        if (noArgs()) g.Button1Click();
    } else if (cmd == "discard") {
        if (noArgs()) g.Button2Click();
    } else if (cmd == "hint") {
        if (noArgs()) {
            const HintAdvice a = g.Hint1Click();
            out_ << HintLine(a, g.Advice.line) << '\n';
        }
    } else if (cmd == "take-back") {
        if (noArgs() && !g.TakeBack1Click()) Error("nothing to take back");
    } else if (cmd == "score-sheet") {
        if (noArgs()) g.StatusBar1DblClick();
    } else if (cmd == "save" || cmd == "load") {
        if (argc != 1) return Error(cmd + " takes a saved-game name"), true;
        host_->answers.push_front({"text", Unblank(words[1])});
        if (cmd == "save")
            g.SaveGame1Click(true);
        else
            g.LoadGame1Click(true);
    } else if (cmd == "menu") {
        // Menu commands that only ask, show or store: their dialogs take queued answers.
        const std::string item = argc == 1 ? words[1] : "";
        if (item == "highest-score")
            g.HighestScore1Click();
        else if (item == "top-ten")
            g.OnlineTopTenScores1Click();
        else if (item == "your-name")
            g.YourName1Click();
        else if (item == "odds-pickup" || item == "odds-easy")
            g.OddsDialog(item == "odds-pickup");
        else if (item == "statistics")
            out_ << "STATISTICS " << JsonString(StatisticsReport(ReadStatistics(host_->Settings())))
                 << '\n';
        else if (item == "reset-statistics")
            ResetStatistics(host_->Settings());
        else
            Error(
                "menu takes highest-score, top-ten, your-name, odds-pickup, odds-easy, statistics "
                "or reset-statistics");
    } else if (cmd == "close") {
        if (noArgs() && g.FormCloseQuery()) out_ << "CLOSED\n";
    } else if (cmd == "shutdown") {
        // A shut-down that cannot ask (SIGTERM, the session's end): saved silently.
        if (noArgs()) {
            g.SaveSilently(false);
            out_ << "CLOSED\n";
        }
    } else if (cmd == "sound") {
        if (argc != 1 || (words[1] != "on" && words[1] != "off"))
            return Error("sound takes on or off"), true;
        g.NoSound = words[1] == "off";
    } else if (cmd == "level" || cmd == "behaviour") {
        if (argc != 1 || !ParseNumber(words[1], 0, 255, n))
            return Error(cmd + " takes a number from 0 to 255"), true;
        (cmd == "level" ? g.AILevel : g.AIBehaviour) = static_cast<uint8_t>(n);
    } else if (cmd == "odd-pickup" || cmd == "odd-easy") {
        if (argc != 1 || !ParseNumber(words[1], 0, 4294967295LL, n))
            return Error(cmd + " takes a number from 0 to 4294967295"), true;
        (cmd == "odd-pickup" ? g.OddPickup : g.OddEasy) = static_cast<uint32_t>(n);
    } else if (cmd == "answer") {
        if (argc == 0) return Error("answer needs at least one answer"), true;
        std::vector<QueuedAnswer> queued;
        for (size_t i = 1; i < words.size(); ++i) {
            const std::string& w = words[i];
            if (w == "yes" || w == "no" || w == "cancel" || w == "ok")
                queued.push_back({w, ""});
            else if (w.rfind("text:", 0) == 0)
                queued.push_back({"text", Unblank(w.substr(5))});
            else
                return Error("unknown answer " + w), true;
        }
        for (auto& q : queued) host_->answers.push_back(q);
    } else if (cmd == "set") {
        if (argc < 1) return Error("set needs a field"), true;
        const size_t at = line.find(words[1], line.find("set") + 3) + words[1].size();
        if (!Set(words[1], line.substr(at))) return true;
    } else if (cmd == "show") {
        if (argc != 1) return Error("show takes one state key"), true;
        for (const auto& [k, v] : StateFields())
            if (k == words[1]) return out_ << "SHOW " << k << ' ' << v << '\n', true;
        Error("unknown state key " + words[1]);
    } else if (cmd == "setting-number") {
        if (argc != 2 || !ParseNumber(words[2], INT32_MIN, 4294967295LL, n))
            return Error("setting-number takes a name and a number"), true;
        host_->Settings().WriteNumber(words[1], static_cast<uint32_t>(n));
    } else if (cmd == "setting-text") {
        if (argc < 1 || argc > 2) return Error("setting-text takes a name and a word"), true;
        host_->Settings().WriteText(words[1], argc == 2 ? Unblank(words[2]) : std::string());
    } else if (cmd == "setting-delete") {
        if (argc != 1) return Error("setting-delete takes a name"), true;
        host_->Settings().Delete(words[1]);
    } else if (cmd == "show-setting") {
        if (argc != 1) return Error("show-setting takes a name"), true;
        SettingsStore& st = host_->Settings();
        if (!st.Exists(words[1])) return out_ << "SETTING " << words[1] << " absent\n", true;
        if (auto num = st.ReadNumber(words[1]))
            out_ << "SETTING " << words[1] << " number " << *num << '\n';
        else if (auto text = st.ReadText(words[1], 262))
            out_ << "SETTING " << words[1] << " text " << JsonString(*text) << '\n';
        else
            out_ << "SETTING " << words[1] << " present\n";
    } else if (cmd == "state") {
        if (noArgs()) out_ << "STATE " << StateJson() << '\n';
    } else {
        Error("unknown command " + cmd);
    }
    return true;
}

void CliSession::Tick(const std::string& timer) {
    Game& g = *game_;
    if (timer == "Timer1") {
        if (!g.timers.Timer1) return void(out_ << "IDLE Timer1\n");
        host_->now = std::max(host_->now, host_->timer1Due);
        g.Timer1Timer();
        if (g.timers.Timer1) host_->timer1Due = host_->now + 2048;
    } else if (timer == "Timer4") {
        if (!g.timers.Timer4) return void(out_ << "IDLE Timer4\n");
        host_->now = std::max(host_->now, host_->timer4Due);
        g.Timer4Timer();
    } else if (timer == "Timer2") {
        // The status refresh changes nothing but the captions.
        g.GroupBox1Caption = g.OpponentName + "'s Melds";
    } else if (timer == "Timer5") {
        if (!g.timers.Timer5) return void(out_ << "IDLE Timer5\n");
    } else {
        Error("unknown timer " + timer);
    }
}

// Ticks Timer1 and Timer4 in the order in which they fall due until both are off.
void CliSession::RunTimers() {
    Game& g = *game_;
    for (int guard = 0; guard < 100000 && (g.timers.Timer1 || g.timers.Timer4); ++guard) {
        const bool first1 =
            g.timers.Timer1 && (!g.timers.Timer4 || host_->timer1Due <= host_->timer4Due);
        Tick(first1 ? "Timer1" : "Timer4");
    }
}

bool CliSession::Set(const std::string& field, const std::string& rest) {
    Game& g = *game_;
    const auto words = Words(rest);
    int64_t n = 0;
    auto cards = [&](TCardList& target, size_t maxCount) {
        auto list = ParseCards(rest);
        if (!list) return Error("bad card in " + field), false;
        if (list->size() > maxCount) return Error(field + " holds too many cards"), false;
        target = *list;
        return true;
    };
    auto number = [&](int64_t lo, int64_t hi) {
        if (words.size() != 1 || !ParseNumber(words[0], lo, hi, n))
            return Error(field + " takes a number from " + std::to_string(lo) + " to " +
                         std::to_string(hi)),
                   false;
        return true;
    };
    auto numbers = [&](auto& target, size_t count) {
        std::vector<int32_t> v;
        for (const auto& w : words) {
            if (!ParseNumber(w, INT32_MIN, INT32_MAX, n))
                return Error("bad number in " + field), false;
            v.push_back(static_cast<int32_t>(n));
        }
        if (count && v.size() != count)
            return Error(field + " takes " + std::to_string(count) + " numbers"), false;
        if constexpr (std::is_same_v<std::decay_t<decltype(target)>, std::vector<int32_t>>) {
            target = v;
        } else {
            std::copy(v.begin(), v.end(), target.begin());
        }
        return true;
    };
    auto marks = [&](std::array<uint8_t, 52>& target) {
        auto list = ParseCards(rest);
        if (!list) return Error("bad card in " + field), false;
        target.fill(0);
        for (const TCard& c : *list) target[RankMajorIndex(c)] = 1;
        return true;
    };
    auto flag = [&](bool& target) {
        if (!number(0, 1)) return false;
        target = n != 0;
        return true;
    };

    if (field == "your-hand") return cards(g.YourHand, 52);
    if (field == "opponent-hand") return cards(g.OpponentHand, 52);
    if (field == "discard-pile") return cards(g.DiscardPile, 52);
    if (field == "melds") {
        std::vector<TCardList> melds;
        std::string part;
        // Blanks alone (a trailing blank after the field) mean no melds.
        std::istringstream in(words.empty() ? std::string() : rest);
        while (std::getline(in, part, '|')) {
            auto list = ParseCards(part);
            if (!list || list->empty() || list->size() > 13)
                return Error("melds: each meld holds 1 to 13 cards"), false;
            melds.push_back(*list);
        }
        if (melds.size() > 52) return Error("melds: too many melds"), false;
        g.Melds = melds;
        return true;
    }
    if (field == "deck") {
        auto list = ParseCards(rest);
        if (!list || list->size() != 52) return Error("deck takes 52 cards"), false;
        std::copy(list->begin(), list->end(), g.Deck.begin());
        return true;
    }
    if (field == "next-card") return number(0, 52) && (g.NextCard = static_cast<int32_t>(n), true);
    if (field == "phase") return number(0, 3) && (g.SetTurnPhase(static_cast<uint8_t>(n)), true);
    if (field == "humans-turn") return flag(g.HumansTurn);
    if (field == "computer-first") return flag(g.ComputerFirst);
    if (field == "round-active") return flag(g.RoundActive);
    if (field == "round-number")
        return number(0, 100000) && (g.RoundNumber = static_cast<int32_t>(n), true);
    if (field == "your-scores") return numbers(g.YourScores, 0);
    if (field == "opponent-scores") return numbers(g.OpponentScores, 0);
    if (field == "player-name" || field == "opponent-name") {
        // No word at all gives the empty name that a fresh process starts with.
        if (words.size() > 1) return Error(field + " takes one word (%20 for a blank)"), false;
        (field == "player-name" ? g.PlayerName : g.OpponentName) =
            words.empty() ? std::string() : Unblank(words[0]).substr(0, 255);
        return true;
    }
    if (field == "rank-interest") return numbers(g.RankInterest, 13);
    if (field == "suit-interest") return numbers(g.SuitInterest, 4);
    if (field == "seen") return marks(g.SeenCards);
    if (field == "melded") return marks(g.MeldedCards);
    Error("unknown field " + field);
    return false;
}

std::string CliSession::StateJson() {
    std::string s = "{";
    for (const auto& [k, v] : StateFields()) {
        if (s.size() > 1) s += ",";
        s += JsonString(k) + ":" + v;
    }
    return s + "}";
}

std::vector<std::pair<std::string, std::string>> CliSession::StateFields() {
    Game& g = *game_;
    std::vector<std::pair<std::string, std::string>> fields;
    auto key = [&](const char* k, const std::string& v) { fields.emplace_back(k, v); };
    key("deck", CardsJson(TCardList(g.Deck.begin(), g.Deck.end())));
    key("nextCard", std::to_string(g.NextCard));
    key("discardPile", CardsJson(g.DiscardPile));
    key("yourHand", CardsJson(g.YourHand));
    key("opponentHand", CardsJson(g.OpponentHand));
    std::string melds = "[";
    for (size_t i = 0; i < g.Melds.size(); ++i) melds += (i ? "," : "") + CardsJson(g.Melds[i]);
    key("melds", melds + "]");
    key("yourScores", NumbersJson(g.YourScores));
    key("opponentScores", NumbersJson(g.OpponentScores));
    key("roundNumber", std::to_string(g.RoundNumber));
    key("roundActive", JsonBool(g.RoundActive));
    key("turnPhase", std::to_string(g.TurnPhase));
    key("humansTurn", JsonBool(g.HumansTurn));
    key("computerFirst", JsonBool(g.ComputerFirst));
    key("gameInPlay", JsonBool(g.GameInPlay()));
    key("statusPrompt", JsonString(g.StatusPrompt));
    key("statusText", JsonString(g.StatusText("")));
    key("playerName", JsonString(g.PlayerName));
    key("opponentName", JsonString(g.OpponentName));
    key("pickupIndex", std::to_string(g.PickupIndex));
    key("shuffleSeed", std::to_string(g.ShuffleSeed));
    key("seed", std::to_string(RandSeed()));
    key("rankInterest", NumbersJson(g.RankInterest));
    key("suitInterest", NumbersJson(g.SuitInterest));
    key("seenCards", MarksJson(g.SeenCards));
    key("meldedCards", MarksJson(g.MeldedCards));
    key("aiLevel", std::to_string(g.AILevel));
    key("aiBehaviour", std::to_string(g.AIBehaviour));
    key("oddPickup", std::to_string(g.OddPickup));
    key("oddEasy", std::to_string(g.OddEasy));
    key("timers", std::string("{\"Timer1\":") + JsonBool(g.timers.Timer1) + ",\"Timer4\":" +
                      JsonBool(g.timers.Timer4) + ",\"Timer5\":" + JsonBool(g.timers.Timer5) + "}");
    const Controls& c = g.controls;
    key("controls",
        std::string("{\"PaintBox4\":") + JsonBool(c.PaintBox4) +
            ",\"PaintBox5\":" + JsonBool(c.PaintBox5) + ",\"PaintBox6\":" + JsonBool(c.PaintBox6) +
            ",\"Button1\":" + JsonBool(c.Button1) + ",\"Button2\":" + JsonBool(c.Button2) +
            ",\"SaveGame1\":" + JsonBool(c.SaveGame1) + "}");
    key("groupBox1Caption", JsonString(g.GroupBox1Caption));
    key("groupBox4Caption", JsonString(g.GroupBox4Caption()));
    key("gamesPlayed", std::to_string(g.GamesPlayed));
    key("noSound", JsonBool(g.NoSound));
    key("savedGameName", JsonString(g.SavedGameName));
    key("adviceLine", JsonString(g.AdviceLine()));
    key("canTakeBack", JsonBool(g.CanTakeBack()));
    key("hintUsed", JsonBool(g.HintUsed));
    return fields;
}

}  // namespace skelda
