// The playing time of a Standard MIDI File, worked out from its tempo map. Works on the
// file's bytes in memory and trusts nothing in them: a damaged or hostile file gives no
// length, never a read outside the bytes, and the work is linear in their size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace skelda {

// Milliseconds from the start to the end of the latest track, for formats 0 and 1 with
// either a ticks-per-quarter-note or an SMPTE time division. Tempo changes in any track
// apply to every track. Nothing when the bytes are not a complete file of that kind.
// Lengths beyond what 64 bits hold come back as the largest value.
std::optional<uint64_t> MidiLengthMs(const unsigned char* data, std::size_t size);

}  // namespace skelda
