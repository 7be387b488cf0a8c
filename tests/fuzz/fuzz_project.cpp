// Any bytes as a project file: the reader never crashes, the rows it numbers
// are contiguous, and a list it reads whole is written and read back the same
// (the shown path excepted, which reading derives from the path).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "text/numbers.h"
#include "list/project_file.h"

namespace {
bool NoFile(const std::string&) { return false; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    list::ProgrammingList list;
    list::Header header;
    std::string bad;
    list::Result r = list::Parse(bytes, &list, &header, &bad, NoFile);
    if (r != list::kProjectOk && r != list::kProjectBadFlag) std::abort();
    int used = list.UsedCount();
    for (int row = used + 1; row <= list::kRows; ++row)
        if (list.IsUsed(row)) std::abort();  // numbers must not skip a row
    for (int row = 1; row <= used; ++row)
        if (list.Cell(row, list::kColRow) != std::to_string(row)) std::abort();
    if (r != list::kProjectOk) return 0;

    for (int row = 1; row <= used; ++row) {
        int32_t flag = 0;
        if (!text::TryStrToInt(list.Cell(row, list::kColFlag), &flag)) return 0;  // short lines
    }
    std::string again;
    if (list::Build(list, header, "20261207", &again, nullptr) != list::kProjectOk) return 0;  // unstorable texts
    list::ProgrammingList back;
    list::Header header2;
    if (list::Parse(again, &back, &header2, &bad, NoFile) != list::kProjectOk) std::abort();
    if (header2.programmer != header.programmer || header2.chip != header.chip) std::abort();
    if (back.UsedCount() != used) std::abort();
    for (int row = 1; row <= used; ++row) {
        for (int col = 0; col < list::kColShownPath; ++col)
            if (back.Cell(row, col) != list.Cell(row, col)) std::abort();
        // The shown path is derived on reading (here: no file exists).
        if (back.Cell(row, list::kColShownPath) != list::kFileDeleted) std::abort();
    }
    return 0;
}
