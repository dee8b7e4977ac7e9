// One source of card pictures by resource name: the built-in set or an open deck file.
// The table, the Card Deck dialog, the about box and skelda-deck all take their pictures
// through this interface, so a deck is judged and drawn the same way everywhere.
//
// Names: "CARD" + two upper-case hex digits of suit * 16 + rank + 16 for the faces
// ("CARD10" Ace of Clubs .. "CARD4C" King of Spades), "BACK0" .. "BACK11", "CARD00" (the
// empty place), "CARD01" (the cross), "CARD02" (the ring; never required of a deck).
#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace skelda {

QString FaceResourceName(int suit, int rank);  // suit 0..3, rank 0..12
QString BackResourceName(int backId);          // 0..11

// Every picture a deck file must hold, in the order the dialog's Browse checks them: the
// 52 faces suit by suit, BACK0..BACK11, then CARD00 and CARD01.
QStringList RequiredPictureNames();

class CardPictureSource {
public:
    virtual ~CardPictureSource() = default;

    // The picture as the game draws it, at its own logical size (71 x 96 for the built-in
    // set; a deck bitmap's own size), 8 bits per channel. A null image on failure, with
    // the platform's text for it in error (for a missing name: "The specified resource
    // name cannot be found in the image file.").
    virtual QImage Image(const QString& name, QString& error) const = 0;

    // The picture for drawing at a device pixel ratio: built-in pictures are drawn afresh
    // at that ratio, deck bitmaps are scaled smoothly to it. Null on failure, as above.
    virtual QPixmap Pixmap(const QString& name, qreal devicePixelRatio, QString& error) const;

    // The deck file's full path; empty for the built-in set.
    virtual QString Path() const = 0;
    bool IsDeckFile() const { return !Path().isEmpty(); }
};

using CardSourcePtr = std::shared_ptr<const CardPictureSource>;

// The program's own pictures (one shared instance).
CardSourcePtr BuiltInCards();

// Opens a deck file as data, never run. Null on failure, with the system error in error,
// on one line: "Error <code>: <the Windows text>", "%1" filled with the file's full path
// ("Error 193: /home/a/deck.car is not a valid Win32 application."): 2 or 5 for a file that
// cannot be opened, 193 for a file that is not an intact 32-bit or 64-bit Windows module
// (damaged headers or resource directory included), 1812 for one without a resource
// section, 223 for a file over 64 MiB. cards/DeckFile.h lists every form.
CardSourcePtr OpenDeckFile(const QString& path, QString& error);

// Loads every required picture in Browse's order; the message for the first that fails
// ("BACK7: The specified resource name cannot be found in the image file.", at most 255
// characters), or nothing when all load.
std::optional<QString> FirstMissingPicture(const CardPictureSource& source);

}  // namespace skelda
