// skelda-deck's commands: build, check, list and extract deck files with the game's own
// reader, so a deck is judged here exactly as the Card Deck dialog judges it.
#pragma once

#include <QImage>
#include <QStringList>
#include <QTextStream>
#include <cstdint>
#include <vector>

namespace skelda {

// Runs one command line (without the program's name). Returns the exit status: 0 done,
// 1 the file or a picture failed, 2 unusable arguments.
int RunDeckTool(const QStringList& args, QTextStream& out, QTextStream& err);

// A picture as a DIB for a deck: 24 bits with a BITMAPINFOHEADER, or, when the picture has
// transparent pixels, 32 bits with a BITMAPV5HEADER and an alpha mask, so that nothing of
// it is lost. Rows bottom-up.
std::vector<uint8_t> ImageToDib(const QImage& image);

}  // namespace skelda
