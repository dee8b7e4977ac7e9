// The per-user settings store as the core sees it: named values of four kinds.
// Every read tolerates a missing or malformed value by reporting "absent", so the
// caller keeps its default; writes that fail are ignored.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace skelda {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // Presence flags count as set whatever their kind or data.
    virtual bool Exists(const std::string& name) = 0;
    virtual std::optional<uint32_t> ReadNumber(const std::string& name) = 0;
    // Text is cut to fit a buffer of `bufferSize` bytes including the terminating zero.
    virtual std::optional<std::string> ReadText(const std::string& name, size_t bufferSize) = 0;
    virtual std::optional<std::string> ReadBytes(const std::string& name) = 0;

    virtual void WriteNumber(const std::string& name, uint32_t value) = 0;
    virtual void WriteText(const std::string& name, const std::string& value) = 0;
    virtual void WriteBytes(const std::string& name, const std::string& value) = 0;
    virtual void Delete(const std::string& name) = 0;

    // A presence flag is an empty text value.
    void WriteFlag(const std::string& name) { WriteText(name, std::string()); }
};

// A store held in memory: the default of the headless driver and of the tests.
class MemorySettings : public SettingsStore {
public:
    enum class Kind { Number, Text, Bytes };
    struct Value {
        Kind kind;
        std::string data;  // numbers as 4 little-endian bytes
    };

    bool Exists(const std::string& name) override;
    std::optional<uint32_t> ReadNumber(const std::string& name) override;
    std::optional<std::string> ReadText(const std::string& name, size_t bufferSize) override;
    std::optional<std::string> ReadBytes(const std::string& name) override;
    void WriteNumber(const std::string& name, uint32_t value) override;
    void WriteText(const std::string& name, const std::string& value) override;
    void WriteBytes(const std::string& name, const std::string& value) override;
    void Delete(const std::string& name) override;

    std::map<std::string, Value> values;
};

}  // namespace skelda
