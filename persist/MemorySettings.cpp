#include "persist/SettingsStore.h"

namespace skelda {

bool MemorySettings::Exists(const std::string& name) {
    return values.count(name) != 0;
}

std::optional<uint32_t> MemorySettings::ReadNumber(const std::string& name) {
    auto it = values.find(name);
    if (it == values.end() || it->second.data.size() != 4) return std::nullopt;
    const auto& d = it->second.data;
    return static_cast<uint32_t>(static_cast<uint8_t>(d[0])) |
           static_cast<uint32_t>(static_cast<uint8_t>(d[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(d[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(d[3])) << 24;
}

std::optional<std::string> MemorySettings::ReadText(const std::string& name, size_t bufferSize) {
    auto it = values.find(name);
    if (it == values.end() || it->second.kind != Kind::Text || bufferSize == 0) return std::nullopt;
    std::string s = it->second.data;
    if (s.size() > bufferSize - 1) s.resize(bufferSize - 1);
    return s;
}

std::optional<std::string> MemorySettings::ReadBytes(const std::string& name) {
    auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    return it->second.data;
}

void MemorySettings::WriteNumber(const std::string& name, uint32_t v) {
    std::string d(4, '\0');
    for (int i = 0; i < 4; ++i) d[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    values[name] = {Kind::Number, d};
}

void MemorySettings::WriteText(const std::string& name, const std::string& value) {
    values[name] = {Kind::Text, value};
}

void MemorySettings::WriteBytes(const std::string& name, const std::string& value) {
    values[name] = {Kind::Bytes, value};
}

void MemorySettings::Delete(const std::string& name) {
    values.erase(name);
}

}  // namespace skelda
