// Any bytes as a chip table: the scan never crashes, and its result agrees
// with what it leaves in the profile.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "files/chip_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view table(reinterpret_cast<const char*>(data), size);
    for (const char* name : {"", "SV020A", "SV060V"}) {
        chips::ChipProfile p;
        std::string error;
        int rc = chips::ScanChipTable(table, name, &p, &error);
        if (rc == chips::kChipFound && p.name != name) std::abort();
        if ((rc == chips::kChipTableBadNumber) == error.empty()) std::abort();
        if (rc != chips::kChipFound && rc != chips::kChipNotFound && rc != chips::kChipTableBadNumber) std::abort();
        if (p.name.size() > 4 * chips::kFieldMaxBytes) std::abort();
    }
    return 0;
}
