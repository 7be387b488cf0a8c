// TFrmwPalyCount: the continuous playback's dialog. Made once and reused.
// Its show step starts the playback worker; its close step (the cancel
// button, the close box, or the worker at the end) releases any update the
// worker waits in and waits for the worker up to 1000 ms. The caption never
// changes.
#pragma once

#include <memory>

#include "runs/play_thread.h"
#include "dialogs/run_window.h"

class TFrmwPalyCount : public RunWindow {
    Q_OBJECT
public:
    // prompt: where the worker's failure message goes (it is carried over to
    // this window's thread and not waited for); nullptr: a message box with no owner.
    explicit TFrmwPalyCount(QWidget* parent = nullptr, messages::IUserPrompt* prompt = nullptr);
    ~TFrmwPalyCount() override;

    // Shows the dialog modally; its show step starts the playback of `job`.
    // Returns when the dialog has closed.
    void ShowModal(runs::PlayJob job);

private:
    std::unique_ptr<messages::IUserPrompt> ownPrompt_;
    std::unique_ptr<messages::IUserPrompt> workerPrompt_;
};
