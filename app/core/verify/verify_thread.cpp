#include "verify/verify_thread.h"

#include "messages/messages.h"
#include "verify/marked_segments.h"

namespace verify {

namespace {

class ViewProgress : public IVerifyProgress {
public:
    explicit ViewProgress(runs::IRunView& view) : view_(view) {}
    void SegmentStarted(const VerifySegment& s, int index, int) override { view_.SetStatus(s.name, index); }
    void SegmentDone(const SegmentOutcome& o, int index, int) override { view_.SetStatus(o.segment.name, index + 1); }

private:
    runs::IRunView& view_;
};

}  // namespace

runs::CommandEnd VerifyCommand(const list::ProgrammingList& list, const files::ChipProfile& chip,
                               binding::DriverBinding* drivers, const std::string& input, double minSimilarity,
                               messages::IUserPrompt& ui, VerifyRun* run) {
    std::vector<VerifySegment> segments;
    if (!MarkedSegments(list, chip, &segments) || segments.empty()) {
        messages::ShowMessage(ui, messages::MsgId::NothingToVerify);
        return runs::CommandEnd::Stopped;
    }
    {
        binding::DriverLease lease;
        runs::CommandEnd end;
        if (!runs::TakeDriver(drivers, ui, &lease, &end)) return end;
    }
    std::string why;
    std::shared_ptr<audio::ISoundCapture> capture = audio::OpenSoundCapture(input, kCompareRate, &why);
    if (!capture) {
        messages::ShowMessageWithReason(ui, messages::MsgId::VerifyInputMissing, input, why);
        return runs::CommandEnd::Stopped;
    }
    run->capture = capture;
    run->job.segments = std::move(segments);
    run->job.chipCode = chip.code;
    run->job.drivers = drivers;
    run->job.capture = capture.get();
    run->job.settings.rate = kCompareRate;
    run->job.settings.stepMs = chip.step;
    run->job.settings.minSimilarity = minSimilarity;
    return runs::CommandEnd::OpenDialog;
}

bool StartVerifyThread(runs::RunDialog& dialog, VerifyRun run, runs::IRunView& view,
                       std::function<void(VerifyEnd, std::vector<SegmentOutcome>)> on_end) {
    return dialog.Show([&dialog, &view, run = std::move(run), on_end = std::move(on_end)]() {
        view.SetCaption(kVerifyCaption);
        view.SetRange(static_cast<int32_t>(run.job.segments.size()));
        ViewProgress progress(view);
        std::vector<SegmentOutcome> outcomes;
        const VerifyEnd end = VerifyChip(
            run.job, progress, [&dialog] { return !dialog.Running(); }, &outcomes);
        view.CloseDialog();
        if (on_end) on_end(end, std::move(outcomes));
    });
}

}  // namespace verify
