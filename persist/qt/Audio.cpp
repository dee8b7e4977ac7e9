// Sound effects and music through SDL2_mixer. SDL's audio device and the mixer are
// process-wide, so their state lives here rather than in the object: the first Audio
// that opens the device owns it until it is destroyed, and any other Audio made
// meanwhile stays silent (ok() false) instead of fighting over the device.
#include "persist/qt/Audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <QByteArray>
#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <map>
#include <memory>

#include "persist/MidiLength.h"

// The wave resources are compiled into a static library; make sure they are registered.
static void RegisterSoundResources() {
    Q_INIT_RESOURCE(sounds);
}

namespace skelda {

namespace {

// Effects play on this mixer channel only, so a new one cuts off the one before.
constexpr int EffectChannel = 0;
// Longer "lengths" than a day come from damaged files; report them as unknown.
constexpr uint64_t LongestSongMs = 24ull * 60 * 60 * 1000;
// Songs are read whole into memory; a MIDI file is rarely more than a few hundred KB.
constexpr qint64 LargestSongBytes = 16 * 1024 * 1024;

// General MIDI soundfonts that Debian packages install. SDL_mixer names its own default
// (on Debian 12 a ".sf3" file that no package installs); when none of the soundfonts it
// names (or SDL_SOUNDFONTS names) exists, the first of these present is used instead.
constexpr const char* SoundFonts[] = {
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
};

void ChooseSoundFont() {
    if (const char* named = Mix_GetSoundFonts()) {
        for (const QString& path : QString::fromUtf8(named).split(QRegularExpression("[:;]")))
            if (!path.isEmpty() && QFile::exists(path)) return;
    }
    for (const char* path : SoundFonts) {
        if (QFile::exists(QString::fromUtf8(path))) {
            Mix_SetSoundFonts(path);
            return;
        }
    }
}

struct Device {
    const Audio* owner = nullptr;
    int frequency = 0;
    int bytesPerFrame = 0;
    std::map<int, Mix_Chunk*> waves;  // loaded on first use; nullptr when there is none
    Mix_Music* song = nullptr;
    QByteArray songBytes;  // the song's file, kept while SDL_mixer reads from it
};

Device* device = nullptr;

Mix_Chunk* Wave(int id) {
    auto it = device->waves.find(id);
    if (it != device->waves.end()) return it->second;
    Mix_Chunk* chunk = nullptr;
    QFile file(QStringLiteral(":/sounds/%1.wav").arg(id));
    if (id > 0 && file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        // The wave is converted into the device's format; the bytes are not kept.
        if (SDL_RWops* rw = SDL_RWFromConstMem(bytes.constData(), int(bytes.size())))
            chunk = Mix_LoadWAV_RW(rw, 1);
    }
    device->waves[id] = chunk;
    return chunk;
}

}  // namespace

Audio::Audio() {
    RegisterSoundResources();
    if (device) return;  // another Audio has the device
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
    Mix_Init(MIX_INIT_MID);
    if (Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    auto opened = std::make_unique<Device>();
    Uint16 format = 0;
    int channels = 0;
    Mix_QuerySpec(&opened->frequency, &format, &channels);
    opened->bytesPerFrame = int(SDL_AUDIO_BITSIZE(format) / 8) * channels;
    if (opened->frequency <= 0 || opened->bytesPerFrame <= 0) {
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    Mix_AllocateChannels(1);
    ChooseSoundFont();
    opened->owner = this;
    device = opened.release();
}

Audio::~Audio() {
    if (!ok()) return;
    StopMusic();
    Mix_HaltChannel(-1);
    for (auto& [id, chunk] : device->waves)
        if (chunk) Mix_FreeChunk(chunk);
    delete device;
    device = nullptr;
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool Audio::ok() const {
    return device && device->owner == this;
}

int Audio::StartSound(int id, bool noStop) {
    if (!ok()) return -1;
    if (noStop && SoundPlaying()) return -1;
    Mix_Chunk* chunk = Wave(id);
    if (!chunk) return -1;
    Mix_HaltChannel(EffectChannel);
    if (Mix_PlayChannel(EffectChannel, chunk, 0) < 0) return -1;
    const uint64_t frames = chunk->alen / uint64_t(device->bytesPerFrame);
    return int((frames * 1000 + uint64_t(device->frequency) - 1) / uint64_t(device->frequency));
}

bool Audio::SoundPlaying() const {
    return ok() && Mix_Playing(EffectChannel) != 0;
}

int Audio::PlaySong(const std::string& path) {
    if (!ok()) return -1;
    StopMusic();
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly) || file.size() > LargestSongBytes) return -1;
    device->songBytes = file.readAll();
    const auto* bytes = reinterpret_cast<const unsigned char*>(device->songBytes.constData());
    const auto length = MidiLengthMs(bytes, size_t(device->songBytes.size()));
    SDL_RWops* rw =
        SDL_RWFromConstMem(device->songBytes.constData(), int(device->songBytes.size()));
    device->song = rw ? Mix_LoadMUS_RW(rw, 1) : nullptr;
    if (!device->song || Mix_PlayMusic(device->song, 0) != 0) {
        StopMusic();
        return -1;
    }
    if (!length || *length > LongestSongMs) return 0;
    return int(*length);
}

void Audio::StopMusic() {
    if (!ok()) return;
    if (device->song) {
        Mix_HaltMusic();
        Mix_FreeMusic(device->song);
        device->song = nullptr;
    }
    device->songBytes.clear();
}

}  // namespace skelda
