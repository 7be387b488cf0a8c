#include "sound_chip.h"

#include <fcntl.h>
#include <math.h>
#include <stdio.h>
#include <unistd.h>

#include "chip_file.h"

namespace modsim {

namespace {

// How long a source may take to give its first sound at start.
constexpr int kOpenWaitMs = 15000;
// A recording whose end no captured sample has passed within this time (a
// source that stalled) is done with what it has.
constexpr int64_t kCaptureGraceNs = 5'000'000'000;

ChipGeometry GeometryOf(const Options& o) {
    ChipGeometry g;
    g.rate = o.rate;
    g.stepMs = o.stepMs;
    g.rows = o.Rows();
    return g;
}

}  // namespace

SoundChip::SoundChip(const Options& o)
    : opt_(o),
      geo_(GeometryOf(o)),
      recorder_(geo_, pow(10.0, o.auxGainDb / 20.0), static_cast<int64_t>(o.recordLateMs) * 1'000'000) {}

SoundChip::~SoundChip() {
    Finish();
    for (int fd : wake_)
        if (fd >= 0) close(fd);
}

bool SoundChip::Open(std::string* error) {
    recorder_.WithMemory([&](ChipMemory& m) { m.SetDeadRows(opt_.deadRows); });
    if (!opt_.chipPath.empty()) {
        std::string why;
        const int r = recorder_.WithMemory([&](ChipMemory& m) { return LoadChipFile(opt_.chipPath, m, &why); });
        if (r == kChipFileBad) {
            *error = "chip file " + opt_.chipPath + ": " + why;
            return false;
        }
    }
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
        *error = "pipe failed";
        return false;
    }
    if (opt_.auxIn.empty() && opt_.lineOut.empty()) return true;
    gst_init(nullptr, nullptr);
    std::string why;
    if (!opt_.lineOut.empty() && !player_.Open(opt_.lineOut, &why)) {
        *error = "cannot open --line-out " + opt_.lineOut + ": " + why;
        return false;
    }
    if (!opt_.auxIn.empty()) {
        const int wakeFd = wake_[1];
        auto feed = [this, wakeFd](int64_t firstNs, const float* s, size_t n) {
            if (recorder_.Feed(firstNs, s, n)) {
                const char c = 1;
                const ssize_t w = write(wakeFd, &c, 1);
                (void)w;  // a full pipe already wakes the loop
            }
        };
        if (!capture_.Start(opt_.auxIn, opt_.rate, feed, kOpenWaitMs, &why)) {
            *error = "cannot open --aux-in " + opt_.auxIn + ": " + why;
            return false;
        }
        capturing_ = true;
    }
    return true;
}

void SoundChip::OnCommand(const Command& c, int64_t tNs) {
    const bool record = c.name == "record" || c.name == "record_aux";
    const bool play = c.name == "play" || c.name == "pulse_play";
    if (c.name == "end_address") {
        endAddress_ = c.arg;
        return;
    }
    if (!record && !play && c.name != "release") return;
    player_.Stop();
    if (record && capturing_) {
        const std::optional<int32_t> end = opt_.module == Module::Second ? endAddress_ : std::nullopt;
        recorder_.Start(c.arg, recorder_.WithMemory([&](ChipMemory& m) { return m.RecordLimit(c.arg, end); }), tNs);
    } else if (capturing_) {
        recorder_.Stop(tNs);
    }
    if (play && !opt_.lineOut.empty()) {
        const std::optional<int32_t> end = opt_.module == Module::Second ? endAddress_ : std::nullopt;
        player_.Play(recorder_.PlaySamples(c.arg, end), opt_.rate);
    }
}

void SoundChip::AddFds(std::vector<pollfd>& fds) const {
    fds.push_back({wake_[0], POLLIN, 0});
    for (int fd : {capture_.BusFd(), player_.BusFd()})
        if (fd >= 0) fds.push_back({fd, POLLIN, 0});
}

int64_t SoundChip::DeadlineNs() const { return recorder_.NextDeadlineNs(kCaptureGraceNs); }

void SoundChip::Service(int64_t nowNs) {
    char buf[64];
    while (read(wake_[0], buf, sizeof buf) > 0) {}
    capture_.DrainBus();
    player_.DrainBus();
    recorder_.FinishOverdue(nowNs, kCaptureGraceNs);
    if (recorder_.TakeChanged()) Save();
}

void SoundChip::Save() {
    if (opt_.chipPath.empty()) return;
    std::string error;
    if (SaveChipFile(opt_.chipPath, recorder_.Snapshot(), &error) != kChipFileOk)
        fprintf(stderr, "sonmira-modsim: chip file %s: %s\n", opt_.chipPath.c_str(), error.c_str());
}

void SoundChip::Finish() {
    player_.Stop();
    capture_.Stop();
    capturing_ = false;
    recorder_.FinishAll();
    if (recorder_.TakeChanged()) Save();
}

}  // namespace modsim
