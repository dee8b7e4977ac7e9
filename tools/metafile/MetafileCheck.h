// Our own walk over a metafile before any library sees it: the header, every record's
// size and, for the records that carry counts, offsets or bitmaps, that what they claim
// lies inside the record. The libraries trust these fields; a file that lies about them
// is refused here with a plain reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace skelda {

enum class MetafileKind { Emf, Wmf };

// Metafiles larger than this are refused unread.
constexpr size_t MaxMetafileBytes = 64u * 1024 * 1024;

struct MetafileFacts {
    size_t records = 0;
    // The picture's size in pixels at 96 dots an inch, from the frame or the placeable
    // header; 0 when the file does not say (a plain Windows metafile).
    double width = 0;
    double height = 0;
};

// True when the file is well formed as far as its structure goes; otherwise `error`
// says what is wrong with it.
bool CheckMetafile(MetafileKind kind, const uint8_t* data, size_t size, MetafileFacts& facts,
                   std::string& error);

}  // namespace skelda
