// Marked segments whose chip address ranges overlap: the later recording
// writes over the end of the earlier one. Only hand-typed addresses can do
// this; automatic addressing never does.
#pragma once

#include <cstdint>
#include <vector>

#include "files/chip_table.h"
#include "list/programming_list.h"

namespace list {

// Two marked rows and the chip addresses each would record (first < second).
struct Overlap {
    int first = 0, second = 0;
    int64_t firstStart = 0, firstEnd = 0;
    int64_t secondStart = 0, secondEnd = 0;
};

// Every pair of marked rows a programming run would record whose ranges
// share an address, in row order. The run stops at the first row that starts
// beyond the chip's last address, so rows from there on are left out, as are
// rows of no length and cells that are no number (the run reports those).
std::vector<Overlap> MarkedOverlaps(const ProgrammingList& list, const files::ChipProfile& chip);

}  // namespace list
