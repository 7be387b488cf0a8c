#include "fake_mixer.h"

namespace test_support {

bool FakeMixer::GetVolumeWord(uint32_t* out) {
    if (!works) return false;
    *out = word;
    return true;
}

bool FakeMixer::SetVolumeWord(uint32_t w) {
    if (!works) return false;
    word = w;
    writes.push_back(w);
    return true;
}

}  // namespace test_support
