// Enhanced metafiles and Windows metafiles are drawn by skelda-metafile, a child process
// with a time limit and a memory limit: the libraries that read them are not safe against
// damaged files, so a crash, a hang or a flood of output there is an error message here.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include "tools/metafile/MetafileCheck.h"

namespace skelda {

constexpr int MetafileTimeLimitMs = 5000;
constexpr qint64 MetafileMemoryLimit = 512ll * 1024 * 1024;

// Draws the metafile held in `bytes`; false with the reason, for the user, otherwise.
bool ReadMetafile(MetafileKind kind, const QByteArray& bytes, QImage& picture, QString& reason);

// The reader: the one set here (tests set a stand-in), else skelda-metafile beside the
// game's own executable, else the installed one. Empty when none is found.
void SetMetafileReaderProgram(const QString& path);
QString MetafileReaderProgram();

}  // namespace skelda
