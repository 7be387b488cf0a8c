// Address arithmetic of the programming list: how many chip addresses a
// segment of L milliseconds takes, where it ends and where the next starts.
// Every caller (add, drop, delete, the properties dialog, the programming run
// and playback) uses these so the numbers always agree.
#pragma once

#include <cstdint>
#include <string>

#include "chip_table.h"

namespace addr {

// The current chip parameters as the list computes with them. Defaults are
// the values in effect before any chip profile has been read.
struct ChipParams {
    int32_t code = 0;            // chip code handed to the driver
    std::string name;            // chip name (UTF-8)
    int32_t step = 125;          // milliseconds of sound per address (S)
    int32_t last_address = 159;  // highest start address (0x9F)
    int32_t scale = 1;           // list start address -> chip address (K)
    int32_t lowest = 0;          // first address for automatic addressing
    int32_t capacity = 0;        // milliseconds the chip holds
};

// The chip table's profile in the list's terms.
ChipParams FromProfile(const chips::ChipProfile& profile);

// (L + S - 1) div S. A step below 1 (a damaged chip table) counts as 1 so the
// arithmetic never divides by zero. Negative lengths count as 0.
int64_t AddressCount(int64_t length_ms, int32_t step);

// Chip address of list start address A: A * K.
int64_t ChipStart(int64_t start, const ChipParams& chip);

// End address = A * K + count - 1 (A * K - 1 for a length of 0).
int64_t EndAddress(int64_t start, int64_t length_ms, const ChipParams& chip);

// Next start under automatic addressing = A + count (scale not applied).
int64_t NextStart(int64_t start, int64_t length_ms, const ChipParams& chip);

// List extent in ms from the last used row's start and length:
// (start - lowest) * S + length.
int64_t Extent(int64_t last_start, int64_t last_length_ms, const ChipParams& chip);

// Cell text of an address: "0X" + upper-case hex, at least 4 digits. Values
// outside 32 bits are clamped (they only arise from absurd cell contents).
std::string Text(int64_t address);

}  // namespace addr
