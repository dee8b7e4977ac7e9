#include "table/InstalledData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace skelda {

QStringList InstalledDataFolders() {
    QStringList folders;
#ifdef SKELDA_DATA_FROM_BIN
    // The same layout relative to the program, wherever the package put it.
    if (QCoreApplication::instance())
        folders << QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                   QStringLiteral("/" SKELDA_DATA_FROM_BIN));
#endif
#ifdef SKELDA_DATA_DIR
    const QString built = QDir::cleanPath(QStringLiteral(SKELDA_DATA_DIR));
    if (!folders.contains(built)) folders << built;
#endif
    return folders;
}

QString FindDataFolder(const QString& name, const QString& workingFolder,
                       const QStringList& installedFolders) {
    const QString here = QDir(workingFolder).filePath(name);
    if (QFileInfo(here).isDir()) return here;
    for (const QString& folder : installedFolders) {
        const QString there = QDir(folder).filePath(name);
        if (QFileInfo(there).isDir()) return there;
    }
    return here;
}

}  // namespace skelda
