// Decodes a JPEG file held in memory through libjpeg-turbo's decompression interface.
// Damaged input never ends the process: the library's own message comes back instead, and a
// stream that is cut short or corrupt is an error, not a picture with grey rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace skelda {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // 3 bytes a pixel, rows top to bottom, no padding
};

// Pictures larger than this many pixels are refused rather than decoded.
constexpr uint64_t MaxJpegPixels = 64ull * 1024 * 1024;

// True on success; otherwise `error` holds the reason and `out` is left empty.
bool DecodeJpeg(const uint8_t* data, size_t size, RgbImage& out, std::string& error);

}  // namespace skelda
