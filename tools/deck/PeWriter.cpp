#include "tools/deck/PeWriter.h"

#include <algorithm>
#include <cstring>

namespace skelda {
namespace {

class Out {
public:
    std::vector<uint8_t> bytes;
    void U8(uint8_t v) { bytes.push_back(v); }
    void U16(uint32_t v) { U8(uint8_t(v)), U8(uint8_t(v >> 8)); }
    void U32(uint32_t v) { U16(v & 0xFFFF), U16(v >> 16); }
    void Raw(const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        bytes.insert(bytes.end(), b, b + n);
    }
    void PadTo(size_t alignment) {
        while (bytes.size() % alignment) U8(0);
    }
    void Put32(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(v >> (8 * i));
    }
};

constexpr uint32_t SectionRva = 0x1000;
constexpr uint32_t SectionAlignment = 0x1000;
constexpr uint32_t FileAlignment = 0x200;
constexpr uint32_t HeadersSize = 0x200;
constexpr uint32_t LangEnUs = 1033;

uint32_t AlignUp(uint32_t v, uint32_t a) {
    return (v + a - 1) / a * a;
}

// Resource directory header with `named` name entries and `ids` ID entries after it.
void Directory(Out& o, uint16_t named, uint16_t ids) {
    o.U32(0), o.U32(0), o.U16(0), o.U16(0), o.U16(named), o.U16(ids);
}

// The .rsrc section: root (type 2) -> names -> one language each -> data entries, then
// the name strings and the bitmaps.
std::vector<uint8_t> ResourceSection(const std::vector<NamedBitmap>& bitmaps) {
    const uint32_t n = uint32_t(bitmaps.size());
    const uint32_t typeDir = 16 + 8;
    const uint32_t languageDirs = typeDir + 16 + 8 * n;
    const uint32_t dataEntries = languageDirs + 24 * n;
    const uint32_t strings = dataEntries + 16 * n;
    std::vector<uint32_t> nameAt(n), dataAt(n);
    uint32_t at = strings;
    for (uint32_t i = 0; i < n; ++i) nameAt[i] = at, at += 2 + 2 * uint32_t(bitmaps[i].name.size());
    for (uint32_t i = 0; i < n; ++i) {
        at = AlignUp(at, 8);
        dataAt[i] = at;
        at += uint32_t(bitmaps[i].dib.size());
    }

    Out o;
    Directory(o, 0, 1);
    o.U32(2), o.U32(0x80000000u | typeDir);
    Directory(o, uint16_t(n), 0);
    for (uint32_t i = 0; i < n; ++i)
        o.U32(0x80000000u | nameAt[i]), o.U32(0x80000000u | (languageDirs + 24 * i));
    for (uint32_t i = 0; i < n; ++i) {
        Directory(o, 0, 1);
        o.U32(LangEnUs), o.U32(dataEntries + 16 * i);
    }
    for (uint32_t i = 0; i < n; ++i)
        o.U32(SectionRva + dataAt[i]), o.U32(uint32_t(bitmaps[i].dib.size())), o.U32(0), o.U32(0);
    for (const NamedBitmap& b : bitmaps) {
        o.U16(uint32_t(b.name.size()));
        for (char c : b.name) o.U16(uint8_t(c));
    }
    for (uint32_t i = 0; i < n; ++i) {
        o.PadTo(8);
        o.Raw(bitmaps[i].dib.data(), bitmaps[i].dib.size());
    }
    return o.bytes;
}

// The PE checksum: 16-bit one's-complement-style sum of the file, without the checksum
// field, plus the file's length.
uint32_t PeChecksum(const std::vector<uint8_t>& file, size_t checksumAt) {
    uint64_t sum = 0;
    for (size_t i = 0; i < file.size(); i += 2) {
        if (i >= checksumAt && i < checksumAt + 4) continue;
        const uint32_t word = file[i] | (i + 1 < file.size() ? file[i + 1] << 8 : 0);
        sum += word;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return uint32_t(sum + file.size());
}

}  // namespace

std::vector<uint8_t> BuildResourceDll(std::vector<NamedBitmap> bitmaps) {
    for (NamedBitmap& b : bitmaps)
        std::transform(b.name.begin(), b.name.end(), b.name.begin(),
                       [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; });
    // Named entries are sorted by their upper-case names, code unit by code unit.
    std::stable_sort(bitmaps.begin(), bitmaps.end(),
                     [](const NamedBitmap& a, const NamedBitmap& b) { return a.name < b.name; });
    const std::vector<uint8_t> rsrc = ResourceSection(bitmaps);
    const uint32_t rsrcSize = uint32_t(rsrc.size());
    const uint32_t rawSize = AlignUp(rsrcSize, FileAlignment);

    Out o;
    // DOS header and the customary stub that says the file is no DOS program.
    static const uint8_t stub[] = {0x0E, 0x1F, 0xBA, 0x0E, 0x00, 0xB4, 0x09,
                                   0xCD, 0x21, 0xB8, 0x01, 0x4C, 0xCD, 0x21};
    static const char stubText[] = "This program cannot be run in DOS mode.\r\r\n$";
    const uint32_t peAt = 0x80;
    o.U16(0x5A4D);                                        // e_magic "MZ"
    o.U16(0x90), o.U16(3), o.U16(0), o.U16(4);            // last page, pages, relocs, header paras
    o.U16(0), o.U16(0xFFFF), o.U16(0), o.U16(0xB8);       // min/max alloc, ss, sp
    o.U16(0), o.U16(0), o.U16(0), o.U16(0x40), o.U16(0);  // csum, ip, cs, lfarlc, ovno
    while (o.bytes.size() < 0x3C) o.U8(0);
    o.U32(peAt);  // e_lfanew
    o.Raw(stub, sizeof stub);
    o.Raw(stubText, sizeof stubText - 1);
    while (o.bytes.size() < peAt) o.U8(0);

    // "PE\0\0" and the COFF header: i386, one section, a DLL of 32-bit code.
    o.U32(0x00004550);
    o.U16(0x014C), o.U16(1), o.U32(0), o.U32(0), o.U32(0), o.U16(224);
    o.U16(0x0002 | 0x0100 | 0x2000);  // executable image, 32-bit machine, DLL

    // PE32 optional header.
    o.U16(0x10B), o.U8(14), o.U8(0);
    o.U32(0), o.U32(rawSize), o.U32(0);              // code, initialised data, uninitialised data
    o.U32(0), o.U32(SectionRva), o.U32(SectionRva);  // entry point (none), code, data bases
    o.U32(0x10000000);                               // image base
    o.U32(SectionAlignment), o.U32(FileAlignment);
    o.U16(6), o.U16(0), o.U16(0), o.U16(0), o.U16(6), o.U16(0);  // OS, image, subsystem versions
    o.U32(0);                                                    // Win32VersionValue
    o.U32(SectionRva + AlignUp(rsrcSize, SectionAlignment));     // SizeOfImage
    o.U32(HeadersSize);
    const size_t checksumAt = o.bytes.size();
    o.U32(0);
    o.U16(2);                                                        // Windows GUI subsystem
    o.U16(0x0100 | 0x0400);                                          // NX compatible, no SEH
    o.U32(0x100000), o.U32(0x1000), o.U32(0x100000), o.U32(0x1000);  // stack, heap
    o.U32(0), o.U32(16);  // loader flags, data directories
    for (int i = 0; i < 16; ++i) {
        if (i == 2) {
            o.U32(SectionRva), o.U32(rsrcSize);
        } else {
            o.U32(0), o.U32(0);
        }
    }

    // The one section.
    const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
    o.Raw(name, 8);
    o.U32(rsrcSize), o.U32(SectionRva), o.U32(rawSize), o.U32(HeadersSize);
    o.U32(0), o.U32(0), o.U16(0), o.U16(0);
    o.U32(0x40000040u);  // initialised data, readable
    while (o.bytes.size() < HeadersSize) o.U8(0);

    o.Raw(rsrc.data(), rsrc.size());
    o.PadTo(FileAlignment);
    o.Put32(checksumAt, PeChecksum(o.bytes, checksumAt));
    return o.bytes;
}

}  // namespace skelda
