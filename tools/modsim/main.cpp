// sonmira-modsim: a programmer module on a pseudo-terminal, for tests and for
// trying the program without hardware.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "chip_map.h"
#include "modsim_options.h"
#include "modsim_protocol.h"
#include "sonmira_version.h"
#include "sound_chip.h"

using namespace modsim;

namespace {

// A frame whose rest does not arrive within this time is given up; at 9600
// baud a whole frame takes about 5 ms.
constexpr int64_t kPartialFrameNs = 100'000'000;

int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char c = 1;
    ssize_t r = write(g_signalPipe[1], &c, 1);
    (void)r;
}

int64_t NowNs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

struct PendingReply {
    int64_t dueNs;
    std::vector<uint8_t> bytes;
    std::string cmd;
};

class Simulator {
public:
    // chip: the chip that keeps sound, or nullptr when frames are only logged and mapped.
    Simulator(const Options& o, SoundChip* chip)
        : opt_(o), chip_(chip), map_(o.module), splitter_(FrameLength(o.module)) {}

    bool Open(std::string& slavePath);
    int Run();
    void Finish();

private:
    void OnBytes(const uint8_t* data, size_t n, int64_t t);
    void OnUnit(const FrameSplitter::Unit& u, int64_t t);
    void SendDue(int64_t now);
    void Log(int64_t t, const char* dir, const std::vector<uint8_t>& bytes, const std::string& cmd,
             const Command* withArg);
    void WriteMap();
    bool FaultActive() const;
    void HangUp();

    Options opt_;
    SoundChip* chip_;
    ChipMap map_;
    FrameSplitter splitter_;
    int master_ = -1;
    int slave_ = -1;  // held open so the terminal lives while no client has it open
    FILE* log_ = nullptr;
    int64_t frames_ = 0;
    int64_t partialSinceNs_ = 0;
    bool hungUp_ = false;
    bool linkMade_ = false;
    std::deque<PendingReply> pending_;
};

bool Simulator::Open(std::string& slavePath) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        perror("sonmira-modsim: posix_openpt");
        return false;
    }
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    char name[256];
    if (ptsname_r(master_, name, sizeof name) != 0) {
        perror("sonmira-modsim: ptsname");
        return false;
    }
    slavePath = name;
    slave_ = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave_ < 0) {
        perror("sonmira-modsim: open slave");
        return false;
    }
    // Raw line: no echo of our replies back to us, no byte translation.
    termios tio;
    if (tcgetattr(slave_, &tio) == 0) {
        cfmakeraw(&tio);
        cfsetispeed(&tio, B9600);
        cfsetospeed(&tio, B9600);
        tcsetattr(slave_, TCSANOW, &tio);
    }
    if (!opt_.link.empty()) {
        struct stat st;
        if (lstat(opt_.link.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) unlink(opt_.link.c_str());
        if (symlink(name, opt_.link.c_str()) != 0) {
            fprintf(stderr, "sonmira-modsim: cannot make link %s: %s\n", opt_.link.c_str(), strerror(errno));
            return false;
        }
        linkMade_ = true;
    }
    if (!opt_.logPath.empty()) {
        log_ = fopen(opt_.logPath.c_str(), "w");
        if (!log_) {
            fprintf(stderr, "sonmira-modsim: cannot write log %s: %s\n", opt_.logPath.c_str(), strerror(errno));
            if (linkMade_) unlink(opt_.link.c_str());  // no link left to a terminal that is going away
            return false;
        }
    }
    WriteMap();
    return true;
}

bool Simulator::FaultActive() const {
    if (frames_ <= opt_.faultAfter) return false;
    return opt_.faultCount < 0 || frames_ <= opt_.faultAfter + opt_.faultCount;
}

void Simulator::Log(int64_t t, const char* dir, const std::vector<uint8_t>& bytes, const std::string& cmd,
                    const Command* withArg) {
    if (!log_) return;
    nlohmann::ordered_json line = {{"t_ns", t}, {"dir", dir}, {"hex", Hex(bytes)}, {"cmd", cmd}};
    if (withArg) line["arg"] = withArg->arg;
    fputs((line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n").c_str(), log_);
    fflush(log_);
}

void Simulator::WriteMap() {
    if (opt_.mapPath.empty()) return;
    const std::string tmp = opt_.mapPath + ".tmp";
    FILE* f = fopen(tmp.c_str(), "w");
    if (!f) return;
    const std::string json = map_.ToJson();
    const bool ok = fwrite(json.data(), 1, json.size(), f) == json.size();
    if (fclose(f) == 0 && ok)
        rename(tmp.c_str(), opt_.mapPath.c_str());
    else
        unlink(tmp.c_str());
}

void Simulator::OnUnit(const FrameSplitter::Unit& u, int64_t t) {
    if (!u.good) {
        Log(t, "rx", u.bytes, "bad_frame", nullptr);
        return;
    }
    ++frames_;
    const Command c = Decode(opt_.module, u.bytes);
    Log(t, "rx", u.bytes, c.name, &c);
    if (map_.Apply(c, t)) WriteMap();
    if (chip_) chip_->OnCommand(c, t);
    if (opt_.hangupAfter > 0 && frames_ >= opt_.hangupAfter) {
        HangUp();
        return;
    }
    if (!c.wantsReply) return;
    const bool fault = FaultActive();
    if (fault && opt_.silent) return;
    ReplyKind kind = ReplyKind::Good;
    if (fault && opt_.wrongReply)
        kind = ReplyKind::Wrong;
    else if (fault && opt_.busy)
        kind = ReplyKind::Busy;
    const int64_t delayNs = fault ? static_cast<int64_t>(opt_.delayMs) * 1'000'000 : 0;
    PendingReply reply{t + delayNs, Reply(opt_.module, c, kind), c.name};
    auto at = pending_.end();
    while (at != pending_.begin() && (at - 1)->dueNs > reply.dueNs) --at;
    pending_.insert(at, std::move(reply));
}

void Simulator::OnBytes(const uint8_t* data, size_t n, int64_t t) {
    std::vector<FrameSplitter::Unit> units;
    splitter_.Feed(data, n, units);
    for (const auto& u : units) {
        if (hungUp_) return;
        OnUnit(u, t);
    }
    if (splitter_.HasPartial() && partialSinceNs_ == 0) partialSinceNs_ = t;
    if (!splitter_.HasPartial()) partialSinceNs_ = 0;
}

void Simulator::SendDue(int64_t now) {
    while (!hungUp_ && !pending_.empty() && pending_.front().dueNs <= now) {
        const PendingReply& r = pending_.front();
        const ssize_t w = write(master_, r.bytes.data(), r.bytes.size());
        if (w == static_cast<ssize_t>(r.bytes.size())) Log(NowNs(), "tx", r.bytes, r.cmd, nullptr);
        pending_.pop_front();
    }
}

void Simulator::HangUp() {
    close(master_);
    close(slave_);
    master_ = slave_ = -1;
    pending_.clear();
    hungUp_ = true;
}

int Simulator::Run() {
    uint8_t buf[512];
    while (!hungUp_) {
        const int64_t now = NowNs();
        int64_t waitNs = -1;
        auto consider = [&](int64_t left) {
            if (left < 0) left = 0;
            waitNs = waitNs < 0 ? left : std::min(waitNs, left);
        };
        if (!pending_.empty()) consider(pending_.front().dueNs - now);
        if (partialSinceNs_) consider(partialSinceNs_ + kPartialFrameNs - now);
        if (chip_ && chip_->DeadlineNs() != INT64_MAX) consider(chip_->DeadlineNs() - now);
        const int timeoutMs = waitNs < 0 ? -1 : static_cast<int>((waitNs + 999'999) / 1'000'000);

        std::vector<pollfd> fds = {{master_, POLLIN, 0}, {g_signalPipe[0], POLLIN, 0}};
        if (chip_) chip_->AddFds(fds);
        const int r = poll(fds.data(), fds.size(), timeoutMs);
        if (r < 0 && errno != EINTR) {
            perror("sonmira-modsim: poll");
            return 1;
        }
        if (r > 0 && (fds[1].revents & POLLIN)) break;
        if (r > 0 && (fds[0].revents & POLLIN)) {
            const ssize_t n = read(master_, buf, sizeof buf);
            const int64_t t = NowNs();
            if (n > 0) OnBytes(buf, static_cast<size_t>(n), t);
        } else if (r > 0 && (fds[0].revents & (POLLHUP | POLLERR))) {
            // Only when no slave is open, which our own slave fd prevents; don't spin.
            usleep(10'000);
        }
        const int64_t after = NowNs();
        if (partialSinceNs_ && after - partialSinceNs_ >= kPartialFrameNs) {
            FrameSplitter::Unit u;
            if (splitter_.TakePartial(u)) Log(after, "rx", u.bytes, "bad_frame", nullptr);
            partialSinceNs_ = 0;
        }
        SendDue(after);
        if (chip_) chip_->Service(after);
    }
    return 0;
}

void Simulator::Finish() {
    if (!hungUp_) {
        close(master_);
        close(slave_);
    }
    if (log_) fclose(log_);
    if (linkMade_) unlink(opt_.link.c_str());
    if (chip_) chip_->Finish();
    WriteMap();
    const std::string json = map_.ToJson();
    fputs(json.c_str(), stdout);
    fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    Options opt;
    const std::string err = ParseOptions(argc, argv, opt);
    if (!err.empty()) {
        fprintf(stderr, "sonmira-modsim: %s\n%s", err.c_str(), UsageText());
        return 2;
    }
    if (opt.help) {
        fputs(UsageText(), stdout);
        return 0;
    }
    if (opt.version) {
        fputs("sonmira-modsim " SONMIRA_VERSION "\n", stdout);
        return 0;
    }
    if (pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        perror("sonmira-modsim: pipe");
        return 1;
    }
    struct sigaction sa;
    memset(&sa, 0, sizeof sa);
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);

    std::unique_ptr<SoundChip> chip;
    if (SoundChip::Wanted(opt)) {
        chip = std::make_unique<SoundChip>(opt);
        std::string error;
        if (!chip->Open(&error)) {
            fprintf(stderr, "sonmira-modsim: %s\n", error.c_str());
            return 1;
        }
    }
    Simulator sim(opt, chip.get());
    std::string slavePath;
    if (!sim.Open(slavePath)) return 1;
    printf("%s\n", slavePath.c_str());
    fflush(stdout);
    const int rc = sim.Run();
    sim.Finish();
    return rc;
}
