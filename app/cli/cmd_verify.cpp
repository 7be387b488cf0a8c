// sonmira-cli verify PROJECT.QWF --capture INPUT: plays each marked segment
// from the chip and compares what the sound input hears with its file.
#include <cstdio>
#include <string>

#include "changed_files.h"
#include "chip_listen.h"
#include "cli_prompt.h"
#include "command_options.h"
#include "commands.h"
#include "commands/project_commands.h"
#include "commands/workspace.h"
#include "port_hold.h"
#include "printable.h"
#include "run_start.h"

namespace cli {

int RunVerify(int argc, char** argv) {
    VerifyOptions o;
    const std::string error = ParseVerifyOptions(argc, argv, &o);
    if (!error.empty()) return UsageErrorWithHelp("verify", error);
    if (!o.run.port.empty()) {
        const std::string why = PortUnavailableReason(o.run.port);
        if (!why.empty()) {
            std::fprintf(stderr, "sonmira-cli verify: port %s: %s; nothing sent\n", Printable(o.run.port).c_str(),
                         Printable(why).c_str());
            return 1;
        }
    }
    // Before the driver is bound: binding scans the ports.
    auto capture = OpenCaptureOrSay("verify", *o.listen.capture);
    if (!capture) return 1;
    TerminalPrompt ui(TerminalPrompt::Mode::AssumeNo);
    commands::Workspace w;
    if (int rc = PrepareWorkspace("verify", o.run, commands::WithProjectExtension(o.run.rest[0]), w, ui)) return rc;
    // A file that is gone cannot be compared with anything.
    if (CheckMissingFiles("verify", w.list)) return 1;
    return VerifyChipNow("verify", w, *capture, o.listen.minSimilarity).rc;
}

}  // namespace cli
