// The headless driver's host: every effect becomes one event line; dialogs take their
// answers from a queue; time is a virtual clock that pauses advance.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <ostream>
#include <string>

#include "game/Host.h"

namespace skelda {

struct QueuedAnswer {
    std::string word;  // yes, no, cancel, ok, text
    std::string text;  // for "text"
};

class CliHost : public Host {
public:
    CliHost(std::ostream& out, std::unique_ptr<SettingsStore> settings, std::string dataFolder);

    bool PlaySound(int id, bool noStop) override;
    void SoundMuted(int id) override;
    void Pause(int ms) override;
    Answer MessageBox(const std::string& title, const std::string& text, Icon icon,
                      Buttons buttons) override;
    std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& defaultText) override;
    void Repaint(Area) override {}
    void LogLine(const std::string& afterStamp) override;
    void ShowBalloon(const std::string& title, const std::string& text) override;
    void OpenWebAddress(const std::string& address) override;
    SettingsStore& Settings() override { return *settings_; }
    void TimerSwitched(TimerId timer, bool on) override;

    std::string DataFolder() override { return dataFolder_; }
    bool FileExists(const std::string& path) override;
    std::optional<std::string> ReadFile(const std::string& path) override;
    bool WriteFile(const std::string& path, const std::string& bytes, std::string& error) override;
    bool RemoveFile(const std::string& path) override;
    bool RenameFile(const std::string& from, const std::string& to) override;
    std::string LogonName() override;

    void Print(const std::string& line) { out_ << line << '\n'; }

    std::deque<QueuedAnswer> answers;
    // Virtual time in milliseconds and when each game timer falls due.
    uint64_t now = 0;
    uint64_t timer1Due = 0;
    uint64_t timer4Due = 0;

private:
    std::ostream& out_;
    std::unique_ptr<SettingsStore> settings_;
    std::string dataFolder_;
};

}  // namespace skelda
