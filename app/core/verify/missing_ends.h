// How much of a file's start and end a capture lacks, from short-frame loudness.
#pragma once

#include "verify/energy_sums.h"

namespace verify {

struct MissingEnds {
    int headMs = 0;
    int tailMs = 0;
};

// file and capture: the band-limited signals' energies; capture sample i + lag
// lines up with file sample i. Both are cut into 10 ms frames on the file's
// time axis (what lies outside the capture counts as silence). A frame is
// active when its mean square is above its own signal's loudest frame - 30 dB,
// and for the capture also above -60 dBFS. head = first active capture frame -
// first active file frame, tail = last active file frame - last active capture
// frame, neither below 0. A capture with no active frame lacks the file's
// whole active span at both ends; a file with none lacks nothing.
MissingEnds FindMissingEnds(const EnergySums& file, const EnergySums& capture, long long lag, int rate);

}  // namespace verify
