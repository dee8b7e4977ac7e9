#include "tools/cli/CliHost.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "persist/platform/GameFiles.h"
#include "tools/cli/CardText.h"

namespace skelda {

namespace {

const char* IconName(Icon icon) {
    switch (icon) {
        case Icon::None: return "none";
        case Icon::Info: return "info";
        case Icon::Warning: return "warning";
        case Icon::Error: return "error";
        case Icon::Question: return "question";
    }
    return "none";
}

const char* ButtonsName(Buttons b) {
    switch (b) {
        case Buttons::Ok: return "ok";
        case Buttons::YesNo: return "yes,no";
        case Buttons::YesNoCancel: return "yes,no,cancel";
    }
    return "ok";
}

// Message texts separate lines with CR LF; events show a plain line break.
std::string Lines(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

}  // namespace

CliHost::CliHost(std::ostream& out, std::unique_ptr<SettingsStore> settings, std::string dataFolder)
    : out_(out), settings_(std::move(settings)), dataFolder_(std::move(dataFolder)) {}

bool CliHost::PlaySound(int id, bool) {
    Print("SOUND " + std::to_string(id) + " played");
    return true;
}

void CliHost::SoundMuted(int id) {
    Print("SOUND " + std::to_string(id) + " silent");
}

void CliHost::Pause(int ms) {
    Print("PAUSE " + std::to_string(ms));
    now += static_cast<uint64_t>(ms);
}

Answer CliHost::MessageBox(const std::string& title, const std::string& text, Icon icon,
                           Buttons buttons) {
    Print("MSG " + std::string(IconName(icon)) + " " + JsonString(title) + " " +
          JsonString(Lines(text)) + " " + ButtonsName(buttons));
    Answer a = Answer::Ok;
    if (buttons != Buttons::Ok) {
        a = buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;  // the last button
        if (!answers.empty()) {
            const std::string w = answers.front().word;
            answers.pop_front();
            if (w == "yes" || w == "ok")
                a = Answer::Yes;
            else if (w == "no")
                a = Answer::No;
            else if (w == "cancel" && buttons == Buttons::YesNoCancel)
                a = Answer::Cancel;
        }
    }
    static const char* const names[] = {"ok", "yes", "no", "cancel"};
    Print(std::string("ANSWER ") + names[static_cast<int>(a)]);
    return a;
}

std::optional<std::string> CliHost::InputBox(const std::string& caption, const std::string& prompt,
                                             const std::string& defaultText) {
    Print("INPUT " + JsonString(caption) + " " + JsonString(Lines(prompt)) + " " +
          JsonString(defaultText));
    std::optional<std::string> result;
    if (!answers.empty()) {
        QueuedAnswer q = answers.front();
        answers.pop_front();
        if (q.word == "text")
            result = q.text;
        else if (q.word == "ok" || q.word == "yes")
            result = defaultText;
    }
    Print(result ? "ANSWER text " + JsonString(*result) : "ANSWER cancel");
    return result;
}

void CliHost::LogLine(const std::string& afterStamp) {
    Print("LOG " + JsonString("T" + afterStamp));
}

void CliHost::ShowBalloon(const std::string& title, const std::string& text) {
    Print("BALLOON " + JsonString(title) + " " + JsonString(text));
}

void CliHost::OpenWebAddress(const std::string& address) {
    Print("OPEN " + JsonString(address));
}

void CliHost::TimerSwitched(TimerId timer, bool on) {
    const int n = static_cast<int>(timer);
    if (on && timer == TimerId::Timer1) timer1Due = now + 2048;
    if (on && timer == TimerId::Timer4) timer4Due = now + 1024;
    Print("TIMER Timer" + std::to_string(n) + (on ? " on" : " off"));
}

// The game's files go through the same file layer as the desktop program's.
bool CliHost::FileExists(const std::string& path) {
    return GameFileExists(path);
}

std::optional<std::string> CliHost::ReadFile(const std::string& path) {
    std::string error;
    return ReadGameFile(path, error);
}

bool CliHost::WriteFile(const std::string& path, const std::string& bytes, std::string& error) {
    return WriteGameFile(path, bytes, error);
}

bool CliHost::RemoveFile(const std::string& path) {
    return RemoveGameFile(path);
}

bool CliHost::RenameFile(const std::string& from, const std::string& to) {
    return RenameGameFile(from, to);
}

std::string CliHost::LogonName() {
    if (const char* u = std::getenv("USER"); u && *u) return u;
    char buf[256] = {};
    if (getlogin_r(buf, sizeof buf) == 0) return buf;
    return "Player";
}

}  // namespace skelda
