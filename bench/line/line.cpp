// bench_line [--rounds N]: runs the built `sonmira-cli line` on a project of
// ten short sounds with one, two and four stations, each station a module
// simulator of its own and a capturing sink of its own, one chip each
// (--count 1 --no-wait --yes), and prints per station count
//  - the line command's wall time, and its ratio to one station's;
//  - the delay from each record command's write (the run's record_sent
//    stamp) to the first buffer of its sound at the sink, over every
//    station's segments (each process's stamps paired in time order), both
//    CLOCK_MONOTONIC, signed: smallest, median, largest;
//  - chips per hour (stations x 3600 / wall seconds).
// A run that does not exit 0, or a simulator without its ten record frames,
// is reported and ends the benchmark with status 1.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "list/project_file.h"
#include "runs/rec_thread.h"
#include "run_rig.h"
#include "ten_tones.h"

extern char** environ;

namespace {

const std::string kOut = SONMIRA_OUT_DIR "/";
const std::string kProgrammer = "SM-1 编程器";
const std::string kChip = "SV060A";
constexpr int kChipStepMs = 250;  // SV060A's line in sound.dat
constexpr int kSegments = bench::kToneCount;
constexpr int kStationCounts[] = {1, 2, 4};

// The program folder (configuration, chip table and drivers linked in from
// the build) with the ten tones and the project that lists them.
struct ProgramFolder {
    test_support::TempDir temp{"sonmira-line"};
    std::string project;
    int64_t sounds_ms = 0;
};

bool MakeProgramFolder(ProgramFolder* f) {
    const std::string home = f->temp.path();
    for (const char* name : {"Sonmira.INI", "sound.dat", "libsonmiradrv.so", "libsonveltdrv.so"}) {
        if (symlink((kOut + name).c_str(), (home + "/" + name).c_str()) != 0) {
            std::fprintf(stderr, "cannot link %s into %s: %s\n", name, home.c_str(), std::strerror(errno));
            return false;
        }
    }
    setenv("SONMIRA_HOME", home.c_str(), 1);
    list::ProgrammingList list;
    f->sounds_ms = bench::ListTenTones(home, kChipStepMs, &list);
    if (f->sounds_ms < 0) {
        std::fprintf(stderr, "sox failed\n");
        return false;
    }
    f->project = home + "/line.QWF";
    if (list::Write(f->project, list, {kProgrammer, kChip}, list::Today()) != list::kProjectOk) {
        std::fprintf(stderr, "cannot write %s\n", f->project.c_str());
        return false;
    }
    return true;
}

// Runs the program with `args`, input from /dev/null, output into the two
// files. Its exit status, or -1 when it did not start or exit normally.
int RunProgram(const std::vector<std::string>& args, const std::string& out, const std::string& err) {
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (spawned != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// One line run's figures; `problem` is empty when everything checked out.
struct LineFigures {
    double wall_ms = 0;
    std::vector<double> delays_ms;
    std::string problem;
};

// Record command to first buffer, per process: the i-th record_sent line
// with the i-th first_buffer line of the same pid, both in time order.
std::string PairDelays(const std::string& playLog, size_t stations, std::vector<double>* delays) {
    std::map<std::string, std::vector<int64_t>> sent, first;
    for (const auto& l : rig::Lines(rig::ReadFile(playLog))) {
        const std::string event = rig::JsonField(l, "event");
        const int64_t t = std::stoll(rig::JsonField(l, "t_ns"));
        if (event == "record_sent") sent[rig::JsonField(l, "pid")].push_back(t);
        if (event == "first_buffer") first[rig::JsonField(l, "pid")].push_back(t);
    }
    if (sent.size() != stations)
        return "the play log has record_sent lines of " + std::to_string(sent.size()) + " processes, not " +
               std::to_string(stations);
    for (auto& [pid, stamps] : sent) {
        std::vector<int64_t>& buffers = first[pid];
        if (stamps.size() != kSegments || buffers.size() != kSegments)
            return "process " + pid + " logged " + std::to_string(stamps.size()) + " record_sent and " +
                   std::to_string(buffers.size()) + " first_buffer lines, not " + std::to_string(kSegments);
        std::sort(stamps.begin(), stamps.end());
        std::sort(buffers.begin(), buffers.end());
        for (int i = 0; i < kSegments; ++i) delays->push_back((buffers[i] - stamps[i]) / 1e6);
    }
    return "";
}

// sonmira-cli line with `n` stations, each on a fresh simulator.
LineFigures RunLine(const ProgramFolder& folder, int n) {
    LineFigures f;
    const test_support::TempDir run("sonmira-line-run");
    const std::string dir = run.path();
    const std::string playLog = dir + "/play.log";
    setenv("SONMIRA_PLAY_LOG", playLog.c_str(), 1);
    std::vector<std::unique_ptr<rig::ModSim>> sims;
    std::vector<std::string> args = {kOut + "sonmira-cli", "line", "--count", "1", "--no-wait", "--yes"};
    for (int s = 1; s <= n; ++s) {
        sims.push_back(std::make_unique<rig::ModSim>(kOut + "sonmira-modsim", "first"));
        if (sims.back()->Path().empty()) {
            f.problem = "simulator " + std::to_string(s) + " did not start";
            return f;
        }
        const std::string capture = dir + "/station" + std::to_string(s) + ".raw";
        args.push_back("--station");
        args.push_back(sims.back()->Path() +
                       "=gst:identity sync=true ! audioconvert ! audio/x-raw,format=S16LE,channels=1,rate=8000"
                       " ! filesink location=" +
                       capture + " append=true async=false");
    }
    args.push_back(folder.project);

    const int64_t t0 = rig::MonotonicNs();
    const int code = RunProgram(args, dir + "/line.out", dir + "/line.err");
    f.wall_ms = (rig::MonotonicNs() - t0) / 1e6;
    if (code != 0) {
        // Its last line counts the chips; its errors say which station failed and why.
        const auto out = rig::Lines(rig::ReadFile(dir + "/line.out"));
        f.problem = "sonmira-cli line exited " + std::to_string(code) + (out.empty() ? "" : ": " + out.back()) + "\n" +
                    rig::ReadFile(dir + "/line.err");
        return f;
    }
    for (int s = 0; s < n; ++s) {
        // The simulator logs a frame when it gets round to reading it.
        const auto records = test_support::WaitFor(
            [&] {
                const auto rx = sims[s]->Rx();
                return std::count_if(rx.begin(), rx.end(), [](const rig::Frame& fr) { return fr.cmd == "record"; });
            },
            [](long got) { return got >= kSegments; }, 2000);
        if (records != kSegments) {
            f.problem = "station " + std::to_string(s + 1) + "'s simulator got " + std::to_string(records) +
                        " record frames, not " + std::to_string(kSegments);
            return f;
        }
    }
    f.problem = PairDelays(playLog, n, &f.delays_ms);
    return f;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

// One round: every station count in turn. False when a run went wrong.
bool Round(const ProgramFolder& folder) {
    double one_ms = 0;
    for (int n : kStationCounts) {
        const LineFigures f = RunLine(folder, n);
        std::printf("%d station%s:\n", n, n == 1 ? "" : "s");
        if (!f.problem.empty()) {
            std::printf("  FAILED: %s\n", f.problem.substr(0, f.problem.find_last_not_of('\n') + 1).c_str());
            return false;
        }
        if (n == 1) one_ms = f.wall_ms;
        std::printf("  wall %.1f ms", f.wall_ms);
        if (n > 1) std::printf(", %.3f x one station's", f.wall_ms / one_ms);
        if (n == 4) std::printf(" (target <= 1.1)");
        std::printf(", %.1f chips per hour\n", n * 3600.0 / (f.wall_ms / 1000));
        const auto [lo, hi] = std::minmax_element(f.delays_ms.begin(), f.delays_ms.end());
        std::printf(
            "  record command written -> first buffer over %zu segments: smallest %+.2f ms, median %+.2f ms "
            "(target <= 5), largest %+.2f ms (target <= 15)\n",
            f.delays_ms.size(), *lo, Median(f.delays_ms), *hi);
        std::printf("  exit 0, every simulator got its %d record frames\n", kSegments);
        std::fflush(stdout);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 1;
    if (argc == 3 && std::strcmp(argv[1], "--rounds") == 0) rounds = std::atoi(argv[2]);
    if ((argc != 1 && argc != 3) || rounds < 1) {
        std::fprintf(stderr, "usage: bench_line [--rounds N]\n");
        return 2;
    }
    ProgramFolder folder;
    if (folder.temp.path().empty() || !MakeProgramFolder(&folder)) return 1;
    // Every port a station does not name leads nowhere.
    rig::PointPortsAt("/nonexistent/sonmira-com1");
    // What one chip's run prescribes: the run's pauses, the first module
    // driver's (release 10 ms per segment, 10 ms at the end), the sounds.
    const int64_t prescribed =
        kSegments * (runs::RecThread::kPauseMs + 10) + folder.sounds_ms + runs::RecThread::kEndPauseMs + 10;
    std::printf("sonmira-cli line, %d segments (sounds %lld ms, a chip's run prescribes %lld ms), %s / %s\n", kSegments,
                static_cast<long long>(folder.sounds_ms), static_cast<long long>(prescribed), kProgrammer.c_str(),
                kChip.c_str());
    for (int r = 1; r <= rounds; ++r) {
        if (rounds > 1) std::printf("round %d of %d\n", r, rounds);
        if (!Round(folder)) return 1;
    }
    return 0;
}
