// A host for the fuzz targets: no output, every question gets its last button, every
// input box is cancelled, and the one "file" is whatever the target put in `file`.
#pragma once

#include <memory>

#include "game/Host.h"

namespace skelda {

class FuzzHost : public Host {
public:
    explicit FuzzHost(std::unique_ptr<SettingsStore> s) : settings_(std::move(s)) {}
    bool PlaySound(int, bool) override { return true; }
    void Pause(int) override {}
    Answer MessageBox(const std::string&, const std::string&, Icon, Buttons b) override {
        return b == Buttons::Ok ? Answer::Ok : b == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
    std::optional<std::string> InputBox(const std::string&, const std::string&,
                                        const std::string&) override {
        return std::nullopt;
    }
    void Repaint(Area) override {}
    void LogLine(const std::string&) override {}
    void ShowBalloon(const std::string&, const std::string&) override {}
    void OpenWebAddress(const std::string&) override {}
    SettingsStore& Settings() override { return *settings_; }
    std::string DataFolder() override { return "/nonexistent-skelda-fuzz"; }
    bool FileExists(const std::string&) override { return file.has_value(); }
    std::optional<std::string> ReadFile(const std::string&) override { return file; }
    bool WriteFile(const std::string&, const std::string& bytes, std::string&) override {
        written = bytes;
        return true;
    }
    bool RemoveFile(const std::string&) override { return true; }
    std::string LogonName() override { return "fuzz"; }

    std::optional<std::string> file;
    std::string written;

private:
    std::unique_ptr<SettingsStore> settings_;
};

}  // namespace skelda
