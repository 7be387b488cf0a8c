// sonmira-cli line PROJECT.QWF --station PORT=OUTPUT ...: several modules
// programmed at once, each by a `sonmira-cli program` process of its own on
// its own port and sound output (and with --verify its own sound input),
// round after round.
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "audio/audio_output.h"
#include "audio/audio_result.h"
#include "changed_files.h"
#include "chip_log.h"
#include "command_options.h"
#include "commands.h"
#include "cli_prompt.h"
#include "messages/messages.h"
#include "overlap_check.h"
#include "port_hold.h"
#include "printable.h"
#include "commands/project_commands.h"
#include "run_start.h"
#include "station_board.h"
#include "station_list.h"
#include "station_process.h"
#include "commands/workspace.h"

namespace cli {

namespace {

volatile sig_atomic_t g_stop = 0;
void OnStop(int) { g_stop = 1; }

// Every refusal that needs no module. Prints why; returns 0 or the exit code.
int CheckLine(const LineOptions& o, commands::Workspace& w, cli::TerminalPrompt& ui) {
    if (!o.ignoreChanged && cli::CheckChangedFiles("line", w.list, w.chip)) return 1;
    if (cli::CheckMissingFiles("line", w.list)) return 1;
    if (cli::CheckOverlaps("line", w.list, w.chip, o.yes)) return 1;
    int64_t extent = 0;
    std::string bad;
    if (list::ComputeExtent(w.list, w.chip, &extent, &bad) == list::kListOk && extent > w.chip.capacity &&
        messages::ShowMessage(ui, messages::MsgId::AskOverCapacity) != messages::MsgAnswer::Yes)
        return 1;
    std::string error;
    if (o.log && cli::CheckLogFile("line", *o.log)) return 1;
    int problems = 0;
    for (const auto& s : o.stations) {
        if (audio::ChooseAudioOutput(s.output, &error) != audio::kAudioOk) {
            std::fprintf(stderr, "sonmira-cli line: station %d: sound output '%s': %s\n", s.number,
                         cli::Printable(s.output).c_str(), cli::Printable(error).c_str());
            ++problems;
        }
        const std::string why = cli::PortUnavailableReason(s.port);
        if (!why.empty()) {
            std::fprintf(stderr, "sonmira-cli line: station %d: port %s: %s\n", s.number,
                         cli::Printable(s.port).c_str(), cli::Printable(why).c_str());
            ++problems;
        }
    }
    audio::ChooseAudioOutput("", &error);
    if (!problems) return 0;
    std::fprintf(stderr, "sonmira-cli line: %d %s to mend first; nothing sent\n", problems,
                 problems == 1 ? "problem" : "problems");
    return 1;
}

// The program command a station runs for its chip of round `round`.
std::vector<std::string> StationArgs(const LineOptions& o, const cli::Station& s, const std::string& project,
                                     int round) {
    std::vector<std::string> a = {"program",
                                  "--port",
                                  s.port,
                                  "--audio",
                                  s.output,
                                  "--yes",
                                  "--ignore-changed",
                                  "--station",
                                  std::to_string(s.number),
                                  "--round",
                                  std::to_string(round)};
    if (o.log) a.insert(a.end(), {"--log", *o.log});
    if (!o.run.programmer.empty()) a.insert(a.end(), {"--programmer", o.run.programmer});
    if (!o.run.chip.empty()) a.insert(a.end(), {"--chip", o.run.chip});
    if (o.run.aux) a.push_back("--aux");
    if (o.verify) {
        // Joined to its name: an input is taken as it is, whatever it begins with.
        a.insert(a.end(), {"--verify", "--capture=" + s.capture, "--as-station"});
        if (!o.minSimilarityText.empty()) a.push_back("--min-similarity=" + o.minSimilarityText);
    }
    a.insert(a.end(), {"--", project});
    return a;
}

std::string StationName(const cli::Station& s) { return "station " + std::to_string(s.number) + " (" + s.port + ")"; }

// Runs one chip on every active station at once; returns each one's exit code.
std::vector<int> RunRound(const LineOptions& o, const std::vector<const cli::Station*>& active,
                          const std::string& project, int round) {
    std::vector<std::unique_ptr<cli::StationProcess>> runs;
    std::vector<std::string> names;
    for (const auto* s : active) names.push_back(StationName(*s));
    cli::StationBoard board(stdout, names);
    std::vector<int> codes(active.size(), 1);
    for (size_t i = 0; i < active.size(); ++i) {
        runs.push_back(std::make_unique<cli::StationProcess>());
        std::string error;
        if (!runs[i]->Start("/proc/self/exe", StationArgs(o, *active[i], project, round), &error))
            std::fprintf(stderr, "sonmira-cli line: %s: the run could not be started: %s\n", names[i].c_str(),
                         error.c_str());
    }
    bool forwarded = false;
    for (;;) {
        std::vector<pollfd> fds;
        std::vector<size_t> owner;
        for (size_t i = 0; i < runs.size(); ++i) {
            for (int fd : {runs[i]->OutFd(), runs[i]->ErrFd()}) {
                if (fd < 0) continue;
                fds.push_back({fd, POLLIN, 0});
                owner.push_back(i);
            }
        }
        if (fds.empty()) break;
        const int ready = ::poll(fds.data(), fds.size(), 500);
        // Ctrl+C reaches the stations from the terminal; a SIGTERM to the line is passed on.
        if (g_stop && !forwarded) {
            for (auto& r : runs) r->Signal(SIGTERM);
            forwarded = true;
        }
        const auto now = std::chrono::steady_clock::now();
        for (size_t k = 0; ready > 0 && k < fds.size(); ++k) {
            if (!(fds[k].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            std::vector<std::string> lines;
            runs[owner[k]]->ReadFrom(fds[k].fd, &lines);
            if (!lines.empty())
                board.Update(owner[k], lines, runs[owner[k]]->Progress(), now - runs[owner[k]]->Started());
        }
        if (ready == 0)  // the time left goes on counting down between segments
            for (size_t i = 0; i < runs.size(); ++i)
                if (runs[i]->OutFd() >= 0) board.Update(i, {}, runs[i]->Progress(), now - runs[i]->Started());
    }
    board.Finish();
    for (size_t i = 0; i < runs.size(); ++i) {
        if (runs[i]->Reap()) codes[i] = runs[i]->ExitCode();
        if (codes[i] == 0) {
            std::printf("%s: chip %d programmed%s\n", names[i].c_str(), round, o.verify ? " and verified" : "");
            continue;
        }
        std::fflush(stdout);
        std::fprintf(stderr, "sonmira-cli line: %s: chip %d %s\n", names[i].c_str(), round,
                     codes[i] == 130 ? "cancelled" : "failed");
        // Its own messages say why, each line under the station's name.
        std::string said = runs[i]->Messages();
        if (!said.empty() && said.back() != '\n') said += '\n';
        for (size_t at = 0, nl; (nl = said.find('\n', at)) != std::string::npos; at = nl + 1)
            if (nl > at) std::fprintf(stderr, "  %s\n", cli::Printable(said.substr(at, nl - at)).c_str());
    }
    std::fflush(stdout);
    return codes;
}

}  // namespace

int RunLine(int argc, char** argv) {
    LineOptions o;
    std::string error = ParseLineOptions(argc, argv, &o);
    if (error.empty()) error = SharedResource(o.stations);
    if (error.empty() && o.verify) error = MatchCaptures(o.captureTexts, &o.stations);
    if (!error.empty()) return UsageErrorWithHelp("line", error);
    const std::string project =
        std::filesystem::absolute(commands::WithProjectExtension(o.run.rest[0])).lexically_normal().string();
    cli::TerminalPrompt ui(cli::TerminalPrompt::ModeFor(o.yes));
    commands::Workspace w;
    if (int rc = cli::PrepareWorkspace("line", o.run, project, w, ui)) return rc;
    if (int rc = CheckLine(o, w, ui)) return rc;

    struct sigaction sa {};
    sa.sa_handler = OnStop;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    std::vector<const cli::Station*> active;
    for (const auto& s : o.stations) active.push_back(&s);
    const int total = o.count * static_cast<int>(o.stations.size());
    int programmed = 0;
    bool stopped = false;
    for (int round = 1; round <= o.count && !active.empty(); ++round) {
        if (round > 1 && !o.noWait && !cli::OperatorGoesOn("insert the next chips, Enter to go on, q to stop: ")) {
            stopped = true;
            break;
        }
        if (o.count > 1) std::printf("round %d of %d\n", round, o.count);
        std::fflush(stdout);
        const std::vector<int> codes = RunRound(o, active, project, round);
        std::vector<const cli::Station*> goOn;
        for (size_t i = 0; i < active.size(); ++i) {
            if (codes[i] == 0) {
                ++programmed;
                goOn.push_back(active[i]);
            }
        }
        active = goOn;
        if (g_stop) {
            stopped = true;
            break;
        }
    }
    std::printf("%d of %d chips programmed\n", programmed, total);
    std::fflush(stdout);
    if (programmed == total) return 0;
    return stopped ? 130 : 1;
}

}  // namespace cli
