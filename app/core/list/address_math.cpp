#include "list/address_math.h"

#include "text/numbers.h"

namespace list {

int64_t AddressCount(int64_t length_ms, int32_t step) {
    int64_t s = step < 1 ? 1 : step;
    int64_t l = length_ms < 0 ? 0 : length_ms;
    return (l + s - 1) / s;
}

int64_t ChipStart(int64_t start, const files::ChipProfile& chip) { return start * chip.scale; }

int64_t EndAddress(int64_t start, int64_t length_ms, const files::ChipProfile& chip) {
    return ChipStart(start, chip) + AddressCount(length_ms, chip.step) - 1;
}

int64_t NextStart(int64_t start, int64_t length_ms, const files::ChipProfile& chip) {
    return start + AddressCount(length_ms, chip.step);
}

int64_t Extent(int64_t last_start, int64_t last_length_ms, const files::ChipProfile& chip) {
    return (last_start - chip.lowest) * chip.step + last_length_ms;
}

std::string Text(int64_t address) { return text::AddrText(text::Clamp32(address)); }

}  // namespace list
