// A mixer without a device, for tests: remembers the word and every write.
#pragma once

#include <cstdint>
#include <vector>

#include "audio/volume.h"

namespace test_support {

class FakeMixer : public audio::IMixer {
public:
    uint32_t word = 0;
    bool works = true;  // false: behaves like a machine without a card
    std::vector<uint32_t> writes;

    bool GetVolumeWord(uint32_t* out) override;
    bool SetVolumeWord(uint32_t w) override;
};

}  // namespace test_support
