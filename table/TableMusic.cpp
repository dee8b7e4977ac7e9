// Background music: the MIDI files of the "music" folder, one random song after another,
// each once a cycle. Without songs or without a sound device the music stays silent.
#include <QDir>

#include "game/Random.h"
#include "persist/qt/Audio.h"
#include "table/InstalledData.h"
#include "table/TSkelda.h"

namespace skelda {

namespace {
constexpr int SongGap = 2048;
}

QString TSkelda::musicFolder() const {
    return FindDataFolder(QStringLiteral("music"), options_.workingFolder,
                          options_.installedFolders.value_or(QStringList()));
}

void TSkelda::Timer3Timer() {
    timer3_.stop();
    if (action(QStringLiteral("NoMusic1"))->isChecked()) return;
    const bool device = audio_ && audio_->ok();
    if (!device) {
        currentSong_.clear();
        return;
    }
    const QDir folder(musicFolder());
    if (musicFiles_.isEmpty())
        musicFiles_ = folder.entryList({QStringLiteral("*.mid")},
                                       QDir::Files | QDir::Hidden | QDir::System, QDir::NoSort);
    if (musicFiles_.isEmpty()) {
        // Nothing to play: the music stays silent and the timer idle.
        currentSong_.clear();
        return;
    }
    const int i = static_cast<int>(Random(static_cast<uint32_t>(musicFiles_.size())));
    currentSong_ = musicFiles_.at(i);
    musicFiles_.removeAt(i);
    int length = -1;
    length = audio_->PlaySong(folder.filePath(currentSong_).toStdString());
    if (length < 0) {
        currentSong_.clear();
        // A song that does not play is skipped; when none will, the music falls silent.
        if (++songFailures_ > 8) return;
        timer3_.start(SongGap);
        return;
    }
    songFailures_ = 0;
    timer3_.start(length + SongGap);
}

}  // namespace skelda
