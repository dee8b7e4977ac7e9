// What the metafile reader (skelda-metafile) writes on its standard output: either a
// picture, "SKMF IMAGE <width> <height>\n" and then width x height pixels of 4 bytes
// (0xAARRGGBB, little-endian), or "SKMF ERROR\n" and a line of text. The game reads the
// reply as outside input: any deviation is an error, never a picture.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace skelda {

// The largest picture the reader draws, and so the largest reply the game takes.
constexpr int MaxMetafilePixels = 4096;
constexpr qsizetype MaxErrorReply = 1024;
constexpr qsizetype MaxMetafileReply = 32 + qsizetype(MaxMetafilePixels) * MaxMetafilePixels * 4;

// The reader's exit status when it ran out of memory.
constexpr int MetafileOutOfMemory = 3;

QByteArray EncodeMetafileImage(const QImage& image);
QByteArray EncodeMetafileError(const QString& text);

// True with `image` set for a picture reply; false with `error` set for an error reply
// (the reader's own text) or for anything that is not a well-formed reply.
bool DecodeMetafileReply(const QByteArray& reply, QImage& image, QString& error);

}  // namespace skelda
