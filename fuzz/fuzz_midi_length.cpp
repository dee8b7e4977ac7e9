// libFuzzer target: the MIDI length reader on arbitrary bytes. Seed it with music/*.mid.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "persist/MidiLength.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto first = skelda::MidiLengthMs(data, size);
    // The reader keeps no state: the same bytes always give the same answer.
    if (skelda::MidiLengthMs(data, size) != first) std::abort();
    return 0;
}
