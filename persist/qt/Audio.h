// Sound effects and background music through SDL2_mixer. The waves are the program's own
// resources; songs are MIDI files played through the General MIDI soundfont. Playback
// only starts here: waiting for a sound to end is the caller's business.
#pragma once

#include <string>

namespace skelda {

class Audio {
public:
    Audio();  // opens the audio device; ok() is false when there is none
    ~Audio();
    Audio(const Audio&) = delete;
    Audio& operator=(const Audio&) = delete;

    bool ok() const;
    // Starts wave `id`; its length in milliseconds, or -1 when it cannot play (no device,
    // no such wave). With `noStop`, -1 while another sound effect is playing.
    int StartSound(int id, bool noStop);
    bool SoundPlaying() const;
    // Starts a MIDI song; its length in milliseconds read from the file's tempo map,
    // 0 when unknown, -1 when it cannot play.
    int PlaySong(const std::string& path);
    void StopMusic();
};

}  // namespace skelda
