// sonmira-cli play PROJECT.QWF: continuous play without windows.
#include <cstdio>
#include <string>

#include "cli_command.h"
#include "cli_prompt.h"
#include "messages/messages.h"
#include "text/numbers.h"
#include "runs/play_thread.h"
#include "runs/playback_commands.h"
#include "printable.h"
#include "commands/project_commands.h"
#include "runs/run_dialog.h"
#include "run_options.h"
#include "run_terminal.h"
#include "commands/workspace.h"

namespace {

constexpr const char* kUsage =
    "usage: sonmira-cli play [--programmer NAME] [--chip NAME] [--port PORT] [--address HEX] PROJECT.QWF\n"
    "\n"
    "Makes the module play every segment of the project's list that is marked for\n"
    "programming, one after the other, each for its length plus 100 ms. The\n"
    "computer's sound output takes no part.\n"
    "\n"
    "  --programmer NAME  use this programmer type instead of the project's\n"
    "  --chip NAME        use this chip instead of the project's\n"
    "  --port PORT        scan only this serial port: COM1..COM4 or a device\n"
    "                     path such as /dev/ttyUSB0\n"
    "  --address HEX      the play address box (default: the chip's lowest start\n"
    "                     address); checked against the chip, not used further\n"
    "\n"
    "Ctrl+C cancels after the segment being played. Exit status: 0 when the\n"
    "playback ended normally, 1 when a check or the driver failed, 2 for a\n"
    "usage error, 130 when cancelled.\n";

int RunPlay(int argc, char** argv) {
    cli::RunOptions o;
    const std::string error = cli::ParseRunOptions(argc, argv, false, true, "project file", &o);
    if (!error.empty()) return cli::UsageError("play", error, kUsage);
    cli::TerminalPrompt ui(cli::TerminalPrompt::Mode::AssumeNo);
    ws::Workspace w;
    if (int rc = cli::PrepareWorkspace("play", o, ws::WithProjectExtension(o.rest[0]), w, ui)) return rc;

    std::string box = o.address.empty() ? num::Hex4(w.chip.lowest) : o.address;
    cli::TerminalRunView view(stdout, "");
    RunDialog dialog(ui, std::nullopt);
    PlayJob job;
    switch (ContinuousPlayCommand(box, w.list, w.chip, &w.drivers, ui, &job)) {
        case CommandEnd::OpenDialog: break;
        case CommandEnd::Stopped: return 1;
        case CommandEnd::NoDriver: return cli::NoDriverBound("play", w);
    }
    view.SetCaption(kPlayCaption);
    PlayThread::End end = PlayThread::End::Failed;
    PlaySummary summary;
    bool cancelled = false;
    cli::RunWorkerModal(
        dialog, view,
        [&] {
            StartPlayThread(
                dialog, std::move(job), view, ui, [&end](PlayThread::End e) { end = e; }, &summary);
        },
        &cancelled);
    if (end != PlayThread::End::Finished) return 1;
    // The dialog says nothing of these; a script must know.
    for (const auto& u : summary.unplayed)
        std::fprintf(stderr, "sonmira-cli play: row %d (%s) not played: the play command failed: %s\n", u.row,
                     cli::Printable(u.file).c_str(), DriverResultMessage(u.code).c_str());
    if (cancelled) return 130;
    return summary.unplayed.empty() ? 0 : 1;
}

}  // namespace

SONMIRA_CLI_COMMAND("play", "make the module play a project's marked segments", kUsage, RunPlay);
