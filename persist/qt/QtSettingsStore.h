// The settings store on QSettings: organisation "Brelt", application "Skelda" (the
// registry on Windows, ~/.config/Brelt/Skelda.conf here), or an INI file of its own.
// INI files keep no types, so numbers and byte pairs are read by content, never by the
// variant's type; a value that does not fit reads as absent and stays in the file as it
// was: a write of one setting changes the line of that setting and no other.
#pragma once

#include <QSettings>
#include <functional>
#include <memory>

#include "persist/SettingsStore.h"

namespace skelda {

class QtSettingsStore : public SettingsStore {
public:
    QtSettingsStore();                                 // the per-user store
    explicit QtSettingsStore(const QString& iniFile);  // a store in one INI file

    bool Exists(const std::string& name) override;
    std::optional<uint32_t> ReadNumber(const std::string& name) override;
    std::optional<std::string> ReadText(const std::string& name, size_t bufferSize) override;
    std::optional<std::string> ReadBytes(const std::string& name) override;
    void WriteNumber(const std::string& name, uint32_t value) override;
    void WriteText(const std::string& name, const std::string& value) override;
    void WriteBytes(const std::string& name, const std::string& value) override;
    void Delete(const std::string& name) override;

private:
    // Runs the change of one value and writes it, every other line of the file kept.
    void Change(const std::string& name, const std::function<void()>& change);
    std::unique_ptr<QSettings> settings_;
};

}  // namespace skelda
