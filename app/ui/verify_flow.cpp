#include "verify_flow.h"

#include "audio/sound_capture.h"
#include "dialogs/verify_progress_dialog.h"
#include "dialogs/verify_results_window.h"
#include "dialogs/verify_settings_dialog.h"
#include "files/verify_config.h"
#include "verify/marked_segments.h"
#include "verify/verify_thread.h"

VerifyFlow::VerifyFlow(QWidget* parent, messages::IUserPrompt& ui) : parent_(parent), ui_(ui) {}

VerifyFlow::~VerifyFlow() = default;

bool VerifyFlow::Settings(commands::Workspace& w) {
    if (!w.config) return false;
    if (!settings_) settings_ = std::make_unique<TVerifySettingsDialog>(std::vector<audio::SoundInputInfo>{}, parent_);
    // Listed anew each time: an adapter may have been plugged in since.
    settings_->SetInputs(audio::ListSoundInputs());
    files::VerifySettings s = files::ReadVerifySettings(*w.config);
    VerifyChoice choice{s.input, s.minSimilarity, s.afterDownload};
    if (!settings_->Run(&choice)) return false;
    files::WriteVerifySettings(*w.config, {choice.input, choice.minSimilarity, choice.afterDownload});
    return true;
}

bool VerifyFlow::DueAfterRun(const commands::Workspace& w, const runs::RecSummary& run, bool overflow) const {
    if (!w.config || overflow || !files::ReadVerifySettings(*w.config).afterDownload) return false;
    std::vector<verify::VerifySegment> marked;
    return verify::MarkedSegments(w.list, w.chip, &marked) && run.reached.size() + run.missing.size() == marked.size();
}

void VerifyFlow::Verify(commands::Workspace& w) {
    if (!w.config) return;
    files::VerifySettings s = files::ReadVerifySettings(*w.config);
    if (s.input.empty()) {
        if (!Settings(w)) return;
        s = files::ReadVerifySettings(*w.config);
        if (s.input.empty()) return;
    }
    verify::VerifyRun run;
    if (verify::VerifyCommand(w.list, w.chip, &w.drivers, s.input, s.minSimilarity, ui_, &run) !=
        runs::CommandEnd::OpenDialog)
        return;
    if (!progress_) progress_ = std::make_unique<TVerifyProgress>(parent_, &ui_);
    verify::VerifyEnd end = verify::VerifyEnd::Cancelled;
    std::vector<verify::SegmentOutcome> outcomes;
    progress_->ShowModal(std::move(run), &end, &outcomes);
    if (end == verify::VerifyEnd::Cancelled) return;
    if (!results_) results_ = std::make_unique<TVerifyResultsWindow>(parent_);
    results_->Show(outcomes, s.minSimilarity, w.chip.step);
}
