// Decodes a bitmap resource (a DIB) with Qt's BMP reader, as the game draws it.
#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <span>

namespace skelda {

// The picture at 8 bits per channel (Format_ARGB32 when the bitmap has alpha, otherwise
// Format_RGB32), at its own size. Null, with the reason in `why`, when the header claims
// more than the bytes hold or the reader cannot decode it.
QImage DecodeDib(std::span<const uint8_t> dib, QString* why = nullptr);

}  // namespace skelda
