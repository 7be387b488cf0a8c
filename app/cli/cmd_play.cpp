// sonmira-cli play PROJECT.QWF: continuous play without windows.
#include <cstdio>
#include <string>

#include "command_options.h"
#include "commands.h"
#include "cli_prompt.h"
#include "messages/messages.h"
#include "text/numbers.h"
#include "runs/play_thread.h"
#include "runs/playback_commands.h"
#include "printable.h"
#include "commands/project_commands.h"
#include "runs/run_dialog.h"
#include "run_start.h"
#include "run_terminal.h"
#include "commands/workspace.h"

namespace cli {

int RunPlay(int argc, char** argv) {
    cli::RunOptions o;
    const std::string error = ParsePlayOptions(argc, argv, &o);
    if (!error.empty()) return UsageErrorWithHelp("play", error);
    cli::TerminalPrompt ui(cli::TerminalPrompt::Mode::AssumeNo);
    commands::Workspace w;
    if (int rc = cli::PrepareWorkspace("play", o, commands::WithProjectExtension(o.rest[0]), w, ui)) return rc;

    std::string box = o.address.empty() ? text::Hex4(w.chip.lowest) : o.address;
    cli::TerminalRunView view(stdout, "");
    runs::RunDialog dialog(ui, std::nullopt);
    runs::PlayJob job;
    switch (runs::ContinuousPlayCommand(box, w.list, w.chip, &w.drivers, ui, &job)) {
        case runs::CommandEnd::OpenDialog: break;
        case runs::CommandEnd::Stopped: return 1;
        case runs::CommandEnd::NoDriver: return cli::NoDriverBound("play", w);
    }
    view.SetCaption(runs::kPlayCaption);
    runs::PlayThread::End end = runs::PlayThread::End::Failed;
    runs::PlaySummary summary;
    bool cancelled = false;
    cli::RunWorkerModal(
        dialog, view,
        [&] {
            runs::StartPlayThread(
                dialog, std::move(job), view, ui, [&end](runs::PlayThread::End e) { end = e; }, &summary);
        },
        &cancelled);
    if (end != runs::PlayThread::End::Finished) return 1;
    // The dialog says nothing of these; a script must know.
    for (const auto& u : summary.unplayed)
        std::fprintf(stderr, "sonmira-cli play: row %d (%s) not played: the play command failed: %s\n", u.row,
                     cli::Printable(u.file).c_str(), messages::DriverResultMessage(u.code).c_str());
    if (cancelled) return 130;
    return summary.unplayed.empty() ? 0 : 1;
}

}  // namespace cli
