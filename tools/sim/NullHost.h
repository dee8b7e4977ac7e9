// A host that does nothing and takes no time: sounds "play" at once, pauses return,
// questions are answered No (so "Play again?" ends each game), input boxes are cancelled.
// The end-of-round report is the moment the round's scores stand beside the hands and
// melds they were made from, so it is passed on to whoever watches.
#pragma once

#include <functional>

#include "game/Host.h"

namespace skelda {

// Reads find nothing, writes are dropped.
class NullSettings : public SettingsStore {
public:
    bool Exists(const std::string&) override { return false; }
    std::optional<uint32_t> ReadNumber(const std::string&) override { return std::nullopt; }
    std::optional<std::string> ReadText(const std::string&, size_t) override {
        return std::nullopt;
    }
    std::optional<std::string> ReadBytes(const std::string&) override { return std::nullopt; }
    void WriteNumber(const std::string&, uint32_t) override {}
    void WriteText(const std::string&, const std::string&) override {}
    void WriteBytes(const std::string&, const std::string&) override {}
    void Delete(const std::string&) override {}
};

class NullHost : public Host {
public:
    bool PlaySound(int, bool) override { return true; }
    void Pause(int) override {}
    Answer MessageBox(const std::string& title, const std::string&, Icon icon,
                      Buttons buttons) override {
        if (title == "Round Over" && onRoundOver) onRoundOver();
        if (icon == Icon::Error) ++errors;
        if (buttons == Buttons::YesNo) return Answer::No;
        if (buttons == Buttons::YesNoCancel) return Answer::Cancel;
        return Answer::Ok;
    }
    std::optional<std::string> InputBox(const std::string&, const std::string&,
                                        const std::string&) override {
        return std::nullopt;
    }
    void Repaint(Area) override {}
    void LogLine(const std::string&) override {}
    void ShowBalloon(const std::string&, const std::string&) override {}
    void OpenWebAddress(const std::string&) override {}
    SettingsStore& Settings() override { return settings_; }
    std::string DataFolder() override { return std::string(); }
    bool FileExists(const std::string&) override { return false; }
    std::optional<std::string> ReadFile(const std::string&) override { return std::nullopt; }
    bool WriteFile(const std::string&, const std::string&, std::string& error) override {
        error = "the simulator writes no files";
        return false;
    }
    bool RemoveFile(const std::string&) override { return false; }
    std::string LogonName() override { return "Sim"; }

    std::function<void()> onRoundOver;
    int errors = 0;  // error boxes shown: refused actions

private:
    NullSettings settings_;
};

}  // namespace skelda
