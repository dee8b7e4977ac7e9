// Sound effects and music through SDL2_mixer. SDL's audio device and the mixer are
// process-wide, so their state lives here rather than in the object: the first Audio
// that opens the device owns it until it is destroyed, and any other Audio made
// meanwhile stays silent (ok() false) instead of fighting over the device.
//
// SDL2_mixer is loaded when the first Audio is made, not when the program starts: it
// brings FluidSynth and the sound servers' client libraries with it, and the program
// opens its device only once the table is on screen. Without the library the game is
// silent, as without a device.
#include "persist/qt/Audio.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>

#include <QByteArray>
#include <QFile>
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

// The functions of SDL and SDL2_mixer the audio uses, looked up in the loaded library.
struct Mixer {
    void* library;
    decltype(&::SDL_Quit) QuitSdl;
    decltype(&::SDL_InitSubSystem) InitSubSystem;
    decltype(&::SDL_QuitSubSystem) QuitSubSystem;
    decltype(&::SDL_RWFromConstMem) RWFromConstMem;
    decltype(&::SDL_realloc) Realloc;
    decltype(&::Mix_Init) Init;
    decltype(&::Mix_Quit) Quit;
    decltype(&::Mix_OpenAudio) OpenAudio;
    decltype(&::Mix_CloseAudio) CloseAudio;
    decltype(&::Mix_QuerySpec) QuerySpec;
    decltype(&::Mix_AllocateChannels) AllocateChannels;
    decltype(&::Mix_GetSoundFonts) GetSoundFonts;
    decltype(&::Mix_SetSoundFonts) SetSoundFonts;
    decltype(&::Mix_LoadWAV_RW) LoadWAV_RW;
    decltype(&::Mix_FreeChunk) FreeChunk;
    decltype(&::Mix_HaltChannel) HaltChannel;
    decltype(&::Mix_PlayChannelTimed) PlayChannelTimed;
    decltype(&::Mix_Playing) Playing;
    decltype(&::Mix_LoadMUS_RW) LoadMUS_RW;
    decltype(&::Mix_PlayMusic) PlayMusic;
    decltype(&::Mix_HaltMusic) HaltMusic;
    decltype(&::Mix_FreeMusic) FreeMusic;
};

// The library while it is loaded; null when it is missing or lacks a function.
std::unique_ptr<Mixer> LoadMixer() {
    void* lib = dlopen("libSDL2_mixer-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!lib) return nullptr;
    auto m = std::make_unique<Mixer>();
    m->library = lib;
    bool all = true;
    auto get = [&](auto& fn, const char* name) {
        fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(lib, name));
        all = all && fn;
    };
    get(m->QuitSdl, "SDL_Quit");
    get(m->InitSubSystem, "SDL_InitSubSystem");
    get(m->QuitSubSystem, "SDL_QuitSubSystem");
    get(m->RWFromConstMem, "SDL_RWFromConstMem");
    get(m->Realloc, "SDL_realloc");
    get(m->Init, "Mix_Init");
    get(m->Quit, "Mix_Quit");
    get(m->OpenAudio, "Mix_OpenAudio");
    get(m->CloseAudio, "Mix_CloseAudio");
    get(m->QuerySpec, "Mix_QuerySpec");
    get(m->AllocateChannels, "Mix_AllocateChannels");
    get(m->GetSoundFonts, "Mix_GetSoundFonts");
    get(m->SetSoundFonts, "Mix_SetSoundFonts");
    get(m->LoadWAV_RW, "Mix_LoadWAV_RW");
    get(m->FreeChunk, "Mix_FreeChunk");
    get(m->HaltChannel, "Mix_HaltChannel");
    get(m->PlayChannelTimed, "Mix_PlayChannelTimed");
    get(m->Playing, "Mix_Playing");
    get(m->LoadMUS_RW, "Mix_LoadMUS_RW");
    get(m->PlayMusic, "Mix_PlayMusic");
    get(m->HaltMusic, "Mix_HaltMusic");
    get(m->FreeMusic, "Mix_FreeMusic");
    if (all) return m;
    dlclose(lib);
    return nullptr;
}

// Once a device has been open, the library stays loaded: SDL keeps threads and handlers of
// its own in it. Before that, a machine without a sound device lets it go, with FluidSynth
// and the sound servers' libraries, some megabytes the silent game has no use for.
std::unique_ptr<Mixer> loaded;
const Mixer* mix = nullptr;  // the loaded library, as the functions below use it
bool deviceEverOpened = false;

void UnloadUnusedMixer() {
    if (!loaded || deviceEverOpened) return;
    loaded->QuitSdl();
#ifndef __SANITIZE_ADDRESS__
    // (The sanitizer's leak check at exit cannot look into an unloaded library: what the
    // library still held would count as lost, and sorting that out takes seconds.)
    dlclose(loaded->library);
#endif
    loaded.reset();
    mix = nullptr;
}

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
    if (const char* named = mix->GetSoundFonts()) {
        for (const QString& list : QString::fromUtf8(named).split(QLatin1Char(':')))
            for (const QString& path : list.split(QLatin1Char(';')))
                if (!path.isEmpty() && QFile::exists(path)) return;
    }
    for (const char* path : SoundFonts) {
        if (QFile::exists(QString::fromUtf8(path))) {
            mix->SetSoundFonts(path);
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
        if (SDL_RWops* rw = mix->RWFromConstMem(bytes.constData(), int(bytes.size())))
            chunk = mix->LoadWAV_RW(rw, 1);
        // The converted sound sits in the buffer the conversion needed, several times its
        // size; the chunk is kept, so it keeps only what it holds.
        if (chunk && chunk->allocated && chunk->alen > 0)
            if (void* tight = mix->Realloc(chunk->abuf, chunk->alen))
                chunk->abuf = static_cast<Uint8*>(tight);
    }
    device->waves[id] = chunk;
    return chunk;
}

}  // namespace

Audio::Audio() {
    RegisterSoundResources();
    if (device) return;  // another Audio has the device
    if (!loaded) loaded = LoadMixer();
    mix = loaded.get();
    if (!mix) return;
    if (mix->InitSubSystem(SDL_INIT_AUDIO) != 0) {
        UnloadUnusedMixer();
        return;
    }
    mix->Init(MIX_INIT_MID);
    if (mix->OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
        mix->Quit();
        mix->QuitSubSystem(SDL_INIT_AUDIO);
        UnloadUnusedMixer();
        return;
    }
    deviceEverOpened = true;
    auto opened = std::make_unique<Device>();
    Uint16 format = 0;
    int channels = 0;
    mix->QuerySpec(&opened->frequency, &format, &channels);
    opened->bytesPerFrame = int(SDL_AUDIO_BITSIZE(format) / 8) * channels;
    if (opened->frequency <= 0 || opened->bytesPerFrame <= 0) {
        mix->CloseAudio();
        mix->Quit();
        mix->QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    mix->AllocateChannels(1);
    ChooseSoundFont();
    opened->owner = this;
    device = opened.release();
}

Audio::~Audio() {
    if (!ok()) return;
    StopMusic();
    mix->HaltChannel(-1);
    for (auto& [id, chunk] : device->waves)
        if (chunk) mix->FreeChunk(chunk);
    delete device;
    device = nullptr;
    mix->CloseAudio();
    mix->Quit();
    mix->QuitSubSystem(SDL_INIT_AUDIO);
}

bool Audio::ok() const {
    return device && device->owner == this;
}

int Audio::StartSound(int id, bool noStop) {
    if (!ok()) return -1;
    if (noStop && SoundPlaying()) return -1;
    Mix_Chunk* chunk = Wave(id);
    if (!chunk) return -1;
    mix->HaltChannel(EffectChannel);
    if (mix->PlayChannelTimed(EffectChannel, chunk, 0, -1) < 0) return -1;
    const uint64_t frames = chunk->alen / uint64_t(device->bytesPerFrame);
    return int((frames * 1000 + uint64_t(device->frequency) - 1) / uint64_t(device->frequency));
}

bool Audio::SoundPlaying() const {
    return ok() && mix->Playing(EffectChannel) != 0;
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
        mix->RWFromConstMem(device->songBytes.constData(), int(device->songBytes.size()));
    device->song = rw ? mix->LoadMUS_RW(rw, 1) : nullptr;
    if (!device->song || mix->PlayMusic(device->song, 0) != 0) {
        StopMusic();
        return -1;
    }
    if (!length || *length > LongestSongMs) return 0;
    return int(*length);
}

void Audio::StopMusic() {
    if (!ok()) return;
    if (device->song) {
        mix->HaltMusic();
        mix->FreeMusic(device->song);
        device->song = nullptr;
    }
    device->songBytes.clear();
}

}  // namespace skelda
