#include "list_rows.h"

#include <cstdio>
#include <string>

#include "printable.h"

namespace cli {

void PrintRows(const list::ProgrammingList& list, int first) {
    for (int row = first; row <= list::kRows && list.IsUsed(row); ++row) {
        std::string line;
        for (int c = 0; c < list::kCols; ++c) {
            if (c) line += '\t';
            line += Printable(list.Cell(row, c));
        }
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    std::fflush(stdout);
}

}  // namespace cli
