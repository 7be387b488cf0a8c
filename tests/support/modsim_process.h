// The real sonmira-modsim as a child process for a test: started on a fresh
// pseudo-terminal with its frame log and chip map in a temporary folder, ended
// with SIGTERM. The driver tests and the run tests both drive it this way.
#pragma once

#include <sched.h>
#include <signal.h>
#include <stdio.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "load_margins.h"
#include "test_files.h"

namespace test_support {

inline int64_t MonotonicNs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

// Value of "key" in a one-line JSON object (strings without escapes, numbers).
inline std::string JsonField(const std::string& line, const std::string& key) {
    const std::string k = "\"" + key + "\":";
    const size_t at = line.find(k);
    if (at == std::string::npos) return "";
    size_t b = at + k.size();
    if (b < line.size() && line[b] == '"') {
        const size_t e = line.find('"', b + 1);
        return line.substr(b + 1, e - b - 1);
    }
    const size_t e = line.find_first_of(",}", b);
    return line.substr(b, e - b);
}

// The non-empty lines of a text.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string l;
    while (std::getline(in, l))
        if (!l.empty()) out.push_back(l);
    return out;
}

// The non-empty lines of a file another process is appending to, without a
// last line it has not finished writing (no line feed yet).
inline std::vector<std::string> WholeLines(std::string text) {
    const size_t end = text.rfind('\n');
    text.resize(end == std::string::npos ? 0 : end + 1);
    return Lines(text);
}

// Reads with read() until done(what was read) holds, or timeoutMs has
// passed; returns the last read. For whatever another process writes: one
// read right after an operation may come before the other process is done.
template <typename Read, typename Done>
auto WaitFor(Read read, Done done, int timeoutMs = kWaitMs) -> decltype(read()) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    auto got = read();
    while (!done(got) && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        got = read();
    }
    return got;
}

// One line of the simulator's frame log.
struct SimFrame {
    int64_t t_ns = 0;
    std::string dir, hex, cmd;
    bool hasArg = false;
    int64_t arg = 0;
};

// Hex of the frames, one per element.
inline std::vector<std::string> Hexes(const std::vector<SimFrame>& frames) {
    std::vector<std::string> h;
    for (const auto& f : frames) h.push_back(f.hex);
    return h;
}

class ModSimProcess {
public:
    // exe: the simulator; options: what it is told beside --log and --map
    // (module, faults, link).
    ModSimProcess(const std::string& exe, const std::vector<std::string>& options)
        : dir_("sonmira-modsim", MemoryFolder()) {
        logPath_ = dir_ / "frames.log";
        mapPath_ = dir_ / "map.json";
        std::vector<std::string> args = {exe, "--log", logPath_, "--map", mapPath_};
        args.insert(args.end(), options.begin(), options.end());
        int out[2];
        if (pipe(out) != 0) return;
        const pid_t parent = getpid();
        pid_ = fork();
        if (pid_ == 0) {
            // A test killed before its destructor runs (a time-out) must not
            // leave the simulator behind.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (getppid() != parent) _exit(0);
            ScheduleAhead();
            dup2(out[1], 1);
            close(out[0]);
            close(out[1]);
            std::vector<char*> argv;
            for (auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(out[1]);
        out_ = fdopen(out[0], "r");
        // The first line of its output is the terminal's path.
        char line[512] = {0};
        if (out_ && fgets(line, sizeof line, out_)) {
            path_ = line;
            while (!path_.empty() && path_.back() == '\n') path_.pop_back();
        }
    }

    ~ModSimProcess() {
        Stop();
        if (out_) fclose(out_);
    }
    ModSimProcess(const ModSimProcess&) = delete;
    ModSimProcess& operator=(const ModSimProcess&) = delete;

    // Ends the simulator (SIGTERM); returns its stdout after the path line.
    std::string Stop() {
        std::string rest;
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            char buf[1024];
            size_t n;
            while (out_ && (n = fread(buf, 1, sizeof buf, out_)) > 0) rest.append(buf, n);
            waitpid(pid_, &status_, 0);
            pid_ = -1;
        }
        return rest;
    }

    // Wait status of the ended simulator.
    int Status() const { return status_; }
    const std::string& Path() const { return path_; }
    const std::string& LogPath() const { return logPath_; }
    const std::string& MapPath() const { return mapPath_; }
    // The chip map as it is now. The simulator writes it after logging the
    // frame that changed it: after an operation, wait with WaitMap.
    std::string Map() const { return ReadBytes(mapPath_); }
    // The chip map once done(map) holds (the last read on time-out).
    template <typename Done>
    std::string WaitMap(Done done, int timeoutMs = kWaitMs) const {
        return WaitFor([this] { return Map(); }, done, timeoutMs);
    }
    // The chip map once it holds every one of `parts`.
    std::string WaitMapWith(const std::vector<std::string>& parts, int timeoutMs = kWaitMs) const {
        return WaitMap(
            [&parts](const std::string& map) {
                for (const auto& p : parts)
                    if (map.find(p) == std::string::npos) return false;
                return true;
            },
            timeoutMs);
    }

    // Every logged frame, both directions, in order.
    std::vector<SimFrame> Log() const {
        std::vector<SimFrame> frames;
        for (const auto& l : WholeLines(ReadBytes(logPath_))) {
            SimFrame f;
            f.t_ns = std::stoll(JsonField(l, "t_ns"));
            f.dir = JsonField(l, "dir");
            f.hex = JsonField(l, "hex");
            f.cmd = JsonField(l, "cmd");
            const std::string a = JsonField(l, "arg");
            f.hasArg = !a.empty();
            if (f.hasArg) f.arg = std::stoll(a);
            frames.push_back(f);
        }
        return frames;
    }

    // Frames the module received, in order.
    std::vector<SimFrame> Rx() const {
        std::vector<SimFrame> rx;
        for (auto& f : Log())
            if (f.dir == "rx") rx.push_back(f);
        return rx;
    }

    // Frames are logged as the simulator reads them, a moment (or, on a
    // loaded machine, a long while) after the writer wrote them: wait until
    // n frames are in.
    std::vector<SimFrame> WaitRx(size_t n, int timeoutMs = kWaitMs) const {
        return WaitFor([this] { return Rx(); }, [n](const std::vector<SimFrame>& rx) { return rx.size() >= n; },
                       timeoutMs);
    }

    // For "exactly these frames and nothing after them": once n frames are
    // in, whatever else comes within settleMs. A frame sent beyond the n
    // shows up here (it was written before the operation returned, so the
    // simulator reads it with or right after the nth).
    std::vector<SimFrame> RxSettled(size_t n, int settleMs = 200) const {
        WaitRx(n);
        return WaitRx(n + 1, settleMs);
    }

private:
    // The simulator stamps a frame when it reads it, and the driver tests
    // take that stamp for the time the frame was written: on a loaded
    // machine a simulator that waits for a CPU would read late and stamp
    // late. Where the system allows it (root, CAP_SYS_NICE or an
    // RLIMIT_RTPRIO), it runs ahead of everything else: real-time, else at
    // the highest nice level. It sleeps in poll() between frames, so it takes
    // next to no CPU. (The kernel still hands pty bytes on to the reader from
    // a worker of its own, which load can delay too.)
    // The simulator writes its log and map between reading frames; on a disk
    // that other processes keep busy a write may stall for milliseconds, and
    // a frame that comes meanwhile is read (and stamped) late. In memory
    // (/dev/shm, where there is one) no write waits for a disk.
    static std::string MemoryFolder() { return access("/dev/shm", W_OK | X_OK) == 0 ? "/dev/shm" : ""; }

    static void ScheduleAhead() {
        sched_param p{};
        p.sched_priority = 1;
        if (sched_setscheduler(0, SCHED_FIFO, &p) == 0) return;
        setpriority(PRIO_PROCESS, 0, -20);
    }

    TempDir dir_;
    std::string logPath_, mapPath_, path_;
    pid_t pid_ = -1;
    FILE* out_ = nullptr;
    int status_ = 0;
};

}  // namespace test_support
