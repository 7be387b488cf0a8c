// TVerifyProgress: the verification's dialog, like the playback's: the file
// in work, the segments done, "取消"; Esc and the close box cancel at once.
// Made once and reused.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "dialogs/run_window.h"
#include "verify/verify_thread.h"

class TVerifyProgress : public RunWindow {
    Q_OBJECT
public:
    explicit TVerifyProgress(QWidget* parent = nullptr, messages::IUserPrompt* prompt = nullptr);
    ~TVerifyProgress() override;

    // Shows the dialog modally; its show step starts the verification of
    // `run`. Returns when the dialog has closed, with the outcomes so far
    // (all of them unless cancelled) in *outcomes and how it ended in *end.
    void ShowModal(verify::VerifyRun run, verify::VerifyEnd* end, std::vector<verify::SegmentOutcome>* outcomes);

private:
    std::unique_ptr<messages::IUserPrompt> ownPrompt_;
};
