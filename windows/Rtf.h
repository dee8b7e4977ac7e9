// The rich-text (RTF) reader and writer behind the help pages and their export. The reader
// knows the subset the pages use: character formats (\b \i \ul \fs \cf \plain), paragraphs
// (\par \pard \li \fi \sb \sa), the colour table, escapes and \u characters; it skips
// every other control word and destination. Damaged input reads as far as it makes sense,
// in time linear in its length and with a bounded group depth.
#pragma once

#include <QByteArray>

class QTextDocument;

namespace skelda {

// Groups nested deeper than this are read as plain skipped text.
inline constexpr int RtfMaxDepth = 64;

// Replaces the document's content with the RTF text. False, and the document untouched,
// when the text does not start as an RTF document ("{\rtf").
bool ReadRtf(const QByteArray& rtf, QTextDocument& document);

// The document as RTF: one paragraph per block, with bold, italic, underline, point size,
// colour and indents; characters outside ASCII as \u.
QByteArray WriteRtf(const QTextDocument& document);

}  // namespace skelda
