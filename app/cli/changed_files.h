// The check sonmira-cli program makes on the sound files themselves: a file
// changed after it was added (in the sound editor, say) may now need more or
// fewer chip addresses than its row gives, and would record over the next
// segment or leave a gap. The list must be re-addressed first.
#pragma once

#include "files/chip_table.h"
#include "list/programming_list.h"

namespace cli {

// Re-measures the file of every marked row whose file exists. Prints one
// line per row that needs another number of addresses (or can no longer be
// measured) and a closing line; returns 1 then, 0 when every file agrees.
int CheckChangedFiles(const char* command, const list::ProgrammingList& list, const files::ChipProfile& chip);

// For a batch or a record of chips: a marked row whose file is missing would
// leave every chip short of it, so the run is refused instead. Prints one
// line per such row and a closing line; returns 1 then, else 0.
int CheckMissingFiles(const char* command, const list::ProgrammingList& list);

}  // namespace cli
