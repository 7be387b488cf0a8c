#include "chip_run.h"

#include <cstdio>

#include "audio_reason.h"
#include "commands/download_inputs.h"
#include "runs/download_command.h"
#include "messages/messages.h"
#include "printable.h"
#include "progress_line.h"
#include "runs/run_dialog.h"
#include "run_start.h"
#include "runs/run_problems.h"
#include "run_terminal.h"

namespace cli {

namespace {

// Keeps a problem of the run for the record's message.
void Keep(ChipOutcome* o, const std::string& text) { o->message += (o->message.empty() ? "" : "; ") + text; }

// Prints a problem of the run and keeps it.
void Tell(ChipOutcome* o, const std::string& text) {
    std::fprintf(stderr, "sonmira-cli program: %s\n", Printable(text).c_str());
    Keep(o, text);
}

}  // namespace

std::vector<RowProblem> RowProblems(const runs::RecSummary& s) {
    std::vector<RowProblem> out;
    for (const runs::RunProblem& p : runs::RunProblems(s)) {
        switch (p.kind) {
            case runs::RunProblem::Kind::Missing:
                out.push_back({p.row, p.file, true, "the audio file does not exist"});
                break;
            case runs::RunProblem::Kind::Unrecorded:
                out.push_back({p.row, p.file, false,
                               "the record command failed " + std::to_string(runs::RecThread::kAttempts) +
                                   " times: " + messages::DriverResultMessage(p.code)});
                break;
            case runs::RunProblem::Kind::Unplayed:
                out.push_back({p.row, p.file, false, std::string("its sound did not play: ") + PlayReasonText(p.code)});
                break;
        }
    }
    return out;
}

ChipOutcome ProgramOneChip(commands::Workspace& w, TerminalPrompt& ui, bool aux,
                           const std::function<std::string(const std::string&)>& digest) {
    ChipOutcome o;
    TerminalRunView view(stdout, kRunUnit);
    runs::RunDialog dialog(ui, messages::MsgId::RecOverflow);
    const runs::DownloadInputs in = commands::DownloadInputsOf(w, aux ? kAuxModeOn : kAuxModeOff);
    runs::RecJob job;
    switch (runs::DownloadCommand(in, ui, view, &job)) {
        case runs::CommandEnd::OpenDialog: break;
        case runs::CommandEnd::Stopped:
            o.message = ui.LastMessage().empty() ? "the download command stopped" : ui.LastMessage();
            return o;
        case runs::CommandEnd::NoDriver:
            o.rc = NoDriverBound("program", w);
            o.message = "no driver library is bound for programmer type '" + commands::ProgrammerName(w) + "'";
            return o;
    }
    job.digest = digest;
    runs::RecThread::End end = runs::RecThread::End::Failed;
    bool cancelled = false;
    o.ran = true;
    // Closing the dialog shows the overflow message when there was one.
    const bool closed = RunWorkerModal(
        dialog, view,
        [&] {
            runs::StartRecThread(
                dialog, std::move(job), view, [&end](runs::RecThread::End e) { end = e; }, &o.summary);
        },
        &cancelled);
    if (!closed || end != runs::RecThread::End::Finished) {
        Tell(&o, "the run stopped: a cell of the list is not a number");
        return o;
    }
    // The dialog says nothing of these; a script programming chips must know.
    for (const auto& p : RowProblems(o.summary))
        Tell(&o, "row " + std::to_string(p.row) + " (" + p.file + ") " + (p.leftOut ? "left out: " : "not recorded: ") +
                     p.reason);
    if (dialog.Overflow()) Keep(&o, messages::MessageText(messages::MsgId::RecOverflow));
    if (cancelled) {
        o.rc = 130;
        Keep(&o, "cancelled");
        return o;
    }
    o.rc = o.message.empty() ? 0 : 1;
    return o;
}

}  // namespace cli
