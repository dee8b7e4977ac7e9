#include "tools/metafile/MetafileCheck.h"

#include <algorithm>
#include <cmath>

namespace skelda {

namespace {

uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
int32_t I32(const uint8_t* p) {
    return static_cast<int32_t>(U32(p));
}
int16_t I16(const uint8_t* p) {
    return static_cast<int16_t>(U16(p));
}

// A device-independent bitmap inside a record: its header and colour table in `header`
// bytes, its pixels in `bits` bytes. The pixels must hold every row the header claims.
bool CheckDib(const uint8_t* p, uint64_t header, uint64_t bits, std::string& why) {
    if (header < 12) {
        why = "a bitmap header is cut short";
        return false;
    }
    const uint32_t size = U32(p);
    int64_t width = 0, height = 0;
    uint32_t depth = 0, compression = 0;
    if (size == 12) {
        width = U16(p + 4);
        height = U16(p + 6);
        depth = U16(p + 10);
    } else if (size >= 40 && size <= header) {
        width = I32(p + 4);
        height = I32(p + 8);
        depth = U16(p + 14);
        compression = U32(p + 16);
    } else {
        why = "a bitmap header has a wrong size (" + std::to_string(size) + " bytes)";
        return false;
    }
    height = height < 0 ? -height : height;
    if (width <= 0 || height <= 0 || width * height > (int64_t(1) << 28)) {
        why = "a bitmap has an impossible size (" + std::to_string(width) + " x " +
              std::to_string(height) + ")";
        return false;
    }
    if (compression == 0 || compression == 3) {
        if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) {
            why = "a bitmap has an unknown depth (" + std::to_string(depth) + " bits)";
            return false;
        }
        const uint64_t row = (static_cast<uint64_t>(width) * depth + 31) / 32 * 4;
        if (row * static_cast<uint64_t>(height) > bits) {
            why = "a bitmap claims more pixels than its record holds";
            return false;
        }
    } else if (compression > 5) {
        why = "a bitmap has an unknown compression (" + std::to_string(compression) + ")";
        return false;
    }
    return true;
}

// A packed bitmap, as the Windows metafile records carry it: the header, the colour
// table, then the pixels, in `total` bytes.
bool CheckPackedDib(const uint8_t* p, uint64_t total, std::string& why) {
    if (total < 12) {
        why = "a bitmap header is cut short";
        return false;
    }
    const uint64_t size = U32(p);
    if (size != 12 && (size < 40 || size > total)) return CheckDib(p, total, 0, why);
    const uint32_t depth = size == 12 ? U16(p + 10) : U16(p + 14);
    const uint64_t used = size == 12 ? 0 : U32(p + 32);
    uint64_t table = 0;
    if (depth > 0 && depth <= 8)
        table = (used != 0 && used <= (1u << depth) ? used : (1u << depth)) * (size == 12 ? 3 : 4);
    if (size == 40 && U32(p + 16) == 3) table += 12;  // the three channel masks
    if (size + table > total) {
        why = "a bitmap's colour table runs past its record";
        return false;
    }
    return CheckDib(p, size + table, total - size - table, why);
}

// --- Enhanced metafiles ---------------------------------------------------------------

// The smallest size of each record type that has a fixed part, by type number.
constexpr uint16_t EmfMinimum[] = {0,  88, 28,  28, 28,  28, 28,  32,  32,  16,   // 0..9
                                   16, 16, 16,  16, 20,  20, 12,  12,  12,  12,   // 10..19
                                   12, 12, 12,  32, 12,  12, 16,  16,  8,   24,   // 20..29
                                   24, 24, 24,  8,  12,  32, 36,  12,  28,  24,   // 30..39
                                   12, 28, 24,  24, 32,  40, 40,  40,  12,  16,   // 40..49
                                   20, 16, 8,   24, 16,  40, 28,  12,  12,  8,    // 50..59
                                   8,  8,  24,  24, 24,  8,  8,   12,  8,   8,    // 60..69
                                   12, 32, 40,  28, 28,  16, 100, 108, 128, 140,  // 70..79
                                   76, 80, 104, 76, 76,  28, 28,  28,  28,  28,   // 80..89
                                   32, 32, 28,  32, 32,  52, 40,  40,  8,   8,    // 90..99
                                   8,  8,  8,   8,  8,   8,  8,   8,   8,   8,    // 100..109
                                   8,  8,  8,   8,  108, 8,  108, 8,   36,  8,    // 110..119
                                   8,  8,  8};                                    // 120..122
constexpr uint32_t EmrEof = 14;
constexpr uint32_t EmrMax = 122;

// A bitmap given by offsets from the record's start: header at `off`, its size at `off`
// + 4, pixels at `off` + 8, their size at `off` + 12.
bool EmfBitmap(const uint8_t* r, uint32_t size, uint32_t fields, std::string& why) {
    const uint64_t offBmi = U32(r + fields), cbBmi = U32(r + fields + 4);
    const uint64_t offBits = U32(r + fields + 8), cbBits = U32(r + fields + 12);
    if (cbBmi == 0) return true;  // a pattern or colour operation without a bitmap
    if (offBmi + cbBmi > size || offBits + cbBits > size) {
        why = "a bitmap lies outside its record";
        return false;
    }
    return CheckDib(r + offBmi, cbBmi, cbBits, why);
}

// What the variable part of a record claims, checked against the record's size.
bool EmfRecordBody(uint32_t type, const uint8_t* r, uint32_t size, std::string& why) {
    auto need = [&](uint64_t bytes) {
        if (bytes <= size) return true;
        why = "its counts claim more than the record holds";
        return false;
    };
    switch (type) {
        case 2:
        case 3:
        case 4:
        case 5:
        case 6:  // poly-lines and polygons, 32-bit points
            return need(28 + uint64_t(U32(r + 24)) * 8);
        case 85:
        case 86:
        case 87:
        case 88:
        case 89:  // the same with 16-bit points
            return need(28 + uint64_t(U32(r + 24)) * 4);
        case 56: return need(28 + uint64_t(U32(r + 24)) * 9);
        case 92: return need(28 + uint64_t(U32(r + 24)) * 5);
        case 7:
        case 8:
        case 90:
        case 91: {  // several polygons: the counts, then the points
            const uint64_t polys = U32(r + 24), points = U32(r + 28);
            if (!need(32 + polys * 4 + points * (type < 90 ? 8 : 4))) return false;
            uint64_t sum = 0;
            for (uint64_t i = 0; i < polys; ++i) sum += U32(r + 32 + i * 4);
            if (sum == points) return true;
            why = "its polygon counts do not add up";
            return false;
        }
        case 70: return need(12 + uint64_t(U32(r + 8)));  // comment
        case 49: return need(16 + uint64_t(U16(r + 14)) * 4);
        case 50: return need(20 + uint64_t(U32(r + 16)) * 4);
        case 71:
        case 72:
        case 73:
        case 74:
        case 75: {  // regions: a header, then rectangles
            const uint32_t at = type == 75 ? 8 : 24;
            const uint64_t data = U32(r + at), start = EmfMinimum[type];
            if (!need(start + data)) return false;
            if (data == 0) return true;
            if (data < 32 || 32 + uint64_t(U32(r + start + 8)) * 16 > data) {
                why = "its region data is inconsistent";
                return false;
            }
            return true;
        }
        case 14: {  // end: an optional palette
            const uint64_t entries = U32(r + 8), offset = U32(r + 12);
            return entries == 0 || need(offset + entries * 4);
        }
        case 118: {  // gradient fill: vertices, then triangles or rectangles
            const uint64_t vertices = U32(r + 24), shapes = U32(r + 28);
            return need(36 + vertices * 16 + shapes * (U32(r + 32) == 2 ? 12 : 8));
        }
        case 114:
        case 116: return EmfBitmap(r, size, 84, why);
        case 76:
        case 77: return EmfBitmap(r, size, 84, why);
        case 78: return EmfBitmap(r, size, 84, why) && EmfBitmap(r, size, 112, why);
        case 79: return EmfBitmap(r, size, 96, why) && EmfBitmap(r, size, 124, why);
        case 80:
        case 81: return EmfBitmap(r, size, 48, why);
        case 93:
        case 94: return EmfBitmap(r, size, 16, why);
        case 95: {
            if (!need(52 + uint64_t(U32(r + 48)) * 4)) return false;
            return EmfBitmap(r, size, 12, why);
        }
        case 83:
        case 84: {  // text: the characters and their advances inside the record
            const uint64_t chars = U32(r + 44), offString = U32(r + 48), offDx = U32(r + 72);
            if (chars == 0) return true;
            if (offString + chars * (type == 84 ? 2 : 1) > size ||
                (offDx != 0 && offDx + chars * 4 > size)) {
                why = "its text lies outside the record";
                return false;
            }
            return true;
        }
        default: return true;
    }
}

bool CheckEmf(const uint8_t* d, size_t size, MetafileFacts& facts, std::string& error) {
    if (size < 88) {
        error = "the file is too short for an enhanced metafile";
        return false;
    }
    if (U32(d) != 1 || U32(d + 40) != 0x464D4520) {
        error = "the file is not an enhanced metafile";
        return false;
    }
    const uint32_t headerSize = U32(d + 4), bytes = U32(d + 48);
    if (headerSize < 88 || headerSize % 4 != 0 || headerSize > (1u << 20)) {
        error = "the metafile header has a wrong size (" + std::to_string(headerSize) + " bytes)";
        return false;
    }
    if (headerSize > size) {
        error = "the file is cut short inside the metafile header";
        return false;
    }
    if (bytes > size) {
        error = "the file is cut short: its header gives " + std::to_string(bytes) +
                " bytes, the file has " + std::to_string(size);
        return false;
    }
    if (bytes < headerSize) {
        error = "the metafile header gives a wrong file size (" + std::to_string(bytes) + ")";
        return false;
    }
    // The description (UTF-16) and the pixel format lie inside the header record.
    const uint64_t chars = U32(d + 60), offDescription = U32(d + 64);
    if (chars != 0 && (offDescription < 88 || offDescription + chars * 2 > headerSize)) {
        error = "the metafile's description lies outside its header";
        return false;
    }
    if (headerSize >= 100) {
        const uint64_t cbFormat = U32(d + 88), offFormat = U32(d + 92);
        if (cbFormat != 0 && (offFormat < 88 || offFormat + cbFormat > headerSize)) {
            error = "the metafile's pixel format lies outside its header";
            return false;
        }
    }
    // The frame is in hundredths of a millimetre; the bounds, in device pixels, stand in
    // when a writer left it empty.
    const double frameW = double(I32(d + 32)) - I32(d + 24),
                 frameH = double(I32(d + 36)) - I32(d + 28);
    const double boundsW = double(I32(d + 16)) - I32(d + 8) + 1,
                 boundsH = double(I32(d + 20)) - I32(d + 12) + 1;
    if (frameW > 0 && frameH > 0) {
        facts.width = frameW * 96 / 2540;
        facts.height = frameH * 96 / 2540;
    } else if (boundsW > 1 && boundsH > 1) {
        facts.width = boundsW;
        facts.height = boundsH;
    } else {
        error = "the metafile's frame is empty";
        return false;
    }
    size_t at = 0;
    for (size_t n = 1;; ++n) {
        if (at + 8 > bytes) {
            error = "the metafile ends without its end record";
            return false;
        }
        const uint32_t type = U32(d + at), length = U32(d + at + 4);
        const std::string where = "record " + std::to_string(n) + " (type " + std::to_string(type) +
                                  ", at byte " + std::to_string(at) + ")";
        if (length < 8 || length % 4 != 0 || length > bytes - at) {
            error = where + " has a wrong size (" + std::to_string(length) + " bytes)";
            return false;
        }
        if (n == 1 ? type != 1 : (type < 2 || type > EmrMax)) {
            error = where + " is of an unknown type";
            return false;
        }
        if (length < EmfMinimum[type]) {
            error = where + " is too short for its type";
            return false;
        }
        std::string why;
        if (!EmfRecordBody(type, d + at, length, why)) {
            error = where + ": " + why;
            return false;
        }
        at += length;
        facts.records = n;
        if (type == EmrEof) return true;
    }
}

// --- Windows metafiles ------------------------------------------------------------------

constexpr uint32_t PlaceableKey = 0x9AC6CDD7;

// The fixed size in words, the 3-word record header included, of the records whose
// parameters the libraries read without looking at the record's size.
uint32_t WmfMinimum(uint16_t function) {
    switch (function) {
        case 0x0102:
        case 0x0103:
        case 0x0104:
        case 0x0106:
        case 0x0107:
        case 0x0108:
        case 0x0127:
        case 0x0139:
        case 0x012A:
        case 0x012B:
        case 0x012C:
        case 0x012D:
        case 0x012E:
        case 0x01F0:
        case 0x0234: return 4;  // one value or object
        case 0x0201:
        case 0x0209:
        case 0x0231:
        case 0x020A:
        case 0x020B:
        case 0x020C:
        case 0x020D:
        case 0x020E:
        case 0x020F:
        case 0x0211:
        case 0x0213:
        case 0x0214:
        case 0x0220:
        case 0x0228: return 5;  // a colour, a point or two values
        case 0x0410:
        case 0x0412:
        case 0x0415:
        case 0x0416:
        case 0x0418:
        case 0x0419:
        case 0x041B:
        case 0x041F:
        case 0x0429: return 7;  // rectangles, scales, pixels
        case 0x0548: return 8;  // extended flood fill
        case 0x061C:
        case 0x061D: return 9;  // round rectangle, pattern blit
        case 0x0817:
        case 0x081A:
        case 0x0830: return 11;     // arc, pie, chord
        case 0x02FC: return 7;      // brush
        case 0x02FA: return 8;      // pen
        case 0x02FB: return 3 + 9;  // font, before its face name
        case 0x0324:
        case 0x0325:
        case 0x0538:
        case 0x0521: return 4;
        case 0x0A32: return 7;  // text with options
        case 0x0626:
        case 0x00F7:
        case 0x0037:
        case 0x0436: return 5;
        case 0x0940: return 3 + 8;   // DIB blit with a bitmap: raster operation, 6 values
        case 0x0B41: return 3 + 10;  // DIB stretch blit, likewise
        case 0x0F43: return 3 + 11;  // stretch DIB
        case 0x0D33: return 3 + 9;   // DIB to device
        case 0x0142: return 3 + 2;   // DIB pattern brush
        default: return 3;
    }
}

bool WmfRecordBody(uint16_t function, const uint8_t* r, uint64_t words, std::string& why) {
    const uint64_t bytes = words * 2;
    auto need = [&](uint64_t w) {
        if (w <= words) return true;
        why = "its counts claim more than the record holds";
        return false;
    };
    const uint8_t* p = r + 6;  // the parameters
    switch (function) {
        case 0x0324:
        case 0x0325: return need(4 + uint64_t(U16(p)) * 2);  // polygon, polyline
        case 0x0538: {                                       // several polygons
            const uint64_t polys = U16(p);
            if (!need(4 + polys)) return false;
            uint64_t points = 0;
            for (uint64_t i = 0; i < polys; ++i) points += U16(p + 2 + i * 2);
            return need(4 + polys + points * 2);
        }
        case 0x0521: return need(4 + (uint64_t(U16(p)) + 1) / 2 + 2);  // text, then y and x
        case 0x0A32: {                                                 // text with options
            if (!need(7)) return false;
            const uint64_t length = U16(p + 4), options = U16(p + 6);
            return need(7 + ((options & 0x0006) ? 4 : 0) + (length + 1) / 2);
        }
        case 0x00F7:
        case 0x0037:
        case 0x0436:  // palettes: start, count, entries
            return need(5 + uint64_t(U16(p + 2)) * 2);
        case 0x0626: return need(5 + (uint64_t(U16(p + 2)) + 1) / 2);  // escape
        case 0x0940:
        case 0x0B41:
        case 0x0F43:
        case 0x0D33:
        case 0x0142: {
            // Blits whose size is that of their function number carry no bitmap.
            if ((function == 0x0940 || function == 0x0B41) && words == (function >> 8) + 3u)
                return true;
            const uint64_t fixed = WmfMinimum(function) * 2;
            if (bytes <= fixed) {
                why = "its bitmap is missing";
                return false;
            }
            return CheckPackedDib(r + fixed, bytes - fixed, why);
        }
        default: return true;
    }
}

bool CheckWmf(const uint8_t* d, size_t size, MetafileFacts& facts, std::string& error) {
    size_t start = 0;
    if (size >= 4 && U32(d) == PlaceableKey) {
        if (size < 22) {
            error = "the file is too short for a placeable metafile header";
            return false;
        }
        const double w = double(I16(d + 10)) - I16(d + 6), h = double(I16(d + 12)) - I16(d + 8);
        const uint16_t inch = U16(d + 14);
        if (inch == 0 || w == 0 || h == 0) {
            error = "the placeable header gives no picture size";
            return false;
        }
        facts.width = std::abs(w) * 96 / inch;
        facts.height = std::abs(h) * 96 / inch;
        start = 22;
    }
    if (size - start < 18) {
        error = "the file is too short for a Windows metafile";
        return false;
    }
    const uint8_t* m = d + start;
    const uint16_t type = U16(m), headerWords = U16(m + 2), version = U16(m + 4);
    if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x0100 && version != 0x0300)) {
        error = "the file is not a Windows metafile";
        return false;
    }
    uint64_t words = U32(m + 6);
    const uint64_t available = (size - start) / 2;
    // Some drawing programs (Inkscape among them) count the placeable header in the file
    // size too; Windows draws such files, so a size past the end by exactly that header
    // is the file's own size.
    if (start == 22 && words * 2 == size && words > available) words = available;
    if (words > available) {
        error = "the file is cut short: its header gives " + std::to_string(words * 2) +
                " bytes, the file has " + std::to_string(size - start);
        return false;
    }
    if (words < 9 + 3) {
        error = "the metafile header gives a wrong file size";
        return false;
    }
    uint64_t at = 9;  // in words, from the metafile header
    for (size_t n = 1;; ++n) {
        if (at + 3 > words) {
            error = "the metafile ends without its end record";
            return false;
        }
        const uint8_t* r = m + at * 2;
        const uint64_t length = U32(r);
        const uint16_t function = U16(r + 4);
        const std::string where = "record " + std::to_string(n) + " (function 0x" +
                                  [](uint16_t f) {
                                      static const char* hex = "0123456789ABCDEF";
                                      std::string s(4, '0');
                                      for (int i = 3; i >= 0; --i, f >>= 4) s[i] = hex[f & 15];
                                      return s;
                                  }(function) +
                                  ", at word " + std::to_string(at) + ")";
        if (length < 3 || length > words - at) {
            error = where + " has a wrong size (" + std::to_string(length) + " words)";
            return false;
        }
        if (length < WmfMinimum(function)) {
            error = where + " is too short for its function";
            return false;
        }
        std::string why;
        if (!WmfRecordBody(function, r, length, why)) {
            error = where + ": " + why;
            return false;
        }
        at += length;
        facts.records = n;
        if (function == 0) return true;
    }
}

}  // namespace

bool CheckMetafile(MetafileKind kind, const uint8_t* data, size_t size, MetafileFacts& facts,
                   std::string& error) {
    facts = MetafileFacts{};
    if (data == nullptr || size == 0) {
        error = "the file is empty";
        return false;
    }
    if (size > MaxMetafileBytes) {
        error = "the file is larger than " + std::to_string(MaxMetafileBytes >> 20) + " MiB";
        return false;
    }
    return kind == MetafileKind::Emf ? CheckEmf(data, size, facts, error)
                                     : CheckWmf(data, size, facts, error);
}

}  // namespace skelda
