// sonmira-cli program PROJECT.QWF: the download command without windows.
#include <cstdio>
#include <string>

#include "IDevInter.h"
#include "changed_files.h"
#include "cli_command.h"
#include "cli_prompt.h"
#include "config.h"
#include "download_command.h"
#include "messages.h"
#include "numbers.h"
#include "printable.h"
#include "project_commands.h"
#include "rec_thread.h"
#include "run_dialog.h"
#include "run_options.h"
#include "run_setup.h"
#include "run_terminal.h"
#include "workspace.h"

namespace {

constexpr const char* kUsage =
    "usage: sonmira-cli program [--programmer NAME] [--chip NAME] [--port PORT] [--aux] [--yes]\n"
    "                           [--ignore-changed] [--count N [--no-wait]] PROJECT.QWF\n"
    "\n"
    "Writes the project's programming list into the chip: for every segment\n"
    "marked for programming the module is told to record at the segment's\n"
    "addresses while the segment's file plays on the sound output that feeds the\n"
    "module's AUX input. The programmer type and chip are the project's, as the\n"
    "configuration (Sonmira.INI) defines them; their driver library is bound and\n"
    "finds the module on COM1..COM4 (SERTRA_COM1..4 name the ports).\n"
    "\n"
    "  --programmer NAME  use this programmer type instead of the project's\n"
    "  --chip NAME        use this chip instead of the project's\n"
    "  --port PORT        scan only this serial port: COM1..COM4 or a device\n"
    "                     path such as /dev/ttyUSB0\n"
    "  --aux              record in AUX mode (second module)\n"
    "  --yes, -y          answer Yes to questions (list longer than the chip,\n"
    "                     no sound output); without it they are asked on a\n"
    "                     terminal and answered No otherwise\n"
    "  --count N          program N chips in turn; between two chips wait for the\n"
    "                     operator (Enter goes on, q or the end of the input stops)\n"
    "  --no-wait          go on to the next chip without waiting\n"
    "  --ignore-changed   program even when a file now needs another number of\n"
    "                     chip addresses than its row gives (it was changed\n"
    "                     after it was added); without it the run is refused\n"
    "\n"
    "Before anything is sent, the configuration, the chip's line in the chip\n"
    "table and every marked row are checked; each problem is named once.\n"
    "\n"
    "Progress goes to stdout (a bar on a terminal, one line per step otherwise),\n"
    "messages to stderr. Ctrl+C cancels like the dialog's cancel button: the\n"
    "segment in work is finished, no further one is started.\n"
    "SONMIRA_AUDIO_SINK names a GStreamer sink to play into instead of the\n"
    "desktop's output; SONMIRA_DEBUG=1 prints the trace of every record command.\n"
    "\n"
    "Exit status: 0 when every marked segment was recorded; 1 when a check, the\n"
    "driver or the run failed, or a marked segment was left out (its file is\n"
    "missing, or the module refused its record command); the message says why,\n"
    "an address overflow included;\n"
    "2 for a usage error; 130 when cancelled.\n";

// --count N (or --count=N), taken out of argv. Returns "" or the error.
std::string TakeCount(int* argc, char** argv, int* count) {
    int out = 1;
    std::string error;
    for (int i = 1; i < *argc; ++i) {
        std::string a = argv[i], value;
        if (a == "--count") {
            if (i + 1 >= *argc) return "option '--count' needs a value";
            value = argv[++i];
        } else if (a.rfind("--count=", 0) == 0) {
            value = a.substr(8);
        } else {
            argv[out++] = argv[i];
            continue;
        }
        int32_t n = 0;
        if (!num::TryStrToInt(value, &n) || n < 1)
            error = "option '--count' needs a number of chips, 1 or more ('" + value + "')";
        *count = n;
    }
    *argc = out;
    return error;
}

// Between two chips: waits for the operator on the terminal. False when
// the operator stops the batch (q, or the end of the input).
bool NextChipWanted() {
    std::fprintf(stderr, "insert the next chip, Enter to go on, q to stop: ");
    std::fflush(stderr);
    char line[64];
    if (!std::fgets(line, sizeof line, stdin)) {
        std::fputc('\n', stderr);
        return false;
    }
    return line[0] != 'q' && line[0] != 'Q';
}

// One chip: the download command and its run. Returns the exit code.
int ProgramOneChip(ws::Workspace& w, cli::TerminalPrompt& ui, bool aux) {
    cli::TerminalRunView view(stdout, "ms");
    RunDialog dialog(ui, MsgId::RecOverflow);
    DownloadInputs in;
    in.list = &w.list;
    in.chip = w.chip;
    in.aux_mode = aux ? kAuxModeOn : kAuxModeOff;
    in.drivers = &w.drivers;
    RecJob job;
    switch (DownloadCommand(in, ui, view, &job)) {
        case CommandEnd::OpenDialog: break;
        case CommandEnd::Stopped: return 1;
        case CommandEnd::NoDriver: return cli::NoDriverBound("program", w);
    }
    RecThread::End end = RecThread::End::Failed;
    RecSummary summary;
    bool cancelled = false;
    // Closing the dialog shows the overflow message when there was one.
    const bool closed = cli::RunWorkerModal(
        dialog, view,
        [&] {
            StartRecThread(
                dialog, std::move(job), view, [&end](RecThread::End e) { end = e; }, &summary);
        },
        &cancelled);
    if (!closed || end != RecThread::End::Finished) {
        std::fprintf(stderr, "sonmira-cli program: the run stopped: a cell of the list is not a number\n");
        return 1;
    }
    // The dialog says nothing of these; a script programming chips must know.
    for (const auto& m : summary.missing)
        std::fprintf(stderr, "sonmira-cli program: row %d (%s) left out: the audio file does not exist\n", m.row,
                     cli::Printable(m.file).c_str());
    for (const auto& u : summary.unrecorded)
        std::fprintf(stderr, "sonmira-cli program: row %d (%s) not recorded: the record command failed %d times: %s\n",
                     u.row, cli::Printable(u.file).c_str(), RecThread::kAttempts, DriverResultMessage(u.code).c_str());
    if (cancelled) return 130;
    return dialog.Overflow() || !summary.missing.empty() || !summary.unrecorded.empty() ? 1 : 0;
}

int RunProgram(int argc, char** argv) {
    const bool yes = cli::TakeYesFlag(&argc, argv);
    const bool ignoreChanged = cli::TakeFlag(&argc, argv, "--ignore-changed");
    const bool noWait = cli::TakeFlag(&argc, argv, "--no-wait");
    int count = 1;
    std::string error = TakeCount(&argc, argv, &count);
    cli::RunOptions o;
    if (error.empty()) error = cli::ParseRunOptions(argc, argv, true, false, "project file", &o);
    if (!error.empty()) return cli::UsageError("program", error, kUsage);
    const std::string project = ws::WithProjectExtension(o.rest[0]);
    cli::TerminalPrompt ui(cli::TerminalPrompt::ModeFor(yes));
    ws::Workspace w;
    if (int rc = cli::PrepareWorkspace("program", o, project, w, ui)) return rc;
    if (!ignoreChanged && cli::CheckChangedFiles("program", w.list, w.chip)) return 1;
    if (o.aux && !ws::RecordsAux(cfg::ReadProgrammerSection(*w.config, ws::ProgrammerName(w)).driverFile))
        std::fprintf(stderr,
                     "sonmira-cli program: warning: --aux changes nothing: programmer type '%s' has no AUX "
                     "recording mode\n",
                     cli::Printable(ws::ProgrammerName(w)).c_str());

    // Chip after chip: the operator puts the next one in between.
    for (int chip = 1; chip <= count; ++chip) {
        if (count > 1) {
            if (chip > 1 && !noWait && !NextChipWanted()) {
                std::printf("stopped after %d of %d chips\n", chip - 1, count);
                return 130;
            }
            std::printf("chip %d of %d\n", chip, count);
            std::fflush(stdout);
        }
        const int rc = ProgramOneChip(w, ui, o.aux);
        if (rc != 0) {
            if (count > 1) std::fprintf(stderr, "sonmira-cli program: the batch stops at chip %d of %d\n", chip, count);
            return rc;
        }
    }
    return 0;
}

}  // namespace

SONMIRA_CLI_COMMAND("program", "write a project's list into the chip", kUsage, RunProgram);
