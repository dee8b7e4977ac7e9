// Standard MIDI File length: one pass over every track collects the tempo changes and the
// tick at which each track ends; the tempo map then turns the latest end into time.
#include "persist/MidiLength.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace skelda {

namespace {

constexpr uint32_t DefaultTempo = 500000;  // microseconds per quarter note (120 bpm)

struct TempoChange {
    uint64_t tick;
    uint64_t order;  // file position, so that of two changes at one tick the later wins
    uint32_t microsPerQuarter;
};

class Reader {
public:
    Reader(const unsigned char* data, std::size_t size) : p_(data), end_(data + size) {}

    std::size_t left() const { return static_cast<std::size_t>(end_ - p_); }
    bool atEnd() const { return p_ == end_; }
    std::size_t offset(const unsigned char* base) const {
        return static_cast<std::size_t>(p_ - base);
    }

    bool byte(uint8_t& out) {
        if (p_ == end_) return false;
        out = *p_++;
        return true;
    }
    bool peek(uint8_t& out) const {
        if (p_ == end_) return false;
        out = *p_;
        return true;
    }
    bool skip(std::size_t n) {
        if (n > left()) return false;
        p_ += n;
        return true;
    }
    bool be16(uint32_t& out) {
        if (left() < 2) return false;
        out = (uint32_t{p_[0]} << 8) | p_[1];
        p_ += 2;
        return true;
    }
    bool be32(uint32_t& out) {
        if (left() < 4) return false;
        out = (uint32_t{p_[0]} << 24) | (uint32_t{p_[1]} << 16) | (uint32_t{p_[2]} << 8) | p_[3];
        p_ += 4;
        return true;
    }
    bool tag(const char (&name)[5]) {
        if (left() < 4 || !std::equal(name, name + 4, p_)) return false;
        p_ += 4;
        return true;
    }
    // A variable-length quantity: at most four bytes, seven bits each.
    bool vlq(uint32_t& out) {
        out = 0;
        for (int i = 0; i < 4; ++i) {
            uint8_t b;
            if (!byte(b)) return false;
            out = (out << 7) | (b & 0x7Fu);
            if (!(b & 0x80)) return true;
        }
        return false;
    }
    // A reader over the next n bytes; this one moves past them.
    bool sub(std::size_t n, Reader& out) {
        if (n > left()) return false;
        out = Reader(p_, n);
        p_ += n;
        return true;
    }

private:
    const unsigned char* p_;
    const unsigned char* end_;
};

// Reads one track chunk's events; adds its tempo changes and returns the tick it ends at.
bool ReadTrack(Reader track, const unsigned char* base, std::vector<TempoChange>& tempos,
               uint64_t& endTick) {
    uint64_t tick = 0;
    uint8_t running = 0;
    while (!track.atEnd()) {
        uint32_t delta;
        if (!track.vlq(delta)) return false;
        tick += delta;
        uint8_t status;
        if (!track.peek(status)) return false;
        if (status & 0x80) {
            track.skip(1);
        } else if (running) {
            status = running;  // running status: the data byte is read below
        } else {
            return false;
        }
        if (status == 0xFF) {
            uint8_t kind;
            uint32_t length;
            if (!track.byte(kind) || !track.vlq(length)) return false;
            const std::size_t at = track.offset(base);
            Reader body(nullptr, 0);
            if (!track.sub(length, body)) return false;
            if (kind == 0x2F) break;  // end of track
            uint8_t b0, b1, b2;
            if (kind == 0x51 && body.byte(b0) && body.byte(b1) && body.byte(b2)) {
                const uint32_t tempo = (uint32_t{b0} << 16) | (uint32_t{b1} << 8) | b2;
                if (tempo > 0) tempos.push_back({tick, at, tempo});
            }
        } else if (status == 0xF0 || status == 0xF7) {
            uint32_t length;
            if (!track.vlq(length) || !track.skip(length)) return false;
        } else if (status >= 0xF0) {
            return false;  // real-time and common messages have no place in a file
        } else {
            running = status;
            const uint8_t kind = status & 0xF0;
            const std::size_t dataBytes = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
            if (!track.skip(dataBytes)) return false;
        }
    }
    endTick = tick;
    return true;
}

uint64_t Saturate(unsigned __int128 v) {
    constexpr uint64_t top = std::numeric_limits<uint64_t>::max();
    return v > top ? top : static_cast<uint64_t>(v);
}

}  // namespace

std::optional<uint64_t> MidiLengthMs(const unsigned char* data, std::size_t size) {
    if (!data) return std::nullopt;
    Reader file(data, size);
    uint32_t headerLength, format, trackCount, division;
    if (!file.tag("MThd") || !file.be32(headerLength) || headerLength < 6) return std::nullopt;
    Reader header(nullptr, 0);
    if (!file.sub(headerLength, header)) return std::nullopt;
    header.be16(format);
    header.be16(trackCount);
    header.be16(division);
    if (format > 1 || trackCount == 0 || (format == 0 && trackCount != 1)) return std::nullopt;

    // Ticks to microseconds: ticks * perTick / divisor.
    unsigned __int128 perTickScale;  // with the tempo for PPQN, fixed for SMPTE
    uint64_t divisor;
    const bool smpte = division & 0x8000;
    if (smpte) {
        const int frames = -static_cast<int8_t>(division >> 8);
        const uint32_t ticksPerFrame = division & 0xFF;
        if (ticksPerFrame == 0) return std::nullopt;
        switch (frames) {
            case 24:
            case 25:
            case 30:
                perTickScale = 1000000;
                divisor = uint64_t(frames) * ticksPerFrame;
                break;
            case 29:  // 29.97 frames a second (drop-frame)
                perTickScale = 1000000ull * 1001;
                divisor = 30000ull * ticksPerFrame;
                break;
            default: return std::nullopt;
        }
    } else {
        if (division == 0) return std::nullopt;
        perTickScale = 1;
        divisor = division;
    }

    std::vector<TempoChange> tempos;
    uint64_t endTick = 0;
    for (uint32_t found = 0; found < trackCount;) {
        uint32_t length;
        const bool isTrack = file.tag("MTrk");
        if (!isTrack && !file.skip(4)) return std::nullopt;
        if (!file.be32(length)) return std::nullopt;
        Reader chunk(nullptr, 0);
        if (!file.sub(length, chunk)) return std::nullopt;
        if (!isTrack) continue;  // chunks of other kinds are skipped
        uint64_t trackEnd;
        if (!ReadTrack(chunk, data, tempos, trackEnd)) return std::nullopt;
        endTick = std::max(endTick, trackEnd);
        ++found;
    }

    unsigned __int128 numerator = 0;
    if (smpte) {
        numerator = static_cast<unsigned __int128>(endTick) * perTickScale;
    } else {
        std::stable_sort(tempos.begin(), tempos.end(), [](const auto& a, const auto& b) {
            return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
        });
        uint64_t at = 0;
        uint32_t tempo = DefaultTempo;
        for (const auto& change : tempos) {
            if (change.tick >= endTick) break;
            numerator += static_cast<unsigned __int128>(change.tick - at) * tempo;
            at = change.tick;
            tempo = change.microsPerQuarter;
        }
        numerator += static_cast<unsigned __int128>(endTick - at) * tempo;
    }
    // Microseconds = numerator / divisor; rounded to the nearest millisecond.
    const unsigned __int128 scaled = static_cast<unsigned __int128>(divisor) * 1000;
    return Saturate((numerator + scaled / 2) / scaled);
}

}  // namespace skelda
