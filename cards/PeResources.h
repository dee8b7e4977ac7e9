// The bitmap resources of a Windows module (PE32 or PE32+), read as data and never run.
// Every offset, size and count is checked against the file, so a damaged or hostile file
// is refused with the error Windows gives for it and nothing is read outside the bytes.
// No Qt here, so the reader can be fuzzed on its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace skelda::pe {

// Deck files are a few hundred kilobytes; anything this large is refused unread.
constexpr size_t MaxModuleBytes = 64u * 1024 * 1024;
// Bounds on what a resource directory may claim.
constexpr size_t MaxSections = 96;
constexpr size_t MaxDirectoryEntries = 4096;

constexpr uint16_t RtBitmap = 2;

struct BitmapResource {
    bool named = false;
    std::u16string name;   // when named
    uint16_t id = 0;       // when not named
    bool hasData = false;  // false when the name has no language entry at all
    uint16_t language = 0;
    size_t offset = 0;  // the DIB's place in the file
    size_t size = 0;
};

class ResourceModule {
public:
    // Parses a whole module file. Returns 0 (ErrorSuccess) or the Windows error code:
    // 193 for anything that is not an intact 32-bit or 64-bit module (a 16-bit module, a
    // text file, an empty file, broken headers or a damaged resource directory), 1812 for
    // a module without a resource section.
    uint32_t Parse(std::vector<uint8_t> bytes);

    bool Is64Bit() const { return is64_; }
    // False when the module has resources but no bitmap resources at all.
    bool HasBitmapType() const { return hasBitmapType_; }
    // Every bitmap resource in the file's order.
    const std::vector<BitmapResource>& Bitmaps() const { return bitmaps_; }

    // The first bitmap resource named `name` (ASCII letters compared without regard to
    // case, as Windows compares resource names); null when there is none.
    const BitmapResource* FindBitmap(std::u16string_view name) const;

    // The DIB of the named bitmap, or the error Windows gives for a failed look-up: 1813
    // when there are no bitmap resources, 1814 for a missing name, 1815 for a name without
    // any language.
    uint32_t BitmapData(std::u16string_view name, std::span<const uint8_t>& data) const;
    std::span<const uint8_t> Data(const BitmapResource& resource) const;

private:
    std::vector<uint8_t> bytes_;
    bool is64_ = false;
    bool hasBitmapType_ = false;
    std::vector<BitmapResource> bitmaps_;
};

// The resource's name for people: the UTF-8 name, or "#" and the number for a numeric ID.
std::string DisplayName(const BitmapResource& resource);

// Reads a module file whole. Returns 0 or the Windows error for it: 2 (not found), 5 (a
// folder or no permission), 193 (not a regular file), 206 (name too long), 223 (over
// MaxModuleBytes), 30 (a read error).
uint32_t ReadModuleFile(const std::string& path, std::vector<uint8_t>& bytes);

}  // namespace skelda::pe
