#include "cards/PeResources.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <set>

#include "cards/SystemErrors.h"

namespace skelda::pe {
namespace {

// Bounds-checked little-endian reads; offsets are 64-bit so no sum can wrap.
struct Bytes {
    const uint8_t* data;
    uint64_t size;

    bool Has(uint64_t offset, uint64_t length) const {
        return offset <= size && length <= size - offset;
    }
    bool U16(uint64_t offset, uint16_t& v) const {
        if (!Has(offset, 2)) return false;
        v = uint16_t(data[offset] | data[offset + 1] << 8);
        return true;
    }
    bool U32(uint64_t offset, uint32_t& v) const {
        if (!Has(offset, 4)) return false;
        v = uint32_t(data[offset]) | uint32_t(data[offset + 1]) << 8 |
            uint32_t(data[offset + 2]) << 16 | uint32_t(data[offset + 3]) << 24;
        return true;
    }
};

struct Section {
    uint32_t virtualSize, virtualAddress, rawSize, rawPointer;
};

constexpr uint32_t HighBit = 0x80000000u;

char16_t AsciiUpper(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
}

// Where an RVA lies in the file, and how many bytes of its section follow it there.
bool MapRva(const std::vector<Section>& sections, uint32_t rva, uint64_t& offset,
            uint64_t& available) {
    for (const Section& s : sections) {
        const uint64_t extent = std::max(s.virtualSize, s.rawSize);
        if (rva < s.virtualAddress || rva - uint64_t(s.virtualAddress) >= extent) continue;
        const uint64_t into = rva - uint64_t(s.virtualAddress);
        if (into >= s.rawSize) return false;  // in the zero-filled tail: no bytes in the file
        offset = uint64_t(s.rawPointer) + into;
        available = s.rawSize - into;
        return true;
    }
    return false;
}

// One resource directory table: its entries follow the 16-byte header.
struct Directory {
    uint64_t entries;  // offset of the first entry, within the resource area
    uint32_t count;
};

bool ReadDirectory(const Bytes& area, uint64_t offset, std::set<uint64_t>& visited,
                   Directory& dir) {
    // A directory reached twice is a loop, or a tree no resource compiler writes.
    if (!visited.insert(offset).second) return false;
    uint16_t named = 0, ids = 0;
    if (!area.U16(offset + 12, named) || !area.U16(offset + 14, ids)) return false;
    dir.count = uint32_t(named) + ids;
    dir.entries = offset + 16;
    return dir.count <= MaxDirectoryEntries && area.Has(dir.entries, uint64_t(dir.count) * 8);
}

}  // namespace

uint32_t ResourceModule::Parse(std::vector<uint8_t> bytes) {
    bytes_ = std::move(bytes);
    bitmaps_.clear();
    hasBitmapType_ = false;
    const Bytes file{bytes_.data(), bytes_.size()};
    if (file.size > MaxModuleBytes) return ErrorFileTooLarge;

    // DOS header, then the "PE\0\0" signature where e_lfanew points. A 16-bit module has
    // "NE" (or "LE") there and is refused like every other file that is not a PE module.
    uint32_t lfanew = 0;
    if (file.size < 64 || file.data[0] != 'M' || file.data[1] != 'Z' || !file.U32(0x3C, lfanew))
        return ErrorBadExeFormat;
    uint32_t signature = 0;
    if (!file.U32(lfanew, signature) || signature != 0x00004550) return ErrorBadExeFormat;

    // COFF header.
    const uint64_t coff = uint64_t(lfanew) + 4;
    uint16_t sectionCount = 0, optionalSize = 0;
    if (!file.U16(coff + 2, sectionCount) || !file.U16(coff + 16, optionalSize) ||
        !file.Has(coff, 20))
        return ErrorBadExeFormat;

    // Optional header: PE32 or PE32+, and the resource entry of its data directory.
    const uint64_t optional = coff + 20;
    uint16_t magic = 0;
    if (!file.Has(optional, optionalSize) || optionalSize < 2 || !file.U16(optional, magic))
        return ErrorBadExeFormat;
    uint64_t rvaCountAt = 0, directories = 0;
    if (magic == 0x10B) {
        rvaCountAt = 92, directories = 96;
    } else if (magic == 0x20B) {
        rvaCountAt = 108, directories = 112;
    } else {
        return ErrorBadExeFormat;
    }
    is64_ = magic == 0x20B;
    uint32_t rvaCount = 0;
    if (optionalSize < directories || !file.U32(optional + rvaCountAt, rvaCount))
        return ErrorBadExeFormat;
    uint32_t resourceRva = 0;
    if (rvaCount > 2) {
        const uint64_t entry = directories + 2 * 8;
        if (entry + 8 > optionalSize) return ErrorBadExeFormat;
        file.U32(optional + entry, resourceRva);
    }

    // Section table: every section's bytes must lie in the file (a truncated file fails).
    if (sectionCount > MaxSections) return ErrorBadExeFormat;
    const uint64_t table = optional + optionalSize;
    if (!file.Has(table, uint64_t(sectionCount) * 40)) return ErrorBadExeFormat;
    std::vector<Section> sections(sectionCount);
    for (size_t i = 0; i < sectionCount; ++i) {
        const uint64_t at = table + i * 40;
        Section& s = sections[i];
        file.U32(at + 8, s.virtualSize);
        file.U32(at + 12, s.virtualAddress);
        file.U32(at + 16, s.rawSize);
        file.U32(at + 20, s.rawPointer);
        if (s.rawSize > 0 && !file.Has(s.rawPointer, s.rawSize)) return ErrorBadExeFormat;
    }
    // Windows looks only at the address; the size field is not trusted for anything.
    if (resourceRva == 0) return ErrorResourceDataNotFound;

    // The resource area runs from the directory's start to its section's end; every
    // directory, entry and name offset is relative to that start and must lie inside it.
    uint64_t areaOffset = 0, areaSize = 0;
    if (!MapRva(sections, resourceRva, areaOffset, areaSize)) return ErrorBadExeFormat;
    const Bytes area{file.data + areaOffset, areaSize};
    std::set<uint64_t> visited;

    // Root: the RT_BITMAP type entry (a numeric ID), which must lead to a directory.
    Directory root{};
    if (!ReadDirectory(area, 0, visited, root)) return ErrorBadExeFormat;
    uint32_t typeTarget = 0;
    for (uint32_t i = 0; i < root.count && !hasBitmapType_; ++i) {
        uint32_t name = 0, target = 0;
        area.U32(root.entries + i * 8, name);
        area.U32(root.entries + i * 8 + 4, target);
        if (!(name & HighBit) && name == RtBitmap) {
            if (!(target & HighBit)) return ErrorBadExeFormat;
            hasBitmapType_ = true;
            typeTarget = target & ~HighBit;
        }
    }
    if (!hasBitmapType_) return ErrorSuccess;

    // Names: a UTF-16 string (high bit of the Name field) or a numeric ID, each leading to
    // a directory of languages; the first language's data entry gives the DIB.
    Directory types{};
    if (!ReadDirectory(area, typeTarget, visited, types)) return ErrorBadExeFormat;
    for (uint32_t i = 0; i < types.count; ++i) {
        uint32_t name = 0, target = 0;
        area.U32(types.entries + i * 8, name);
        area.U32(types.entries + i * 8 + 4, target);
        BitmapResource bitmap;
        if (name & HighBit) {
            const uint64_t at = name & ~HighBit;
            uint16_t length = 0;
            if (!area.U16(at, length) || !area.Has(at + 2, uint64_t(length) * 2))
                return ErrorBadExeFormat;
            bitmap.named = true;
            bitmap.name.resize(length);
            for (uint16_t k = 0; k < length; ++k) {
                uint16_t c = 0;
                area.U16(at + 2 + k * 2, c);
                bitmap.name[k] = char16_t(c);
            }
        } else {
            bitmap.id = uint16_t(name);
        }
        if (!(target & HighBit)) return ErrorBadExeFormat;
        Directory languages{};
        if (!ReadDirectory(area, target & ~HighBit, visited, languages)) return ErrorBadExeFormat;
        if (languages.count > 0) {
            uint32_t language = 0, dataEntry = 0;
            area.U32(languages.entries, language);
            area.U32(languages.entries + 4, dataEntry);
            if (dataEntry & HighBit) return ErrorBadExeFormat;  // a fourth level
            uint32_t dataRva = 0, dataSize = 0;
            if (!area.U32(dataEntry, dataRva) || !area.U32(uint64_t(dataEntry) + 4, dataSize) ||
                !area.Has(dataEntry, 16))
                return ErrorBadExeFormat;
            uint64_t dataOffset = 0, available = 0;
            if (!MapRva(sections, dataRva, dataOffset, available) || dataSize > available)
                return ErrorBadExeFormat;
            bitmap.hasData = true;
            bitmap.language = uint16_t(language);
            bitmap.offset = size_t(dataOffset);
            bitmap.size = dataSize;
        }
        bitmaps_.push_back(std::move(bitmap));
    }
    return ErrorSuccess;
}

const BitmapResource* ResourceModule::FindBitmap(std::u16string_view name) const {
    for (const BitmapResource& b : bitmaps_) {
        if (!b.named || b.name.size() != name.size()) continue;
        bool same = true;
        for (size_t i = 0; i < name.size() && same; ++i)
            same = AsciiUpper(b.name[i]) == AsciiUpper(name[i]);
        if (same) return &b;
    }
    return nullptr;
}

uint32_t ResourceModule::BitmapData(std::u16string_view name,
                                    std::span<const uint8_t>& data) const {
    data = {};
    if (!hasBitmapType_) return ErrorResourceTypeNotFound;
    const BitmapResource* b = FindBitmap(name);
    if (!b) return ErrorResourceNameNotFound;
    if (!b->hasData) return ErrorResourceLangNotFound;
    data = Data(*b);
    return ErrorSuccess;
}

std::span<const uint8_t> ResourceModule::Data(const BitmapResource& resource) const {
    if (!resource.hasData || resource.offset > bytes_.size() ||
        resource.size > bytes_.size() - resource.offset)
        return {};
    return {bytes_.data() + resource.offset, resource.size};
}

std::string DisplayName(const BitmapResource& resource) {
    if (!resource.named) return "#" + std::to_string(resource.id);
    std::string out;
    for (size_t i = 0; i < resource.name.size(); ++i) {
        uint32_t c = resource.name[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < resource.name.size() &&
            resource.name[i + 1] >= 0xDC00 && resource.name[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (resource.name[++i] - 0xDC00);
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;  // a lone surrogate
        }
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | c >> 6), out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | c >> 12), out += char(0x80 | (c >> 6 & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | c >> 18), out += char(0x80 | (c >> 12 & 0x3F));
            out += char(0x80 | (c >> 6 & 0x3F)), out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

uint32_t ReadModuleFile(const std::string& path, std::vector<uint8_t>& bytes) {
    bytes.clear();
    if (path.empty()) return ErrorFileNotFound;
    // Non-blocking, so a named pipe cannot hold the open; it is refused below anyway.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        switch (errno) {
            case ENOENT:
            case ENOTDIR: return ErrorFileNotFound;
            case EACCES:
            case EPERM:
            case EISDIR: return ErrorAccessDenied;
            case ENAMETOOLONG: return ErrorFilenameTooLong;
            default: return ErrorReadFault;
        }
    }
    struct stat st {};
    uint32_t result = ErrorSuccess;
    if (::fstat(fd, &st) != 0) {
        result = ErrorReadFault;
    } else if (S_ISDIR(st.st_mode)) {
        result = ErrorAccessDenied;
    } else if (!S_ISREG(st.st_mode)) {
        result = ErrorBadExeFormat;
    } else if (uint64_t(st.st_size) > MaxModuleBytes) {
        result = ErrorFileTooLarge;
    } else {
        // Read to the end, whatever the size said, but never past the limit.
        bytes.resize(size_t(st.st_size) + 1);
        size_t have = 0;
        for (;;) {
            if (have == bytes.size()) {
                if (bytes.size() > MaxModuleBytes) {
                    result = ErrorFileTooLarge;
                    break;
                }
                bytes.resize(std::min(bytes.size() * 2, MaxModuleBytes + 1));
            }
            const ssize_t got = ::read(fd, bytes.data() + have, bytes.size() - have);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                result = ErrorReadFault;
                break;
            }
            if (got == 0) break;
            have += size_t(got);
        }
        bytes.resize(have);
    }
    ::close(fd);
    if (result != ErrorSuccess) bytes.clear();
    return result;
}

}  // namespace skelda::pe
