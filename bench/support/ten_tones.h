// The benchmarks' sounds: ten tones of 300, 350 ... 750 ms (360 ... 900 Hz),
// s1.wav ... s10.wav, so that every benchmark's figures are for one list.
#pragma once

#include <cstdint>
#include <string>

#include "text/numbers.h"
#include "list/programming_list.h"
#include "run_rig.h"

namespace bench {

constexpr int kToneCount = 10;

// Makes the tones in `dir` and lists them marked, one after the other from
// address 0 at `step_ms` milliseconds an address. Returns the tones' total
// length in ms, or -1 when sox failed.
inline int64_t ListTenTones(const std::string& dir, int step_ms, list::ProgrammingList* list) {
    int64_t sounds_ms = 0;
    int start = 0;
    for (int i = 1; i <= kToneCount; ++i) {
        const int ms = 300 + 50 * (i - 1);
        const std::string name = "s" + std::to_string(i) + ".wav";
        if (!rig::MakeTone(dir + "/" + name, ms, 300 + 60 * i)) return -1;
        rig::PutRow(*list, i, true, text::AddrText(start), name, ms, dir + "/" + name);
        start += (ms + step_ms - 1) / step_ms;
        sounds_ms += ms;
    }
    return sounds_ms;
}

}  // namespace bench
