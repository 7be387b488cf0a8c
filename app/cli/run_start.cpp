#include "run_start.h"

#include <cstdio>
#include <memory>

#include "files/chip_table.h"
#include "files/config.h"
#include "files/location.h"
#include "commands/project_commands.h"
#include "port_choice.h"
#include "setup_check.h"

namespace cli {

namespace {

int IndexOf(const std::vector<std::string>& names, const std::string& name) {
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return static_cast<int>(i);
    return -1;
}

}  // namespace

int NoDriverBound(const char* command, const commands::Workspace& w) {
    if (w.driverFailureShown) return 1;  // the binding's message said why
    std::fprintf(stderr, "sonmira-cli %s: no driver library is bound for programmer type '%s'\n", command,
                 commands::ProgrammerName(w).c_str());
    return 1;
}

int SelectByName(const char* command, const std::string* programmer, const std::string* chip, commands::Workspace& w,
                 messages::IUserPrompt& ui) {
    if (programmer) {
        const int i = IndexOf(w.programmers, *programmer);
        if (i < 0) {
            std::fprintf(stderr, "sonmira-cli %s: programmer type '%s' is not in the configuration\n", command,
                         programmer->c_str());
            return 2;
        }
        commands::SelectProgrammer(w, i, ui);
    }
    if (chip) {
        const int i = IndexOf(w.chips, *chip);
        if (i < 0) {
            std::fprintf(stderr, "sonmira-cli %s: chip '%s' is not offered by programmer type '%s'\n", command,
                         chip->c_str(), commands::ProgrammerName(w).c_str());
            return 2;
        }
        commands::SelectChip(w, i, ui);
    }
    return 0;
}

int PrepareWorkspace(const char* command, const RunOptions& o, const std::string& project, commands::Workspace& w,
                     messages::IUserPrompt& ui) {
    // Everything the run depends on is checked first, so that the start-up's
    // own messages (made for a user who can mend things in the windows)
    // never come on top of the reason the run is refused.
    if (int rc = CheckSetup({command, "nothing sent", !project.empty()}, o, project)) return rc;
    // The driver is bound once, for the final choice: the configured, the
    // project's and the named programmer type would each bind it, and tell
    // the same failure again each time.
    w.bindDrivers = false;
    commands::StartUp(w, std::make_unique<files::CIniFile>(files::OpenConfigForReading()), files::ProgramDir(),
                      files::ChipTablePath(), ui);
    if (!project.empty() && !commands::OpenProject(w, ui, project)) return 1;
    if (int rc = SelectByName(command, o.programmer.empty() ? nullptr : &o.programmer,
                              o.chip.empty() ? nullptr : &o.chip, w, ui))
        return rc;
    RestrictScanToPort(o.port);
    w.bindDrivers = true;
    commands::BindProgrammerDriver(w, ui);
    return 0;
}

}  // namespace cli
