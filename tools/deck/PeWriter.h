// Writes a resource-only 32-bit Windows DLL holding bitmaps as RT_BITMAP resources: the
// deck-file format that Windows, LLVM's object tools and the game's reader all read. No Qt.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace skelda {

struct NamedBitmap {
    std::string name;          // ASCII; stored upper-case, as resource compilers store names
    std::vector<uint8_t> dib;  // the bitmap without its file header
};

// The whole DLL file: a DOS stub, PE32 headers for i386 with no entry point, and one
// ".rsrc" section with the bitmaps sorted by name as Windows expects them, language 1033.
std::vector<uint8_t> BuildResourceDll(std::vector<NamedBitmap> bitmaps);

}  // namespace skelda
