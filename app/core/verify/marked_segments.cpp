#include "verify/marked_segments.h"

#include "list/address_math.h"
#include "text/numbers.h"

namespace verify {

bool MarkedSegments(const list::ProgrammingList& list, const files::ChipProfile& chip,
                    std::vector<VerifySegment>* out) {
    out->clear();
    for (int row = 1; row <= list::kRows && list.IsUsed(row); ++row) {
        int32_t flag = 0, start = 0, length = 0;
        if (!text::TryStrToInt(list.Cell(row, list::kColFlag), &flag)) return false;
        if (flag == 0) continue;
        if (!text::TryStrToInt(list.Cell(row, list::kColStart), &start) ||
            !text::TryStrToInt(list.Cell(row, list::kColLength), &length))
            return false;
        VerifySegment s;
        s.row = row;
        s.name = list.Cell(row, list::kColName);
        s.path = list.Cell(row, list::kColShownPath);
        const int64_t chipStart = list::ChipStart(start, chip);
        s.start = text::Clamp32(chipStart);
        s.end = text::Clamp32(list::EndAddress(start, length, chip));
        s.lengthMs = length;
        s.belowLowest = chipStart < chip.lowest;
        out->push_back(std::move(s));
    }
    return true;
}

}  // namespace verify
