// libFuzzer target: any bytes given to the JPEG reader end in a picture or a message.
#include <cstddef>
#include <cstdint>

#include "table/JpegReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    skelda::RgbImage image;
    std::string error;
    if (skelda::DecodeJpeg(data, size, image, error)) {
        if (image.pixels.size() != static_cast<size_t>(image.width) * image.height * 3)
            __builtin_trap();
    } else if (!image.pixels.empty() || error.empty()) {
        __builtin_trap();
    }
    return 0;
}
