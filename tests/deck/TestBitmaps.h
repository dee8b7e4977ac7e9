// Bitmaps for the deck tests, written byte by byte in every form a deck may hold, each
// with the picture a correct reader must see; and deck files made from them by our own
// writer or by LLVM's resource compiler and linker.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <utility>
#include <vector>

namespace skelda::test {

enum class Form {
    Mono1,      // 1 bit, two-colour palette
    Palette4,   // 4 bits, 16 colours
    Palette8,   // 8 bits, biClrUsed 200
    Core4,      // BITMAPCOREHEADER, 4 bits, 3-byte palette entries
    Core8,      // BITMAPCOREHEADER, 8 bits
    Fields16,   // 16 bits, BI_BITFIELDS 5-6-5
    Rgb24,      // 24 bits
    Rgb32,      // 32 bits, BI_RGB
    TopDown24,  // 24 bits, negative height
    V5Alpha32,  // BITMAPV5HEADER, 32 bits with an alpha mask
    Rle8,       // 8 bits run-length encoded, ending early: the rest is palette index 0
};
constexpr Form AllForms[] = {Form::Mono1,     Form::Palette4,  Form::Palette8, Form::Core4,
                             Form::Core8,     Form::Fields16,  Form::Rgb24,    Form::Rgb32,
                             Form::TopDown24, Form::V5Alpha32, Form::Rle8};
const char* FormName(Form form);

struct TestBitmap {
    QByteArray dib;       // header, masks, palette, pixels
    int pixelOffset = 0;  // where the pixels start in dib
    QImage expected;      // Format_ARGB32, what the reader must give
    int bits = 0;
    bool core = false;
};

// A w x h picture in `form`; `seed` makes each picture different.
TestBitmap MakeBitmap(Form form, int w, int h, int seed);
// The same as a .bmp file (with its 14-byte file header).
QByteArray BmpFile(const TestBitmap& bitmap);

// Every picture name a full deck holds, CARD02 included when `withRing`.
QStringList DeckNames(bool withRing);

struct DeckPicture {
    QString name;
    TestBitmap bitmap;
    Form form;
};

// A deck file made by the project's writer.
QByteArray OwnDeck(const std::vector<DeckPicture>& pictures);

// A deck file made by llvm-rc and lld-link in `folder` (/MACHINE:X86, or X64 for PE32+).
// Empty on failure, with the tools' output in `log`.
QByteArray LlvmDeck(const QString& folder, const std::vector<DeckPicture>& pictures, bool x64,
                    QString& log);

// Full decks, one picture a name, cycling through `forms`.
std::vector<DeckPicture> DeckPictures(const std::vector<Form>& forms, bool withRing = false);

QString WriteFile(const QString& path, const QByteArray& bytes);  // returns path

}  // namespace skelda::test
