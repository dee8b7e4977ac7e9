// A host for the fuzz targets: the simulator's silent host (every question gets its last
// button, every input box is cancelled) with a settings store of the target's and one
// "file", whatever the target put in `file`.
#pragma once

#include <memory>

#include "tools/sim/NullHost.h"

namespace skelda {

class FuzzHost : public NullHost {
public:
    explicit FuzzHost(std::unique_ptr<SettingsStore> s) : settings_(std::move(s)) {}
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
