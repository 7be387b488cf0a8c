// sonmira-cli chips: the programmer types of the configuration, each with its
// driver file and its chips' profiles from the chip table.
#include <cstdio>
#include <string>

#include "files/chip_table.h"
#include "commands.h"
#include "files/config.h"
#include "text/numbers.h"
#include "files/whole_file.h"

namespace cli {

namespace {

std::string ProfileText(const files::ChipProfile& p) {
    return "code=" + std::to_string(p.code) + " (" + text::AddrText(p.code) + ")  step=" + std::to_string(p.step) +
           "ms  last=" + text::AddrText(p.lastAddress) + "  scale=" + std::to_string(p.scale) +
           "  lowest=" + text::AddrText(p.lowest) + "  capacity=" + std::to_string(p.capacity) + "ms";
}

}  // namespace

int RunChips(int argc, char** argv) {
    if (argc > 1) return UsageErrorWithHelp("chips", std::string("unexpected argument '") + argv[1] + "'");
    // The file to edit: for an installed program, the user's own copy, made
    // from the installed one the first time.
    files::CIniFile config = files::OpenConfig();
    std::string tablePath = files::ChipTablePath();
    std::vector<std::string> programmers = files::ReadProgrammers(config);
    if (programmers.empty()) {
        std::fprintf(stderr, "sonmira-cli chips: no programmer types in %s (section [Device], keys 0, 1, ...)\n",
                     config.Path().c_str());
        return 1;
    }
    bool tableMissing = !files::Exists(tablePath);
    std::printf("configuration: %s\nchip table: %s\n", config.Path().c_str(), tablePath.c_str());
    bool allFound = !tableMissing;
    for (size_t i = 0; i < programmers.size(); ++i) {
        files::ProgrammerSection section = files::ReadProgrammerSection(config, programmers[i]);
        std::printf("\nprogrammer %zu: %s\n  driver: %s\n", i, programmers[i].c_str(),
                    section.driverFile.empty() ? "(none)" : section.driverFile.c_str());
        if (section.chips.empty()) std::printf("  (no chips)\n");
        for (size_t k = 0; k < section.chips.size(); ++k) {
            const std::string& name = section.chips[k];
            std::printf("  chip %zu: %s", k, name.c_str());
            if (tableMissing) {
                std::printf("\n");
                continue;
            }
            files::ChipProfile p;  // each chip from the start values, so one bad line shows alone
            std::string error;
            int rc = files::ReadChipProfile(tablePath, name, &p, &error);
            if (rc == files::kChipFound) {
                std::printf("  %s\n", ProfileText(p).c_str());
                continue;
            }
            allFound = false;
            if (rc == files::kChipNotFound)
                std::printf("  (not in the chip table)\n");
            else if (rc == files::kChipTableBadNumber)
                std::printf("  (chip table error: %s)\n", error.c_str());
            else
                std::printf("  (chip table unreadable)\n");
        }
    }
    if (tableMissing) std::fprintf(stderr, "sonmira-cli chips: chip table not found: %s\n", tablePath.c_str());
    return allFound ? 0 : 1;
}

}  // namespace cli
