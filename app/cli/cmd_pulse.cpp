// sonmira-cli pulse ADDRESS: pulse-triggered play without windows.
#include <cstdio>
#include <string>

#include "command_options.h"
#include "commands.h"
#include "cli_prompt.h"
#include "text/numbers.h"
#include "list/play_address.h"
#include "runs/playback_commands.h"
#include "run_start.h"
#include "commands/workspace.h"

namespace cli {

int RunPulse(int argc, char** argv) {
    PulseOptions p;
    const std::string error = ParsePulseOptions(argc, argv, &p);
    if (!error.empty()) return UsageErrorWithHelp("pulse", error);
    const RunOptions& o = p.run;
    std::string& box = p.box;
    cli::TerminalPrompt ui(cli::TerminalPrompt::Mode::AssumeNo);
    commands::Workspace w;
    if (int rc = cli::PrepareWorkspace("pulse", o, "", w, ui)) return rc;
    switch (runs::PulsePlayCommand(box, w.chip, &w.drivers, ui)) {
        case runs::PulseEnd::Played:
            std::printf("playing from %s\n", text::AddrText(std::stoi(box, nullptr, 16)).c_str());
            return 0;
        case runs::PulseEnd::Stopped: return 1;
        case runs::PulseEnd::NoDriver: return cli::NoDriverBound("pulse", w);
    }
    return 1;
}

}  // namespace cli
