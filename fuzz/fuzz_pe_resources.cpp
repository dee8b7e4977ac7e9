// The PE resource reader on any bytes: it must refuse or give bitmaps that lie inside
// the file, and every bitmap's header check and file header must stay within its bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "cards/Dib.h"
#include "cards/PeResources.h"

using namespace skelda;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pe::ResourceModule module;
    if (module.Parse(std::vector<uint8_t>(data, data + size)) != 0) return 0;
    for (const pe::BitmapResource& b : module.Bitmaps()) {
        if (b.hasData && (b.offset > size || b.size > size - b.offset)) std::abort();
        const std::span<const uint8_t> dib = module.Data(b);
        DibInfo info;
        std::string why;
        if (ParseDibHeader(dib, info, why)) {
            if (info.pixelOffset > dib.size() || info.pixelBytes > dib.size() - info.pixelOffset)
                std::abort();
            if (DibToBmpFile(dib, info).size() != dib.size() + 14) std::abort();
        }
        pe::DisplayName(b);
        if (b.named && !module.FindBitmap(b.name)) std::abort();
    }
    std::span<const uint8_t> found;
    module.BitmapData(u"CARD10", found);
    module.BitmapData(u"back7", found);
    return 0;
}
