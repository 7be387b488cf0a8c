// The segments a verification listens to: the rows marked for programming,
// in order, with the chip addresses continuous play gives them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/chip_table.h"
#include "list/programming_list.h"

namespace verify {

struct VerifySegment {
    int row = 0;
    std::string name;   // the file-name cell
    std::string path;   // the file as the programming run plays it
    int32_t start = 0;  // chip addresses, as PlaySegment gets them
    int32_t end = 0;
    int lengthMs = 0;          // the length cell
    bool belowLowest = false;  // starts below the chip's lowest address: continuous play skips it
};

// false when a cell of a used row is not a number (the list is damaged).
bool MarkedSegments(const list::ProgrammingList& list, const files::ChipProfile& chip, std::vector<VerifySegment>* out);

}  // namespace verify
