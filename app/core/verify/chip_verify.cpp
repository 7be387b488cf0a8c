#include "verify/chip_verify.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "audio/audio_result.h"
#include "messages/messages.h"

namespace verify {
namespace {

struct Decoded {
    int code = audio::kAudioOk;
    std::string error;
    std::vector<float> samples;
};

// Decodes the files one after the other on a thread of its own, so that the
// next file is ready when its segment's turn comes.
class DecodeAhead {
public:
    DecodeAhead(const std::vector<VerifySegment>& segments, int rate) : futures_(segments.size()) {
        std::vector<std::promise<Decoded>> promises(segments.size());
        for (size_t i = 0; i < segments.size(); ++i) futures_[i] = promises[i].get_future();
        worker_ = std::thread([this, segments, rate, promises = std::move(promises)]() mutable {
            for (size_t i = 0; i < segments.size(); ++i) {
                Decoded d;
                if (!stop_)
                    d.code = audio::DecodeFileSamples(segments[i].path, rate, &d.samples, &d.error);
                else
                    d.code = audio::kAudioFailed;
                promises[i].set_value(std::move(d));
            }
        });
    }
    ~DecodeAhead() {
        stop_ = true;
        worker_.join();
    }
    Decoded Take(size_t i) { return futures_[i].get(); }

private:
    std::vector<std::future<Decoded>> futures_;
    std::atomic<bool> stop_{false};
    std::thread worker_;
};

// Sleeps until `ms` have passed or the run is cancelled; false when cancelled.
bool Wait(int ms, const std::function<bool()>& cancelled) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!cancelled()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= until) return true;
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(until - now, std::chrono::milliseconds(5)));
    }
    return false;
}

}  // namespace

VerifyEnd VerifyChip(const VerifyJob& job, IVerifyProgress& progress, const std::function<bool()>& cancelled,
                     std::vector<SegmentOutcome>* out) {
    out->clear();
    binding::DriverLease lease = job.drivers ? job.drivers->Acquire() : binding::DriverLease();
    IDevInter* driver = lease.driver();
    if (!driver || !job.capture) return VerifyEnd::NoDriver;
    const int count = static_cast<int>(job.segments.size());
    DecodeAhead files(job.segments, job.settings.rate);
    const int32_t begun = driver->BeginPlayback(job.chipCode);
    VerifyEnd end = VerifyEnd::Finished;
    for (int i = 0; i < count && end == VerifyEnd::Finished; ++i) {
        if (cancelled()) {
            end = VerifyEnd::Cancelled;
            break;
        }
        const VerifySegment& s = job.segments[static_cast<size_t>(i)];
        progress.SegmentStarted(s, i, count);
        SegmentOutcome o{s, {}, false};
        Decoded file = files.Take(static_cast<size_t>(i));
        if (file.code != audio::kAudioOk) {
            o.report = FailedReport("the file does not decode: " + file.error);
        } else if (s.belowLowest) {
            o.report = FailedReport("not played: it starts below the chip's lowest address");
        } else if (begun != kDevOk) {
            o.report = FailedReport("not played: " + messages::DriverResultMessage(begun));
        } else {
            // What the chip holds of a segment ends with its last address.
            const size_t room =
                static_cast<size_t>(int64_t(s.end - s.start + 1) * job.settings.stepMs * job.settings.rate / 1000);
            if (file.samples.size() > room) file.samples.resize(room);
            job.capture->Start();
            const int32_t played = driver->PlaySegment(s.start, s.end);
            const int listenMs =
                static_cast<int>(file.samples.size() * 1000 / size_t(job.settings.rate)) + kListenAfterMs;
            const bool waited = played == kDevOk && Wait(listenMs, cancelled);
            std::vector<float> heard;
            std::string error;
            const int stopped = job.capture->Stop(&heard, &error);
            if (played != kDevOk) {
                o.report = FailedReport("not played: " + messages::DriverResultMessage(played));
            } else if (!waited) {
                end = VerifyEnd::Cancelled;
                break;
            } else if (stopped != audio::kAudioOk) {
                o.report = FailedReport(error);
                end = VerifyEnd::InputFailed;
            } else {
                o.report = CompareSegment(file.samples, heard, job.settings);
                o.heard = true;
            }
        }
        out->push_back(o);
        progress.SegmentDone(o, i, count);
    }
    driver->EndPlayback();
    return end;
}

}  // namespace verify
