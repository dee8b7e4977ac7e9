// The MIDI length reader against small files assembled byte by byte, damaged copies of
// them, and the songs the program ships.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "persist/MidiLength.h"

using namespace skelda;

namespace {

using Bytes = std::vector<unsigned char>;

void Put32(Bytes& b, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<unsigned char>(v >> s));
}

Bytes Header(uint16_t format, uint16_t tracks, uint16_t division) {
    Bytes b{'M', 'T', 'h', 'd'};
    Put32(b, 6);
    for (uint16_t v : {format, tracks, division}) {
        b.push_back(static_cast<unsigned char>(v >> 8));
        b.push_back(static_cast<unsigned char>(v));
    }
    return b;
}

Bytes Chunk(const char* tag, const Bytes& body) {
    Bytes b(tag, tag + 4);
    Put32(b, static_cast<uint32_t>(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

Bytes Vlq(uint32_t v) {
    Bytes out{static_cast<unsigned char>(v & 0x7F)};
    while (v >>= 7) out.insert(out.begin(), static_cast<unsigned char>(0x80 | (v & 0x7F)));
    return out;
}

// Track events, each a delta time and the event's bytes.
struct Events {
    Bytes b;
    Events& at(uint32_t delta, Bytes event) {
        const Bytes d = Vlq(delta);
        b.insert(b.end(), d.begin(), d.end());
        b.insert(b.end(), event.begin(), event.end());
        return *this;
    }
    Events& tempo(uint32_t delta, uint32_t micros) {
        return at(delta,
                  {0xFF, 0x51, 0x03, static_cast<unsigned char>(micros >> 16),
                   static_cast<unsigned char>(micros >> 8), static_cast<unsigned char>(micros)});
    }
    Events& note(uint32_t delta, uint32_t length) {
        return at(delta, {0x90, 60, 100}).at(length, {0x80, 60, 0});
    }
    Bytes end(uint32_t delta = 0) { return at(delta, {0xFF, 0x2F, 0x00}).b; }
};

Bytes File(uint16_t format, uint16_t division, const std::vector<Bytes>& tracks) {
    Bytes f = Header(format, static_cast<uint16_t>(tracks.size()), division);
    for (const auto& t : tracks) {
        const Bytes c = Chunk("MTrk", t);
        f.insert(f.end(), c.begin(), c.end());
    }
    return f;
}

std::optional<uint64_t> Length(const Bytes& f) {
    return MidiLengthMs(f.data(), f.size());
}

}  // namespace

TEST(MidiLength, FollowsTheTempoMapOfTicksPerQuarterNote) {
    // 480 ticks a quarter at the default 120 bpm: four quarters are two seconds.
    EXPECT_EQ(Length(File(0, 480, {Events().note(0, 1920).end()})), 2000u);
    // 60 bpm for two quarters, then 240 bpm for two: 2000 + 500 ms.
    EXPECT_EQ(
        Length(File(0, 480,
                    {Events().tempo(0, 1000000).note(0, 960).tempo(0, 250000).note(0, 960).end()})),
        2500u);
    // A tempo change at or after the end changes nothing; a zero tempo is ignored.
    EXPECT_EQ(Length(File(0, 96, {Events().tempo(0, 0).note(0, 96).tempo(0, 1000000).end()})),
              500u);
    // Rounded to the nearest millisecond: 1 tick of 1/3 ms * 2 = 0.667 ms.
    EXPECT_EQ(Length(File(0, 1500, {Events().end(2)})), 1u);
    // A file holding no time at all is zero long, not unknown.
    EXPECT_EQ(Length(File(0, 480, {Events().end()})), 0u);
}

TEST(MidiLength, TempoChangesInAnyTrackApplyToAllAndTheLatestTrackEndCounts) {
    const Bytes conductor = Events().tempo(0, 1000000).end(480);
    const Bytes melody = Events().note(0, 1920).end();
    const Bytes lateTempo = Events().tempo(960, 250000).end();
    // One second for the first quarter from the conductor track, and the melody track
    // lasts four quarters: 1s + 3 * 0.25 s with the change in the third track at tick 960:
    // 1000 * 2 quarters + 250 * 2 quarters.
    EXPECT_EQ(Length(File(1, 480, {conductor, melody, lateTempo})), 2500u);
    // Two changes at one tick: the one later in the file holds.
    const Bytes first = Events().tempo(0, 250000).end();
    const Bytes second = Events().tempo(0, 1000000).note(0, 480).end();
    EXPECT_EQ(Length(File(1, 480, {first, second})), 1000u);
    EXPECT_EQ(Length(File(1, 480, {second, first})), 250u);
}

TEST(MidiLength, SmpteDivisionCountsFramesAndIgnoresTempo) {
    // 25 frames of 40 ticks: 1000 ticks a second.
    const uint16_t fps25 = static_cast<uint16_t>((0x100 - 25) << 8 | 40);
    EXPECT_EQ(Length(File(0, fps25, {Events().tempo(0, 1000000).note(0, 2500).end()})), 2500u);
    // 29.97 frames (drop-frame) of 100 ticks: 2997 ticks are one second.
    const uint16_t fps29 = static_cast<uint16_t>((0x100 - 29) << 8 | 100);
    EXPECT_EQ(Length(File(0, fps29, {Events().end(2997)})), 1000u);
    const uint16_t fps24 = static_cast<uint16_t>((0x100 - 24) << 8 | 1);
    EXPECT_EQ(Length(File(0, fps24, {Events().end(48)})), 2000u);
    // Unknown frame rates and zero ticks a frame are refused.
    EXPECT_FALSE(Length(File(0, static_cast<uint16_t>((0x100 - 20) << 8 | 10), {Events().end()})));
    EXPECT_FALSE(Length(File(0, static_cast<uint16_t>((0x100 - 25) << 8), {Events().end()})));
}

TEST(MidiLength, ReadsEveryEventKindAndSkipsForeignChunks) {
    Events e;
    e.at(0, {0xC0, 5})                       // program change: one data byte
        .at(0, {0x90, 60, 90})               // note on ...
        .at(240, {62, 90})                   // ... and another by running status
        .at(0, {0xFF, 0x03, 2, 'H', 'i'})    // a meta event with text
        .at(240, {60, 0})                    // running status carries over meta events
        .at(0, {0xF0, 3, 0x7E, 0x09, 0xF7})  // system exclusive
        .at(0, {0xD0, 20})                   // channel pressure: one data byte
        .at(480, {0xE0, 0, 64});             // pitch bend: two
    Bytes f = Header(1, 1, 480);
    f[7] = 8;  // a header two bytes longer than usual ...
    f.insert(f.begin() + 14, {0, 0});
    const Bytes alien = Chunk("XFIH", {1, 2, 3});
    f.insert(f.end(), alien.begin(), alien.end());  // ... and a chunk nobody knows
    const Bytes track = Chunk("MTrk", e.end(0));
    f.insert(f.end(), track.begin(), track.end());
    EXPECT_EQ(Length(f), 1000u);

    // Events after the end-of-track event are not part of the track.
    Bytes tail = File(0, 480, {Events().end(480)});
    EXPECT_EQ(Length(tail), 500u);
    // A track that stops without an end-of-track event ends at its last event.
    EXPECT_EQ(Length(File(0, 480, {Events().note(0, 480).b})), 500u);
}

TEST(MidiLength, RefusesMalformedFiles) {
    const Bytes good = File(0, 480, {Events().note(0, 480).end()});
    ASSERT_EQ(Length(good), 500u);
    // Every truncation of a good file is refused.
    for (size_t n = 0; n < good.size(); ++n) {
        Bytes cut(good.begin(), good.begin() + static_cast<long>(n));
        EXPECT_FALSE(Length(cut)) << n << " bytes";
    }
    EXPECT_FALSE(MidiLengthMs(nullptr, 0));
    EXPECT_FALSE(Length(File(2, 480, {Events().end()})));                  // format 2
    EXPECT_FALSE(Length(File(0, 0, {Events().end()})));                    // no ticks a quarter
    EXPECT_FALSE(Length(File(0, 480, {Events().end(), Events().end()})));  // format 0, 2 tracks
    EXPECT_FALSE(Length(Header(1, 0, 480)));                               // no tracks
    {
        Bytes oneMissing = Header(1, 2, 480);
        const Bytes t = Chunk("MTrk", Events().end());
        oneMissing.insert(oneMissing.end(), t.begin(), t.end());
        EXPECT_FALSE(Length(oneMissing));  // one track missing
    }
    EXPECT_FALSE(Length(File(0, 480, {Bytes{0, 60, 100}})));  // data without a status
    EXPECT_FALSE(Length(File(0, 480, {Bytes{0, 0xF8}})));     // real-time byte
    EXPECT_FALSE(Length(File(0, 480, {Bytes{0x81, 0x80, 0x80, 0x80, 0x00, 0xFF, 0x2F, 0}})));
    EXPECT_FALSE(Length(File(0, 480, {Bytes{0, 0xFF, 0x51, 0x7F, 1, 2, 3}})));  // meta too long
    EXPECT_FALSE(Length(File(0, 480, {Bytes{0, 0xF0, 0x8F}})));                 // sysex cut off
    EXPECT_FALSE(Length(File(0, 480, {Bytes{0, 0x90, 60}})));                   // note cut off
    Bytes longChunk = good;
    longChunk[21] = static_cast<unsigned char>(longChunk[21] + 1);  // track length past the end
    EXPECT_FALSE(Length(longChunk));
    Bytes shortHeader = good;
    shortHeader[7] = 5;
    EXPECT_FALSE(Length(shortHeader));
}

TEST(MidiLength, ExtremeValuesDoNotOverflow) {
    // The longest delta at the slowest tempo and one tick a quarter:
    // 0x0FFFFFFF ticks * 0xFFFFFF microseconds = 4503599342157825 us.
    EXPECT_EQ(Length(File(0, 1, {Events().tempo(0, 0xFFFFFF).end(0x0FFFFFFF)})), 4503599342158u);
    // Thousands of such deltas still give an exact sum.
    Events many;
    many.tempo(0, 0xFFFFFF);
    for (int i = 0; i < 4000; ++i) many.at(0x0FFFFFFF, {0xFF, 0x01, 0});
    const auto ms = Length(File(0, 1, {many.end()}));
    ASSERT_TRUE(ms);
    EXPECT_EQ(*ms, (uint64_t{0x0FFFFFFF} * 4000 * 0xFFFFFF + 500) / 1000);
}

TEST(MidiLength, DamagedCopiesNeverCrash) {
    const Bytes good = File(1, 480,
                            {Events().tempo(0, 600000).end(10),
                             Events().at(0, {0xC0, 1}).note(0, 480).note(10, 960).end()});
    std::mt19937 rng(1234);
    for (int round = 0; round < 3000; ++round) {
        Bytes f = good;
        const int flips = 1 + static_cast<int>(rng() % 4);
        for (int i = 0; i < flips; ++i) f[rng() % f.size()] = static_cast<unsigned char>(rng());
        f.resize(f.size() - rng() % 3);
        (void)Length(f);  // the sanitizer build catches any stray read
    }
}

TEST(MidiLength, TheShippedSongsLastOneToTwoMinutes) {
    const auto folder =
        (std::filesystem::path(SKELDA_TRANSCRIPTS) / ".." / ".." / "music").lexically_normal();
    int songs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".mid") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const Bytes f{std::istreambuf_iterator<char>(in), {}};
        const auto ms = Length(f);
        ASSERT_TRUE(ms) << entry.path();
        EXPECT_GE(*ms, 60000u) << entry.path();
        EXPECT_LE(*ms, 120000u) << entry.path();
        ++songs;
    }
    EXPECT_GE(songs, 4);
}
