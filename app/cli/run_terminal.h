// The terminal side of a programming run or playback for sonmira-cli: the
// progress view the worker writes to, and the wait that stands in for the
// modal dialog (Ctrl+C is its cancel button).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>

#include "runs/run_dialog.h"
#include "runs/run_view.h"

namespace cli {

// A progress bar with the file in work on a terminal; plain lines otherwise.
// Calls come from the worker thread and are done when they return.
class TerminalRunView : public runs::IRunView {
public:
    // unit: what the position counts ("ms" for a programming run, "" for rows).
    TerminalRunView(FILE* out, std::string unit);
    ~TerminalRunView() override;

    void SetCaption(const std::string& text) override;
    void SetStatus(const std::string& text, int32_t position) override;
    void SetRange(int32_t max) override;
    void CloseDialog() override;

    // The run's last line after a cancel.
    void ShowCancelled();

    // Waits until the worker asks for the close or ends without asking.
    // Ctrl+C cancels through the dialog once. True when the close was asked.
    bool WaitForClose(runs::RunDialog& dialog, bool* cancelled);

private:
    void EndBarLine();

    FILE* out_;
    const std::string unit_;
    const bool tty_;
    std::mutex mutex_;
    std::condition_variable cv_;
    bool closeAsked_ = false;
    bool barShown_ = false;
    bool cancelled_ = false;  // updates are dropped from the cancel on
    int32_t max_ = 0;
};

// Ctrl+C sets a flag instead of ending the process while a run is on.
void CatchInterrupt();
void ReleaseInterrupt();
// Whether Ctrl+C (or SIGTERM) came since CatchInterrupt.
bool Interrupted();

// Stands in for the modal dialog: `start` starts the worker with Ctrl+C caught,
// then the wait lasts until the worker asks for the close or ends; the dialog
// is closed (showing its closing message, if any) and the worker waited for.
// Returns whether the close was asked; *cancelled, whether Ctrl+C cancelled
// (the run's output then ends with a "cancelled" line).
bool RunWorkerModal(runs::RunDialog& dialog, TerminalRunView& view, const std::function<void()>& start,
                    bool* cancelled);

}  // namespace cli
