// sonmira-cli program PROJECT.QWF: the download command without windows.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/audio_output.h"
#include "audio/audio_result.h"
#include "changed_files.h"
#include "chip_listen.h"
#include "chip_log.h"
#include "chip_run.h"
#include "command_options.h"
#include "commands.h"
#include "cli_prompt.h"
#include "files/config.h"
#include "overlap_check.h"
#include "port_hold.h"
#include "printable.h"
#include "commands/project_commands.h"
#include "run_start.h"
#include "commands/run_setup.h"
#include "commands/workspace.h"

namespace cli {

namespace {

// The run's own checks, after the workspace's: each prints why and returns 1.
int CheckProduction(const ProgramOptions& p, const commands::Workspace& w) {
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

}  // namespace

int RunProgram(int argc, char** argv) {
    ProgramOptions p;
    const std::string error = ParseProgramOptions(argc, argv, &p);
    if (!error.empty()) return UsageErrorWithHelp("program", error);
    const std::string project = commands::WithProjectExtension(p.run.rest[0]);
    // The input is opened before the driver is bound: binding scans the ports.
    std::unique_ptr<audio::ISoundCapture> capture;
    if (p.verify && !(capture = OpenCaptureOrSay("program", *p.listen.capture))) return 1;
    cli::TerminalPrompt ui(cli::TerminalPrompt::ModeFor(p.yes));
    commands::Workspace w;
    if (int rc = cli::PrepareWorkspace("program", p.run, project, w, ui)) return rc;
    if (int rc = CheckProduction(p, w)) return rc;
    if (p.run.aux &&
        !commands::RecordsAux(files::ReadProgrammerSection(*w.config, commands::ProgrammerName(w)).driverFile))
        std::fprintf(stderr,
                     "sonmira-cli program: warning: --aux changes nothing: programmer type '%s' has no AUX "
                     "recording mode\n",
                     cli::Printable(commands::ProgrammerName(w)).c_str());

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
        cli::ChipOutcome o = cli::ProgramOneChip(w, ui, p.run.aux, digest);
        if (capture && o.rc == 0) {
            VerifyOutcome v = VerifyChipNow("program", w, *capture, p.listen.minSimilarity, p.asStation);
            // The line shows a station's error stream under its name: why it failed goes there.
            if (p.asStation && v.rc == 1 && !v.messagePrinted)
                std::fprintf(stderr, "sonmira-cli program: %s\n", cli::Printable(v.message).c_str());
            o.rc = v.rc;
            o.message = v.message;
            o.verified = std::move(v.outcomes);
        }
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

}  // namespace cli
