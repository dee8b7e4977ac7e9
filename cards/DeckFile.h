// A deck file opened as data: the card pictures of a Windows module's bitmap resources.
// OpenDeckFile (cards/CardPictures.h) gives one; skelda-deck uses this class directly to
// list and extract every bitmap, decoded the way the table draws it.
//
// Message forms, the same in the Card Deck dialog and in skelda-deck:
// - a file that cannot be opened as a module: "Error <code>: <text>", the standard Windows
//   text with "%1" filled with the file's full path, on one line. For example
//   "Error 193: /home/a/deck.car is not a valid Win32 application." or
//   "Error 1812: The specified image file did not contain a resource section."
// - a picture that cannot be loaded (Image's error): the bare Windows text, which Browse
//   puts after the picture's name: "The specified resource name cannot be found in the
//   image file." (1814), "The specified resource type cannot be found in the image file."
//   (1813, no bitmap resources at all), "The data is invalid." (13, a bitmap whose header
//   claims more than its bytes hold or that the reader cannot decode).
#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>

#include "cards/CardPictures.h"
#include "cards/PeResources.h"

namespace skelda {

class DeckFile final : public CardPictureSource {
public:
    // Null on failure with the system error in the form above.
    static std::shared_ptr<const DeckFile> Open(const QString& path, QString& error);

    QImage Image(const QString& name, QString& error) const override;
    QString Path() const override { return path_; }

    const pe::ResourceModule& Module() const { return module_; }
    // One bitmap entry decoded; on failure the platform text in `error` and the reader's
    // reason in `detail`.
    QImage Decode(const pe::BitmapResource& resource, QString& error,
                  QString* detail = nullptr) const;

private:
    QString path_;
    pe::ResourceModule module_;
};

// "Error <code>: <text>" with "%1" filled with `path`.
QString SystemErrorMessage(uint32_t code, const QString& path);

// The bare Windows text for a code.
QString PlatformErrorText(uint32_t code);

}  // namespace skelda
