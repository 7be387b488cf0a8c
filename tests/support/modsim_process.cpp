#include "modsim_process.h"

#include <nlohmann/json.hpp>
#include <stdexcept>

namespace test_support {

int64_t MonotonicNs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

bool MapHolds(const std::string& map, const std::string& list, const nlohmann::json& entry) {
    // The simulator replaces the file whole: a read never sees half a map.
    const nlohmann::json j = nlohmann::json::parse(map, nullptr, false);
    if (!j.is_object() || !j.contains(list) || !j.at(list).is_array()) return false;
    for (const auto& e : j.at(list)) {
        bool all = e.is_object();
        for (auto kv = entry.begin(); all && kv != entry.end(); ++kv)
            all = e.contains(kv.key()) && e.at(kv.key()) == *kv;
        if (all) return true;
    }
    return false;
}

std::vector<std::string> Hexes(const std::vector<SimFrame>& frames) {
    std::vector<std::string> h;
    for (const auto& f : frames) h.push_back(f.hex);
    return h;
}

ModSimProcess::ModSimProcess(const std::string& exe, const std::vector<std::string>& options)
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

ModSimProcess::~ModSimProcess() {
    Stop();
    if (out_) fclose(out_);
}

std::string ModSimProcess::Stop() {
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

std::string ModSimProcess::WaitMapHolding(const std::string& list, const std::vector<nlohmann::json>& entries,
                                          int timeoutMs) const {
    return WaitMap(
        [&](const std::string& map) {
            for (const auto& e : entries)
                if (!MapHolds(map, list, e)) return false;
            return true;
        },
        timeoutMs);
}

std::vector<SimFrame> ModSimProcess::Log() const {
    std::vector<SimFrame> frames;
    for (const auto& l : WholeLines(ReadBytes(logPath_))) {
        const nlohmann::json j = JsonLine(l);
        SimFrame f;
        f.t_ns = j.at("t_ns").get<int64_t>();
        f.dir = j.at("dir").get<std::string>();
        f.hex = j.at("hex").get<std::string>();
        f.cmd = j.at("cmd").get<std::string>();
        f.hasArg = j.contains("arg");
        if (f.hasArg) f.arg = j.at("arg").get<int64_t>();
        frames.push_back(f);
    }
    return frames;
}

std::vector<SimFrame> ModSimProcess::Rx() const {
    std::vector<SimFrame> rx;
    for (auto& f : Log())
        if (f.dir == "rx") rx.push_back(f);
    return rx;
}

std::vector<SimFrame> ModSimProcess::WaitRx(size_t n, int timeoutMs) const {
    return WaitFor([this] { return Rx(); }, [n](const std::vector<SimFrame>& rx) { return rx.size() >= n; }, timeoutMs);
}

std::vector<SimFrame> ModSimProcess::RxSettled(size_t n, int settleMs) const {
    WaitRx(n);
    return WaitRx(n + 1, settleMs);
}

std::string ModSimProcess::MemoryFolder() { return access("/dev/shm", W_OK | X_OK) == 0 ? "/dev/shm" : ""; }

void ModSimProcess::ScheduleAhead() {
    sched_param p{};
    p.sched_priority = 1;
    if (sched_setscheduler(0, SCHED_FIFO, &p) == 0) return;
    setpriority(PRIO_PROCESS, 0, -20);
}

}  // namespace test_support
