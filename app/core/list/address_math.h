// Address arithmetic of the programming list: how many chip addresses a
// segment of L milliseconds takes, where it ends and where the next starts.
// Every caller (add, drop, delete, the properties dialog, the programming run
// and playback) uses these so the numbers always agree.
#pragma once

#include <cstdint>
#include <string>

#include "files/chip_table.h"

namespace list {

// (L + S - 1) div S. A step below 1 (a damaged chip table) counts as 1 so the
// arithmetic never divides by zero. Negative lengths count as 0.
int64_t AddressCount(int64_t length_ms, int32_t step);

// Chip address of list start address A: A * K.
int64_t ChipStart(int64_t start, const files::ChipProfile& chip);

// End address = A * K + count - 1 (A * K - 1 for a length of 0).
int64_t EndAddress(int64_t start, int64_t length_ms, const files::ChipProfile& chip);

// Next start under automatic addressing = A + count (scale not applied).
int64_t NextStart(int64_t start, int64_t length_ms, const files::ChipProfile& chip);

// List extent in ms from the last used row's start and length:
// (start - lowest) * S + length.
int64_t Extent(int64_t last_start, int64_t last_length_ms, const files::ChipProfile& chip);

// Cell text of an address: "0X" + upper-case hex, at least 4 digits. Values
// outside 32 bits are clamped (they only arise from absurd cell contents).
std::string Text(int64_t address);

}  // namespace list
