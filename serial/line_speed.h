// The line speeds the library accepts and the per-byte time they give.
#pragma once

#include <stdint.h>

namespace sertra {

constexpr int32_t kDefaultBaud = 9600;
// Per-byte time before any accepted SetCommBaud.
constexpr int32_t kDefaultPerByteMs = 1;

bool IsAcceptedBaud(int32_t rate);
// 10000 / rate + 1: a byte of 10 bits on the line, rounded up generously.
int32_t PerByteMs(int32_t acceptedRate);

}  // namespace sertra
