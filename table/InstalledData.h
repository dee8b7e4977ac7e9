// Where the game's folders of songs and table pictures are found: in the folder the game
// was started in first, then in the installed data folder (beside the program, as
// installed under any prefix, then the one it was built for), so a game started from the
// desktop's menu finds its music too.
#pragma once

#include <QString>
#include <QStringList>

namespace skelda {

// The installed data folders to look in, most likely first.
QStringList InstalledDataFolders();

// The folder `name` ("music", "wallpapers") under the working folder when it is there,
// else under the first installed folder that has it, else under the working folder.
QString FindDataFolder(const QString& name, const QString& workingFolder,
                       const QStringList& installedFolders);

}  // namespace skelda
