#include "cards/Dib.h"

#include <cstring>

namespace skelda {
namespace {

uint16_t U16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}
uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
void Put16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v), p[1] = uint8_t(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

constexpr uint32_t BiRgb = 0, BiRle8 = 1, BiRle4 = 2, BiBitfields = 3;

}  // namespace

bool ParseDibHeader(std::span<const uint8_t> dib, DibInfo& info, std::string& why) {
    info = DibInfo{};
    if (dib.size() < 4) {
        why = "the bitmap is shorter than its header";
        return false;
    }
    const uint32_t headerSize = U32(dib.data());
    info.headerSize = headerSize;
    switch (headerSize) {
        case 12: info.kind = DibHeaderKind::Core; break;
        case 40: info.kind = DibHeaderKind::Info; break;
        case 108: info.kind = DibHeaderKind::V4; break;
        case 124: info.kind = DibHeaderKind::V5; break;
        default: why = "unknown bitmap header size " + std::to_string(headerSize); return false;
    }
    if (dib.size() < headerSize) {
        why = "the bitmap is shorter than its header";
        return false;
    }
    const uint8_t* h = dib.data();
    int64_t width = 0, height = 0;
    uint16_t planes = 0;
    uint32_t colorsUsed = 0;
    if (info.kind == DibHeaderKind::Core) {
        // BITMAPCOREHEADER: 16-bit sizes, always bottom-up, no compression.
        width = U16(h + 4);
        height = U16(h + 6);
        planes = U16(h + 8);
        info.bitsPerPixel = U16(h + 10);
    } else {
        width = int32_t(U32(h + 4));
        height = int32_t(U32(h + 8));
        planes = U16(h + 12);
        info.bitsPerPixel = U16(h + 14);
        info.compression = U32(h + 16);
        colorsUsed = U32(h + 32);
    }
    if (height < 0) {
        info.topDown = true;
        height = -height;
    }
    // Qt's reader takes 16-bit core sizes as signed, so the core limit is the same.
    if (width <= 0 || height <= 0 || width > MaxDibSide || height > MaxDibSide) {
        why = "the bitmap's size " + std::to_string(width) + " x " + std::to_string(height) +
              " is out of range";
        return false;
    }
    info.width = int(width);
    info.height = int(height);
    if (planes != 1) {
        why = "the bitmap has " + std::to_string(planes) + " planes";
        return false;
    }

    const int bits = info.bitsPerPixel;
    const bool core = info.kind == DibHeaderKind::Core;
    const bool depthOk =
        core ? (bits == 1 || bits == 4 || bits == 8 || bits == 24)
             : (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32);
    if (!depthOk) {
        why = "unsupported bitmap depth " + std::to_string(bits);
        return false;
    }
    const uint32_t comp = info.compression;
    const bool compOk = comp == BiRgb || (comp == BiRle8 && bits == 8) ||
                        (comp == BiRle4 && bits == 4) ||
                        (comp == BiBitfields && (bits == 16 || bits == 32));
    if (!compOk) {
        why = "unsupported compression " + std::to_string(comp) + " for " + std::to_string(bits) +
              " bits per pixel";
        return false;
    }
    const bool runLength = comp == BiRle8 || comp == BiRle4;
    if (runLength && info.topDown) {
        why = "a run-length bitmap cannot run top-down";
        return false;
    }

    // Bit-field masks follow a plain info header; v4 and v5 headers hold them inside.
    uint64_t offset = headerSize;
    if (comp == BiBitfields && info.kind == DibHeaderKind::Info) offset += 12;
    // The palette: biClrUsed entries, or all 2^bits when it is 0 (core headers have no
    // count). Deeper bitmaps may carry an optional table of biClrUsed entries.
    if (bits <= 8) {
        const uint32_t full = 1u << bits;
        if (colorsUsed > full) {
            why = "the palette claims " + std::to_string(colorsUsed) + " colours for " +
                  std::to_string(bits) + " bits per pixel";
            return false;
        }
        info.paletteEntries = colorsUsed ? colorsUsed : full;
    } else {
        if (colorsUsed > 256) {
            why = "the colour table claims " + std::to_string(colorsUsed) + " entries";
            return false;
        }
        info.paletteEntries = colorsUsed;
    }
    offset += uint64_t(info.paletteEntries) * (core ? 3 : 4);
    if (offset > dib.size()) {
        why = "the palette runs past the end of the bitmap";
        return false;
    }
    info.pixelOffset = size_t(offset);
    if (!runLength) {
        const uint64_t stride = (uint64_t(info.width) * bits + 31) / 32 * 4;
        const uint64_t need = stride * uint64_t(info.height);
        if (need > dib.size() - offset) {
            why = "the bitmap's rows need " + std::to_string(need) + " bytes but " +
                  std::to_string(dib.size() - offset) + " are there";
            return false;
        }
        info.pixelBytes = size_t(need);
    } else if (offset == dib.size()) {
        why = "the run-length bitmap has no data";
        return false;
    }
    return true;
}

std::vector<uint8_t> DibToBmpFile(std::span<const uint8_t> dib, const DibInfo& info) {
    std::vector<uint8_t> file(14 + dib.size());
    file[0] = 'B';
    file[1] = 'M';
    Put32(&file[2], uint32_t(file.size()));
    Put16(&file[6], 0);
    Put16(&file[8], 0);
    Put32(&file[10], uint32_t(14 + info.pixelOffset));
    if (!dib.empty()) std::memcpy(&file[14], dib.data(), dib.size());
    return file;
}

const char* DibHeaderKindName(DibHeaderKind kind) {
    switch (kind) {
        case DibHeaderKind::Core: return "core";
        case DibHeaderKind::Info: return "info";
        case DibHeaderKind::V4: return "v4";
        case DibHeaderKind::V5: return "v5";
    }
    return "info";
}

}  // namespace skelda
