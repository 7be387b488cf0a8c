// The check sonmira-cli program and line make on hand-typed addresses: a
// marked segment that starts inside another would record over its end.
#pragma once

#include "files/chip_table.h"
#include "list/programming_list.h"

namespace cli {

// Prints one line per pair of marked rows whose chip address ranges
// overlap. Without `yes` it then refuses (a closing line, returns 1);
// with it the run goes on (returns 0).
int CheckOverlaps(const char* command, const list::ProgrammingList& list, const files::ChipProfile& chip, bool yes);

}  // namespace cli
