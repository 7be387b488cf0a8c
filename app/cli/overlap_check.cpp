#include "overlap_check.h"

#include <cstdio>

#include "list/address_math.h"
#include "list/overlaps.h"

namespace cli {

int CheckOverlaps(const char* command, const plist::ProgrammingList& list, const chips::ChipProfile& chip, bool yes) {
    const std::vector<plist::Overlap> overlaps = plist::MarkedOverlaps(list, chip);
    for (const plist::Overlap& o : overlaps)
        std::fprintf(stderr, "sonmira-cli %s: rows %d and %d overlap: row %d records at %s..%s, row %d at %s..%s\n",
                     command, o.first, o.second, o.first, addr::Text(o.firstStart).c_str(),
                     addr::Text(o.firstEnd).c_str(), o.second, addr::Text(o.secondStart).c_str(),
                     addr::Text(o.secondEnd).c_str());
    if (overlaps.empty() || yes) return 0;
    std::fprintf(stderr,
                 "sonmira-cli %s: a later row would record over an earlier one; mend the start addresses (or give "
                 "--yes); nothing sent\n",
                 command);
    return 1;
}

}  // namespace cli
