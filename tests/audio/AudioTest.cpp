// The SDL2_mixer audio: refusal without a device, one owner of the device, effect lengths
// from the compiled-in waves, the do-not-stop rule and song lengths from the tempo map.
// Runs against SDL's "dummy" driver, which plays in real time into nowhere.
#include <gtest/gtest.h>

#include <QFile>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "persist/MidiLength.h"
#include "persist/qt/Audio.h"

using namespace skelda;

namespace {

const std::string Waltz = std::string(SKELDA_MUSIC) + "/waltz.mid";

// Length of a compiled-in wave from its header: 16-bit mono at 22050 Hz.
int WaveLengthMs(int id) {
    QFile f(QStringLiteral(":/sounds/%1.wav").arg(id));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray b = f.readAll();
    if (b.size() < 44 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE") return -1;
    const auto* u = reinterpret_cast<const unsigned char*>(b.constData());
    const uint32_t channels = u[22], rate = u[24] | u[25] << 8 | u[26] << 16;
    const uint32_t bits = u[34], data = u[40] | u[41] << 8 | u[42] << 16 | uint32_t(u[43]) << 24;
    if (channels != 1 || rate != 22050 || bits != 16) return -1;
    return int(data / 2 * 1000 / rate);
}

class WithDriver : public ::testing::Test {
protected:
    void Use(const char* driver) { setenv("SDL_AUDIODRIVER", driver, 1); }
    void TearDown() override { unsetenv("SDL_AUDIODRIVER"); }
};

void Wait(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

TEST_F(WithDriver, WithoutADeviceEverythingIsRefusedQuietly) {
    Use("no-such-driver");
    Audio audio;
    EXPECT_FALSE(audio.ok());
    EXPECT_EQ(audio.StartSound(3, false), -1);
    EXPECT_EQ(audio.StartSound(1, true), -1);
    EXPECT_FALSE(audio.SoundPlaying());
    EXPECT_EQ(audio.PlaySong(Waltz), -1);
    audio.StopMusic();
    // The library let go for want of a device loads again for the next one.
    Use("dummy");
    Audio later;
    if (!later.ok()) GTEST_SKIP() << "SDL has no dummy audio driver here";
    EXPECT_GT(later.StartSound(3, false), 0);
}

TEST_F(WithDriver, OneAudioOwnsTheDeviceAtATime) {
    Use("dummy");
    {
        Audio first;
        if (!first.ok()) GTEST_SKIP() << "SDL has no dummy audio driver here";
        Audio second;
        EXPECT_FALSE(second.ok());
        EXPECT_EQ(second.StartSound(3, false), -1);
        EXPECT_TRUE(first.ok());  // the second one's end leaves the device alone
    }
    Audio again;
    EXPECT_TRUE(again.ok());
}

TEST_F(WithDriver, EveryEffectPlaysAndReportsItsLength) {
    Use("dummy");
    Audio audio;
    if (!audio.ok()) GTEST_SKIP() << "SDL has no dummy audio driver here";
    std::vector<int> ids;
    for (int id = 1; id <= 12; ++id) ids.push_back(id);
    for (int id = 20; id <= 23; ++id) ids.push_back(id);
    for (int id = 100; id <= 112; ++id) ids.push_back(id);
    for (int id : ids) {
        const int expected = WaveLengthMs(id);
        ASSERT_GT(expected, 50) << id;
        EXPECT_LE(expected, 2200) << id;
        EXPECT_NEAR(audio.StartSound(id, false), expected, 2) << id;
    }
    for (int id : {0, -3, 13, 19, 24, 99, 113, 65535}) EXPECT_EQ(audio.StartSound(id, false), -1);
}

TEST_F(WithDriver, DoNotStopSkipsOnlyWhileAnEffectPlays) {
    Use("dummy");
    Audio audio;
    if (!audio.ok()) GTEST_SKIP() << "SDL has no dummy audio driver here";
    ASSERT_GT(audio.StartSound(4, false), 1500);
    EXPECT_TRUE(audio.SoundPlaying());
    EXPECT_EQ(audio.StartSound(1, true), -1);
    // Without the flag a sound cuts off the one playing.
    const int snap = audio.StartSound(3, false);
    ASSERT_GT(snap, 0);
    Wait(snap + 400);
    EXPECT_FALSE(audio.SoundPlaying());
    EXPECT_GT(audio.StartSound(1, true), 0);
}

TEST_F(WithDriver, SongsReportTheirTempoMapLength) {
    Use("dummy");
    Audio audio;
    if (!audio.ok()) GTEST_SKIP() << "SDL has no dummy audio driver here";
    std::ifstream in(Waltz, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
    const auto expected = MidiLengthMs(bytes.data(), bytes.size());
    ASSERT_TRUE(expected);
    EXPECT_EQ(audio.PlaySong(Waltz), int(*expected));
    EXPECT_EQ(audio.PlaySong(Waltz), int(*expected));  // a second start replaces the first
    audio.StopMusic();
    audio.StopMusic();

    const auto dir = std::filesystem::temp_directory_path() / "skelda-audio-test";
    std::filesystem::create_directories(dir);
    EXPECT_EQ(audio.PlaySong((dir / "missing.mid").string()), -1);
    const auto junk = dir / "junk.mid";
    std::ofstream(junk) << "not a song at all";
    EXPECT_EQ(audio.PlaySong(junk.string()), -1);
    EXPECT_EQ(audio.PlaySong(dir.string()), -1);  // a folder
    const auto huge = dir / "huge.mid";
    std::filesystem::copy_file(Waltz, huge);
    std::filesystem::resize_file(huge, 17 * 1024 * 1024);  // sparse, refused unread
    EXPECT_EQ(audio.PlaySong(huge.string()), -1);
    // A MIDI file whose header is damaged after the tempo map's reach still plays if the
    // synthesiser takes it; a playable file with no readable length reports 0.
    auto cut = bytes;
    cut.resize(cut.size() - 10);
    const auto truncated = dir / "cut.mid";
    std::ofstream(truncated, std::ios::binary)
        .write(reinterpret_cast<const char*>(cut.data()), std::streamsize(cut.size()));
    const int length = audio.PlaySong(truncated.string());
    EXPECT_TRUE(length == 0 || length == -1) << length;
    std::filesystem::remove_all(dir);
}
