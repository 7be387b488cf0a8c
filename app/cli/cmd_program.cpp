// sonmira-cli program PROJECT.QWF: the download command without windows.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/audio_output.h"
#include "audio/audio_result.h"
#include "changed_files.h"
#include "chip_log.h"
#include "chip_run.h"
#include "cli_command.h"
#include "cli_prompt.h"
#include "files/config.h"
#include "overlap_check.h"
#include "port_hold.h"
#include "printable.h"
#include "commands/project_commands.h"
#include "run_options.h"
#include "commands/run_setup.h"
#include "commands/workspace.h"

namespace {

constexpr const char* kUsage =
    "usage: sonmira-cli program [--programmer NAME] [--chip NAME] [--port PORT] [--audio OUTPUT]\n"
    "                           [--aux] [--yes] [--ignore-changed] [--count N [--no-wait]]\n"
    "                           [--log FILE [--station NAME] [--round N]] PROJECT.QWF\n"
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
    "  --audio OUTPUT     play into this sound output: an ALSA device (hw:1,\n"
    "                     plughw:CARD=Device,DEV=0), a PulseAudio or PipeWire sink,\n"
    "                     or gst: and a GStreamer sink description; 'sonmira-cli\n"
    "                     devices' lists them. One that does not open is refused\n"
    "  --aux              record in AUX mode (second module)\n"
    "  --yes, -y          answer Yes to questions (list longer than the chip,\n"
    "                     no sound output) and record rows whose addresses\n"
    "                     overlap; without it the questions are asked on a\n"
    "                     terminal and answered No otherwise, and overlapping\n"
    "                     rows are refused\n"
    "  --count N          program N chips in turn; between two chips wait for the\n"
    "                     operator (Enter goes on, q or the end of the input stops)\n"
    "  --no-wait          go on to the next chip without waiting\n"
    "  --log FILE         append one JSON line per chip to FILE when the chip ends:\n"
    "                     the record of what went into it (README.md)\n"
    "  --station NAME     the station named in the record (default: the port)\n"
    "  --round N          the first chip's number in the record (default 1)\n"
    "  --ignore-changed   program even when a file now needs another number of\n"
    "                     chip addresses than its row gives (it was changed\n"
    "                     after it was added); without it the run is refused\n"
    "\n"
    "Before anything is sent, the configuration, the chip's line in the chip\n"
    "table and every marked row are checked, and the port, the sound output and\n"
    "the record file when given; each problem is named once. With --count or\n"
    "--log a marked file that is missing is refused too: every chip would lack it.\n"
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

struct ProgramOptions {
    bool yes = false, ignoreChanged = false, noWait = false;
    int count = 1;
    int firstRound = 1;
    std::optional<std::string> audio, log, station;
    cli::RunOptions run;
};

std::string ParseProgramOptions(int argc, char** argv, ProgramOptions* p) {
    p->yes = cli::TakeYesFlag(&argc, argv);
    p->ignoreChanged = cli::TakeFlag(&argc, argv, "--ignore-changed");
    p->noWait = cli::TakeFlag(&argc, argv, "--no-wait");
    std::string error = cli::TakeCountOption(&argc, argv, "--count", "a number of chips", &p->count);
    if (error.empty()) error = cli::TakeCountOption(&argc, argv, "--round", "a round number", &p->firstRound);
    if (error.empty()) error = cli::TakeSingleOption(&argc, argv, "--audio", &p->audio);
    if (error.empty()) error = cli::TakeSingleOption(&argc, argv, "--log", &p->log);
    if (error.empty()) error = cli::TakeSingleOption(&argc, argv, "--station", &p->station);
    if (error.empty()) error = cli::ParseRunOptions(argc, argv, true, false, "project file", &p->run);
    return error;
}

// The run's own checks, after the workspace's: each prints why and returns 1.
int CheckProduction(const ProgramOptions& p, const ws::Workspace& w) {
    if (!p.ignoreChanged && cli::CheckChangedFiles("program", w.list, w.chip)) return 1;
    if ((p.count > 1 || p.log) && cli::CheckMissingFiles("program", w.list)) return 1;
    if (cli::CheckOverlaps("program", w.list, w.chip, p.yes)) return 1;
    std::string error;
    if (p.log && cli::CheckLogFile("program", *p.log)) return 1;
    if (p.audio && audio::ChooseAudioOutput(*p.audio, &error) != audio::kAudioOk) {
        std::fprintf(stderr, "sonmira-cli program: sound output '%s': %s; nothing sent\n",
                     cli::Printable(*p.audio).c_str(), cli::Printable(error).c_str());
        return 1;
    }
    if (!p.run.port.empty()) {
        const std::string why = cli::PortUnavailableReason(p.run.port);
        if (!why.empty()) {
            std::fprintf(stderr, "sonmira-cli program: port %s: %s; nothing sent\n", cli::Printable(p.run.port).c_str(),
                         cli::Printable(why).c_str());
            return 1;
        }
    }
    return 0;
}

int RunProgram(int argc, char** argv) {
    ProgramOptions p;
    const std::string error = ParseProgramOptions(argc, argv, &p);
    if (!error.empty()) return cli::UsageError("program", error, kUsage);
    const std::string project = ws::WithProjectExtension(p.run.rest[0]);
    cli::TerminalPrompt ui(cli::TerminalPrompt::ModeFor(p.yes));
    ws::Workspace w;
    if (int rc = cli::PrepareWorkspace("program", p.run, project, w, ui)) return rc;
    if (int rc = CheckProduction(p, w)) return rc;
    if (p.run.aux && !ws::RecordsAux(cfg::ReadProgrammerSection(*w.config, ws::ProgrammerName(w)).driverFile))
        std::fprintf(stderr,
                     "sonmira-cli program: warning: --aux changes nothing: programmer type '%s' has no AUX "
                     "recording mode\n",
                     cli::Printable(ws::ProgrammerName(w)).c_str());

    cli::ChipLogContext log;
    std::function<std::string(const std::string&)> digest;
    if (p.log) {
        log.path = *p.log;
        log.port = p.run.port;
        log.station = p.station.value_or(p.run.port);
        log.output = p.audio.value_or("");
        log.project = std::filesystem::absolute(project).lexically_normal().string();
        log.projectSha256 = cli::FileDigest(project);
        log.aux = p.run.aux;
        digest = cli::FileDigest;
    }
    // Chip after chip: the operator puts the next one in between.
    for (int chip = 1; chip <= p.count; ++chip) {
        if (p.count > 1) {
            if (chip > 1 && !p.noWait && !cli::OperatorGoesOn("insert the next chip, Enter to go on, q to stop: ")) {
                std::printf("stopped after %d of %d chips\n", chip - 1, p.count);
                return 130;
            }
            std::printf("chip %d of %d\n", chip, p.count);
            std::fflush(stdout);
        }
        const auto began = std::chrono::steady_clock::now();
        const cli::ChipOutcome o = cli::ProgramOneChip(w, ui, p.run.aux, digest);
        const std::string unlogged =
            cli::LogChip(log, w, p.firstRound + chip - 1, o, std::chrono::steady_clock::now() - began);
        if (!unlogged.empty()) {
            // A chip without its record cannot leave the line as a good one.
            std::fprintf(stderr, "sonmira-cli program: the record file %s: %s; the batch stops at chip %d of %d\n",
                         cli::Printable(log.path).c_str(), cli::Printable(unlogged).c_str(), chip, p.count);
            return 1;
        }
        if (o.rc != 0) {
            if (p.count > 1)
                std::fprintf(stderr, "sonmira-cli program: the batch stops at chip %d of %d\n", chip, p.count);
            return o.rc;
        }
    }
    return 0;
}

}  // namespace

SONMIRA_CLI_COMMAND("program", "write a project's list into the chip", kUsage, RunProgram);
