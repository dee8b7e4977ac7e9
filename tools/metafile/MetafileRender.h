// Draws a metafile into a picture, as the metafile reader does in its own process:
// libemf2svg (enhanced metafiles) or libwmf's SVG device (Windows metafiles) turn the
// records into SVG, and Qt's SVG renderer paints that on white. Text needs fonts, so a
// QGuiApplication must exist.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include "tools/metafile/MetafileCheck.h"

namespace skelda {

// The libraries' SVG is refused beyond this size.
constexpr qsizetype MaxSvgBytes = 64 * 1024 * 1024;

// The whole way from the file's bytes to a picture; false with the reason otherwise.
bool RenderMetafile(MetafileKind kind, const QByteArray& bytes, QImage& picture, QString& error);

// The two steps on their own. MetafileToSvg runs the library on bytes that passed
// CheckMetafile; `quiet` keeps libwmf from writing its messages to standard error.
bool MetafileToSvg(MetafileKind kind, const QByteArray& bytes, QByteArray& svg, QString& error,
                   bool quiet = false);
bool SvgToImage(const QByteArray& svg, QImage& picture, QString& error);

// The size a picture is drawn at: the document's own size, made at least 1024 pixels on
// its longer side (it is stretched over the table) and at most MaxMetafilePixels on either.
QSize RasterSize(QSizeF document);

}  // namespace skelda
