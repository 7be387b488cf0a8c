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

#include "json_lines.h"
#include "load_margins.h"
#include "test_files.h"

namespace test_support {

int64_t MonotonicNs();

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

// Whether the chip map `map` (its text) is JSON whose list `list` ("records"
// or "plays") has an entry with every key and value of `entry`, a JSON object
// (an entry's t_ns fields can be left out where they are not known).
bool MapHolds(const std::string& map, const std::string& list, const nlohmann::json& entry);

// Hex of the frames, one per element.
std::vector<std::string> Hexes(const std::vector<SimFrame>& frames);

class ModSimProcess {
public:
    // exe: the simulator; options: what it is told beside --log and --map
    // (module, faults, link).
    ModSimProcess(const std::string& exe, const std::vector<std::string>& options);
    ~ModSimProcess();
    ModSimProcess(const ModSimProcess&) = delete;
    ModSimProcess& operator=(const ModSimProcess&) = delete;

    // Ends the simulator (SIGTERM); returns its stdout after the path line.
    std::string Stop();

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
    // The chip map once its list `list` ("records" or "plays") holds each of
    // `entries` (see MapHolds).
    std::string WaitMapHolding(const std::string& list, const std::vector<nlohmann::json>& entries,
                               int timeoutMs = kWaitMs) const;

    // Every logged frame, both directions, in order.
    std::vector<SimFrame> Log() const;

    // Frames the module received, in order.
    std::vector<SimFrame> Rx() const;

    // Frames are logged as the simulator reads them, a moment (or, on a
    // loaded machine, a long while) after the writer wrote them: wait until
    // n frames are in.
    std::vector<SimFrame> WaitRx(size_t n, int timeoutMs = kWaitMs) const;

    // For "exactly these frames and nothing after them": once n frames are
    // in, whatever else comes within settleMs. A frame sent beyond the n
    // shows up here (it was written before the operation returned, so the
    // simulator reads it with or right after the nth).
    std::vector<SimFrame> RxSettled(size_t n, int settleMs = 200) const;

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
    static std::string MemoryFolder();
    static void ScheduleAhead();

    TempDir dir_;
    std::string logPath_, mapPath_, path_;
    pid_t pid_ = -1;
    FILE* out_ = nullptr;
    int status_ = 0;
};

}  // namespace test_support
