// The table picture: a Windows bitmap, a JPEG file, an enhanced metafile or a Windows
// metafile, stretched over the table. The table colour shows through a felt texture when
// no picture is chosen.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>

namespace skelda {

// Loads a picture file by its extension; false, with a message for the user, when the
// file cannot be read or is not a picture of a kind the table accepts.
bool LoadTablePicture(const QString& path, QImage& picture, QString& error);

// The settings keep colours as Windows colour values (0x00BBGGRR).
QColor ColorFromStored(uint32_t value);
uint32_t ColorToStored(const QColor& color);

}  // namespace skelda
