// The DIB path as the table takes it: a bitmap resource (or, for input that starts with
// "MZ", every bitmap of a deck file) through the header checks and Qt's BMP reader. What
// decodes has the header's size and 8 bits per channel.
#include <QImage>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "cards/Dib.h"
#include "cards/DibImage.h"
#include "cards/PeResources.h"

using namespace skelda;

namespace {

void Decode(std::span<const uint8_t> dib) {
    const QImage image = DecodeDib(dib);
    if (image.isNull()) return;
    DibInfo info;
    std::string why;
    if (!ParseDibHeader(dib, info, why)) std::abort();
    if (image.width() != info.width || image.height() != info.height) std::abort();
    if (image.format() != QImage::Format_ARGB32 && image.format() != QImage::Format_RGB32)
        std::abort();
    // Read every pixel, so uninitialised memory shows up under the sanitizers' eyes.
    uint32_t sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) sum += row[x];
    }
    if (sum == 0x12345678u && image.width() == 7777) std::abort();  // keeps the loop
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size >= 2 && data[0] == 'M' && data[1] == 'Z') {
        pe::ResourceModule module;
        if (module.Parse(std::vector<uint8_t>(data, data + size)) != 0) return 0;
        for (const pe::BitmapResource& b : module.Bitmaps()) Decode(module.Data(b));
        return 0;
    }
    Decode({data, size});
    return 0;
}
