// The rows of a programming list as sonmira-cli prints them: the cells of a
// row separated by tabs, one row per line on stdout.
#pragma once

#include "list/programming_list.h"

namespace cli {

// Prints the used rows from `first` on, up to the first unused one, and flushes.
void PrintRows(const list::ProgrammingList& list, int first);

}  // namespace cli
