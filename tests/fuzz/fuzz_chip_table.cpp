// Any bytes as a chip table: the scan never crashes, and its result agrees
// with what it leaves in the profile.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "files/chip_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view table(reinterpret_cast<const char*>(data), size);
    for (const char* name : {"", "SV020A", "SV060V"}) {
        files::ChipProfile p;
        std::string error;
        int rc = files::ScanChipTable(table, name, &p, &error);
        if (rc == files::kChipFound && p.name != name) std::abort();
        if ((rc == files::kChipTableBadNumber) == error.empty()) std::abort();
        if (rc != files::kChipFound && rc != files::kChipNotFound && rc != files::kChipTableBadNumber) std::abort();
        if (p.name.size() > 4 * files::kFieldMaxBytes) std::abort();
    }
    return 0;
}
