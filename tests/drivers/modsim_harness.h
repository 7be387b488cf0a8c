// Runs the real sonmira-modsim on a pseudo-terminal for a test and reads what
// it logged. Header-only so the core's binding tests can use it too.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace modsim_test {

struct LogLine {
    int64_t tNs = 0;
    std::string dir, hex, cmd;
    bool hasArg = false;
    int64_t arg = 0;
};

inline std::string Field(const std::string& line, const std::string& key) {
    const std::string k = "\"" + key + "\":";
    const size_t at = line.find(k);
    if (at == std::string::npos) return "";
    size_t b = at + k.size();
    if (line[b] == '"') {
        const size_t e = line.find('"', b + 1);
        return line.substr(b + 1, e - b - 1);
    }
    size_t e = line.find_first_of(",}", b);
    return line.substr(b, e - b);
}

inline int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

inline std::string TempDir() {
    char tmpl[] = "/tmp/modsim-test-XXXXXX";
    const char* d = mkdtemp(tmpl);
    return d ? d : "/tmp";
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class ModSim {
public:
    // args: extra command-line options (module, faults). The log and map go
    // to a fresh temporary folder.
    explicit ModSim(std::vector<std::string> args) : dir_(TempDir()) {
        logPath_ = dir_ + "/frames.log";
        mapPath_ = dir_ + "/map.json";
        args.insert(args.begin(), {SONMIRA_MODSIM, "--log", logPath_, "--map", mapPath_});
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
        char line[512] = {0};
        if (out_ && fgets(line, sizeof line, out_)) {
            path_ = line;
            while (!path_.empty() && path_.back() == '\n') path_.pop_back();
        }
    }

    ~ModSim() {
        Stop();
        if (out_) fclose(out_);
        unlink(logPath_.c_str());
        unlink(mapPath_.c_str());
        rmdir(dir_.c_str());
    }

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

    int Status() const { return status_; }
    const std::string& Path() const { return path_; }
    const std::string& LogPath() const { return logPath_; }
    const std::string& MapPath() const { return mapPath_; }
    std::string Map() const { return ReadFile(mapPath_); }

    std::vector<LogLine> Log() const {
        std::vector<LogLine> lines;
        std::istringstream in(ReadFile(logPath_));
        std::string l;
        while (std::getline(in, l)) {
            LogLine x;
            x.tNs = std::stoll(Field(l, "t_ns"));
            x.dir = Field(l, "dir");
            x.hex = Field(l, "hex");
            x.cmd = Field(l, "cmd");
            const std::string a = Field(l, "arg");
            x.hasArg = !a.empty();
            if (x.hasArg) x.arg = std::stoll(a);
            lines.push_back(x);
        }
        return lines;
    }

    std::vector<LogLine> Rx() const {
        std::vector<LogLine> rx;
        for (auto& l : Log())
            if (l.dir == "rx") rx.push_back(l);
        return rx;
    }

    // Frames are logged as the simulator reads them, a moment after the
    // driver wrote them: wait until n frames are in.
    std::vector<LogLine> WaitRx(size_t n, int timeoutMs = 3000) const {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        std::vector<LogLine> rx = Rx();
        while (rx.size() < n && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            rx = Rx();
        }
        return rx;
    }

private:
    std::string dir_, logPath_, mapPath_, path_;
    pid_t pid_ = -1;
    FILE* out_ = nullptr;
    int status_ = 0;
};

// Hex of received frames, one per element.
inline std::vector<std::string> Hexes(const std::vector<LogLine>& lines) {
    std::vector<std::string> h;
    for (auto& l : lines) h.push_back(l.hex);
    return h;
}

// Milliseconds between two logged frames.
inline double GapMs(const LogLine& a, const LogLine& b) { return (b.tNs - a.tNs) / 1e6; }

// How many of this process's descriptors are open on the terminal at `path`.
inline int OpenDescriptorsOn(const std::string& path) {
    int n = 0;
    DIR* d = opendir("/proc/self/fd");
    if (!d) return -1;
    while (dirent* e = readdir(d)) {
        char target[PATH_MAX];
        const std::string link = std::string("/proc/self/fd/") + e->d_name;
        const ssize_t len = readlink(link.c_str(), target, sizeof target - 1);
        if (len <= 0) continue;
        target[len] = 0;
        if (path == target) ++n;
    }
    closedir(d);
    return n;
}

// Points COM1..COM4 at the given devices; an empty string means "no device".
inline void SetPorts(const std::string& c1, const std::string& c2 = "", const std::string& c3 = "",
                     const std::string& c4 = "") {
    setenv("SERTRA_COM1", c1.c_str(), 1);
    setenv("SERTRA_COM2", c2.c_str(), 1);
    setenv("SERTRA_COM3", c3.c_str(), 1);
    setenv("SERTRA_COM4", c4.c_str(), 1);
}

}  // namespace modsim_test

#include <gtest/gtest.h>

namespace modsim_test {

// A fixed pause on the wire, seen from the simulator's time stamps. Generous:
// the machine is loaded and the tests run under sanitizers. The lower bound
// allows for the simulator reading the earlier frame a little late.
inline ::testing::AssertionResult PauseNear(double gapMs, double pauseMs) {
    if (gapMs >= pauseMs - 4 && gapMs <= pauseMs + 60) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "gap " << gapMs << " ms, expected a pause of " << pauseMs << " ms";
}

// No pause between two frames.
inline ::testing::AssertionResult NoPause(double gapMs) {
    if (gapMs <= 60) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "gap " << gapMs << " ms, expected none";
}

}  // namespace modsim_test
