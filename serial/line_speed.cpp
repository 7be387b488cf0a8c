#include "line_speed.h"

namespace sertra {

namespace {
constexpr int32_t kAcceptedRates[] = {1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200};
}

bool IsAcceptedBaud(int32_t rate) {
    for (int32_t accepted : kAcceptedRates)
        if (rate == accepted) return true;
    return false;
}

int32_t PerByteMs(int32_t acceptedRate) { return 10000 / acceptedRate + 1; }

}  // namespace sertra
