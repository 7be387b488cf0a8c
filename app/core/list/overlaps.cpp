#include "list/overlaps.h"

#include "list/address_math.h"
#include "text/numbers.h"

namespace list {

namespace {

struct Range {
    int row = 0;
    int64_t start = 0, end = 0;
};

// The ranges the run would record, in its order.
std::vector<Range> RecordedRanges(const ProgrammingList& list, const files::ChipProfile& chip) {
    std::vector<Range> out;
    for (int row = 1; row <= kRows && list.IsUsed(row); ++row) {
        int32_t flag = 0, start = 0, length = 0;
        if (!text::TryStrToInt(list.Cell(row, kColFlag), &flag) || flag == 0) continue;
        if (!text::TryStrToInt(list.Cell(row, kColStart), &start)) continue;
        if (start > chip.lastAddress) break;
        if (!text::TryStrToInt(list.Cell(row, kColLength), &length) || length <= 0) continue;
        out.push_back({row, list::ChipStart(start, chip), list::EndAddress(start, length, chip)});
    }
    return out;
}

}  // namespace

std::vector<Overlap> MarkedOverlaps(const ProgrammingList& list, const files::ChipProfile& chip) {
    const std::vector<Range> ranges = RecordedRanges(list, chip);
    std::vector<Overlap> out;
    for (size_t i = 0; i < ranges.size(); ++i)
        for (size_t j = i + 1; j < ranges.size(); ++j) {
            const Range& a = ranges[i];
            const Range& b = ranges[j];
            if (a.start <= b.end && b.start <= a.end) out.push_back({a.row, b.row, a.start, a.end, b.start, b.end});
        }
    return out;
}

}  // namespace list
