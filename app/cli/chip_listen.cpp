#include "chip_listen.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

#include "commands/project_commands.h"
#include "printable.h"
#include "progress_line.h"
#include "run_start.h"
#include "run_terminal.h"
#include "verify/marked_segments.h"

namespace cli {

namespace {

class PrintedProgress : public verify::IVerifyProgress {
public:
    explicit PrintedProgress(bool sayEachStart) : sayEachStart_(sayEachStart) {}
    void SegmentStarted(const verify::VerifySegment& s, int, int) override {
        if (!sayEachStart_) return;
        std::printf("%s\n", VerifyingLine(s.row, Printable(s.name)).c_str());
        std::fflush(stdout);
    }
    void SegmentDone(const verify::SegmentOutcome& o, int, int) override {
        std::printf("%s\n", VerifyLine(o).c_str());
        std::fflush(stdout);
    }

private:
    const bool sayEachStart_;
};

// "0.97", "+41", "-3.2": `decimals` after the point, a sign when asked.
std::string Fixed(double value, int decimals, bool sign = false) {
    char text[64];
    std::snprintf(text, sizeof text, sign ? "%+.*f" : "%.*f", decimals, value);
    return text;
}

}  // namespace

std::unique_ptr<audio::ISoundCapture> OpenCaptureOrSay(const char* command, const std::string& input) {
    std::string error;
    auto capture = audio::OpenSoundCapture(input, verify::kCompareRate, &error);
    if (!capture)
        std::fprintf(stderr, "sonmira-cli %s: sound input '%s': %s; nothing sent\n", command, Printable(input).c_str(),
                     Printable(error).c_str());
    return capture;
}

std::string VerifyLine(const verify::SegmentOutcome& o) {
    const verify::SegmentReport& r = o.report;
    std::string line = "row " + std::to_string(o.segment.row) + " " + Printable(o.segment.name);
    if (o.heard) {
        line += "  similarity " + Fixed(r.similarity, 2);
        line += "  delay " + Fixed(r.delayMs, 0, true) + " ms";
        line += "  level " + Fixed(r.levelDb, 1) + " dB";
        line += "  head " + std::to_string(r.headMissingMs) + " ms";
        line += "  tail " + std::to_string(r.tailMissingMs) + " ms";
    }
    line += r.ok ? "  ok" : "  FAILED: " + Printable(r.reason);
    return line;
}

VerifyOutcome VerifyChipNow(const char* command, commands::Workspace& w, audio::ISoundCapture& capture,
                            double minSimilarity, bool sayEachStart) {
    VerifyOutcome out;
    verify::VerifyJob job;
    if (!verify::MarkedSegments(w.list, w.chip, &job.segments)) {
        out.message = "a cell of the list is not a number";
        std::fprintf(stderr, "sonmira-cli %s: %s; nothing sent\n", command, out.message.c_str());
        out.messagePrinted = true;
        return out;
    }
    if (job.segments.empty()) {
        out.message = "no row of the list is marked for programming: nothing to verify";
        std::fprintf(stderr, "sonmira-cli %s: %s\n", command, out.message.c_str());
        out.messagePrinted = true;
        return out;
    }
    job.chipCode = w.chip.code;
    job.drivers = &w.drivers;
    job.capture = &capture;
    job.settings.rate = verify::kCompareRate;
    job.settings.stepMs = w.chip.step;
    job.settings.minSimilarity = minSimilarity;

    PrintedProgress progress(sayEachStart);
    std::atomic<bool> cancel{false};
    verify::VerifyEnd end = verify::VerifyEnd::Finished;
    CatchInterrupt();
    std::atomic<bool> done{false};
    std::thread worker([&] {
        end = verify::VerifyChip(
            job, progress, [&cancel] { return cancel.load(); }, &out.outcomes);
        done = true;
    });
    while (!done) {
        if (Interrupted()) cancel = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    worker.join();
    ReleaseInterrupt();

    out.total = static_cast<int>(job.segments.size());
    for (const auto& o : out.outcomes) out.verified += o.report.ok ? 1 : 0;
    switch (end) {
        case verify::VerifyEnd::NoDriver:
            out.rc = NoDriverBound(command, w);
            out.message = "no driver library is bound for programmer type '" + commands::ProgrammerName(w) + "'";
            out.messagePrinted = true;
            return out;
        case verify::VerifyEnd::Cancelled:
            std::printf("cancelled\n");
            out.rc = 130;
            out.message = "cancelled";
            return out;
        case verify::VerifyEnd::InputFailed:
        case verify::VerifyEnd::Finished: break;
    }
    std::printf("%d of %d segments verified\n", out.verified, out.total);
    std::fflush(stdout);
    if (out.verified == out.total && end == verify::VerifyEnd::Finished) {
        out.rc = 0;
        return out;
    }
    // The first failure names the chip's fault; the count says how far it goes.
    const int failed = out.total - out.verified;
    for (const auto& o : out.outcomes)
        if (!o.report.ok) {
            out.message =
                "row " + std::to_string(o.segment.row) + " (" + o.segment.name + ") did not verify: " + o.report.reason;
            if (failed > 1) out.message += " (" + std::to_string(failed - 1) + " more segments did not verify)";
            break;
        }
    if (out.message.empty()) out.message = "the sound input failed";
    return out;
}

}  // namespace cli
