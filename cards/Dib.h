// A bitmap resource is a device-independent bitmap (DIB) without the 14-byte file header
// of a .bmp file. This checks a DIB's header against the bytes it comes with and builds
// the file header that lets an ordinary BMP reader decode it. No Qt here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace skelda {

enum class DibHeaderKind { Core, Info, V4, V5 };

// Pictures wider or taller than this are refused as damaged: a card is 71 x 96, and a
// deck of 67 pictures at this size still fits in memory (run-length data can claim a
// large picture in a few bytes).
constexpr int MaxDibSide = 1024;

struct DibInfo {
    DibHeaderKind kind = DibHeaderKind::Info;
    uint32_t headerSize = 0;  // 12, 40, 108 or 124
    int width = 0;
    int height = 0;  // always positive; topDown says which way the rows run
    bool topDown = false;
    int bitsPerPixel = 0;
    uint32_t compression = 0;     // 0 BI_RGB, 1 BI_RLE8, 2 BI_RLE4, 3 BI_BITFIELDS
    uint32_t paletteEntries = 0;  // entries stored after the header (and masks)
    size_t pixelOffset = 0;       // where the pixels start, from the DIB's first byte
    size_t pixelBytes = 0;        // the pixel bytes the header claims (0 for run-length data)
};

// Reads and checks the header: a known header size, a depth and compression that go
// together, a sane size, a palette and pixel rows that lie within `dib`. False with the
// reason in `why` when the DIB claims more than it holds or makes no sense.
bool ParseDibHeader(std::span<const uint8_t> dib, DibInfo& info, std::string& why);

// The DIB with a BITMAPFILEHEADER in front: "BM", the file size and the pixel offset.
std::vector<uint8_t> DibToBmpFile(std::span<const uint8_t> dib, const DibInfo& info);

const char* DibHeaderKindName(DibHeaderKind kind);  // "core", "info", "v4", "v5"

}  // namespace skelda
