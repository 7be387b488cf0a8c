#include "overlap_check.h"

#include <cstdio>

#include "list/address_math.h"
#include "list/overlaps.h"

namespace cli {

int CheckOverlaps(const char* command, const list::ProgrammingList& list, const files::ChipProfile& chip, bool yes) {
    const std::vector<list::Overlap> overlaps = list::MarkedOverlaps(list, chip);
    for (const list::Overlap& o : overlaps)
        std::fprintf(stderr, "sonmira-cli %s: rows %d and %d overlap: row %d records at %s..%s, row %d at %s..%s\n",
                     command, o.first, o.second, o.first, list::Text(o.firstStart).c_str(),
                     list::Text(o.firstEnd).c_str(), o.second, list::Text(o.secondStart).c_str(),
                     list::Text(o.secondEnd).c_str());
    if (overlaps.empty() || yes) return 0;
    std::fprintf(stderr,
                 "sonmira-cli %s: a later row would record over an earlier one; mend the start addresses (or give "
                 "--yes); nothing sent\n",
                 command);
    return 1;
}

}  // namespace cli
