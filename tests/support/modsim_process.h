// The real sonmira-modsim as a child process for a test: started on a fresh
// pseudo-terminal with its frame log and chip map in a temporary folder, ended
// with SIGTERM. The driver tests and the run tests both drive it this way.
#pragma once

#include <signal.h>
#include <stdio.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

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
    ModSimProcess(const std::string& exe, const std::vector<std::string>& options) : dir_("sonmira-modsim") {
        logPath_ = dir_ / "frames.log";
        mapPath_ = dir_ / "map.json";
        std::vector<std::string> args = {exe, "--log", logPath_, "--map", mapPath_};
        args.insert(args.end(), options.begin(), options.end());
        int out[2];
        if (pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
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
    std::string Map() const { return ReadBytes(mapPath_); }

    // Every logged frame, both directions, in order.
    std::vector<SimFrame> Log() const {
        std::vector<SimFrame> frames;
        for (const auto& l : Lines(ReadBytes(logPath_))) {
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

    // Frames are logged as the simulator reads them, a moment after the
    // writer wrote them: wait until n frames are in.
    std::vector<SimFrame> WaitRx(size_t n, int timeoutMs = 3000) const {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        std::vector<SimFrame> rx = Rx();
        while (rx.size() < n && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            rx = Rx();
        }
        return rx;
    }

private:
    TempDir dir_;
    std::string logPath_, mapPath_, path_;
    pid_t pid_ = -1;
    FILE* out_ = nullptr;
    int status_ = 0;
};

}  // namespace test_support
