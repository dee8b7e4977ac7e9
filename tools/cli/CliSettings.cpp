// The driver's settings: in memory unless --config names a folder to keep them in.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tools/cli/CliSession.h"

namespace skelda {

namespace {

// A memory store written back to "settings.txt" in its folder after every change, one
// value a line: kind letter, name, hex data.
class FolderSettings : public MemorySettings {
public:
    explicit FolderSettings(std::string folder) : path_(std::move(folder) + "/settings.txt") {
        std::ifstream in(path_);
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream ls(line);
            std::string kind, name, hex;
            if (!(ls >> kind >> name)) continue;
            ls >> hex;
            std::string data;
            for (size_t i = 0; i + 1 < hex.size(); i += 2)
                data += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
            const Kind k = kind == "N" ? Kind::Number : kind == "T" ? Kind::Text : Kind::Bytes;
            values[name] = {k, data};
        }
    }
    void WriteNumber(const std::string& n, uint32_t v) override {
        MemorySettings::WriteNumber(n, v);
        Save();
    }
    void WriteText(const std::string& n, const std::string& v) override {
        MemorySettings::WriteText(n, v);
        Save();
    }
    void WriteBytes(const std::string& n, const std::string& v) override {
        MemorySettings::WriteBytes(n, v);
        Save();
    }
    void Delete(const std::string& n) override {
        MemorySettings::Delete(n);
        Save();
    }

private:
    void Save() {
        std::ofstream out(path_, std::ios::trunc);
        static const char hexdigits[] = "0123456789abcdef";
        for (const auto& [name, v] : values) {
            out << (v.kind == Kind::Number ? "N"
                    : v.kind == Kind::Text ? "T"
                                           : "B")
                << ' ' << name << ' ';
            for (unsigned char ch : v.data) out << hexdigits[ch >> 4] << hexdigits[ch & 15];
            out << '\n';
        }
    }
    std::string path_;
};

}  // namespace

std::unique_ptr<SettingsStore> MakeCliSettings(const std::string& configDir) {
    if (configDir.empty()) return std::make_unique<MemorySettings>();
    std::error_code ec;
    std::filesystem::create_directories(configDir, ec);
    return std::make_unique<FolderSettings>(configDir);
}

}  // namespace skelda
