// The logic of a progress dialog that runs a worker thread (programming run
// or continuous playback), without its widgets: the running mark the worker
// polls, the overflow mark it sets, the show step that starts it and the
// close step that waits for it.
//
// The dialog owns the worker thread. A worker can outlive the close step's
// 1000 ms wait (after a cancel it finishes the segment in work); until it has
// ended, WorkerAlive() stays true and Show() refuses to start another. The
// worker holds the driver lease for its whole run and works on its own copy
// of the list and its own audio player, so a command that finds the lease
// taken refuses with MsgId::WorkerBusy and nothing else is shared.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "messages/messages.h"
#include "messages/user_prompt.h"

namespace runs {

class RunDialog {
public:
    static constexpr int kCloseWaitMs = 1000;

    // overflow_msg: shown by the close step when the overflow mark is set;
    // nullopt for a dialog that never reports one.
    RunDialog(messages::IUserPrompt& ui, std::optional<messages::MsgId> overflow_msg);
    // Waits for a worker that still runs: it uses what its owner holds.
    ~RunDialog();
    RunDialog(const RunDialog&) = delete;
    RunDialog& operator=(const RunDialog&) = delete;

    // Show step. Does nothing and returns false while the running mark is
    // set or an earlier worker has not ended yet. Otherwise clears the
    // overflow mark, sets the running mark and starts `work` on a thread one
    // step below normal priority.
    bool Show(std::function<void()> work);

    // Cancel button and close box: the same close step.
    void Cancel() { Close(); }

    // Close step: clears the running mark, waits at most 1000 ms for the
    // worker and shows the overflow message (once per run) if it is set.
    // Called on the worker's own thread it does not wait.
    void Close();

    bool Running() const { return running_.load(); }
    void MarkOverflow() { overflow_.store(true); }
    bool Overflow() const { return overflow_.load(); }

    // True from the show step until the worker's procedure has returned.
    bool WorkerAlive() const;
    // Waits up to timeout_ms for the worker to end; true when none runs.
    bool WaitForWorker(int timeout_ms);

private:
    messages::IUserPrompt& ui_;
    const std::optional<messages::MsgId> overflowMsg_;
    std::atomic<bool> running_{false};
    std::atomic<bool> overflow_{false};
    bool overflowReported_ = false;  // user-interface thread only

    mutable std::mutex mutex_;
    std::condition_variable ended_;
    bool alive_ = false;
    std::thread thread_;
};

// Lowers the calling thread's priority by one step (Linux: nice + 1 for this
// thread only). Returns false when the system refused; the worker runs anyway.
bool LowerThreadPriority();

}  // namespace runs
