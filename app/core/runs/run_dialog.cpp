#include "runs/run_dialog.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace runs {

bool LowerThreadPriority() {
    // On Linux the nice value is per thread when addressed by thread id.
    const id_t tid = static_cast<id_t>(syscall(SYS_gettid));
    errno = 0;
    int current = getpriority(PRIO_PROCESS, tid);
    if (current == -1 && errno != 0) return false;
    return setpriority(PRIO_PROCESS, tid, current + 1) == 0;
}

RunDialog::RunDialog(messages::IUserPrompt& ui, std::optional<messages::MsgId> overflow_msg)
    : ui_(ui), overflowMsg_(overflow_msg) {}

RunDialog::~RunDialog() {
    running_.store(false);
    std::thread worker;
    {
        // Not held while joining: the worker takes the lock as its last act.
        std::lock_guard<std::mutex> lock(mutex_);
        worker = std::move(thread_);
    }
    if (!worker.joinable()) return;
    if (worker.get_id() == std::this_thread::get_id())
        worker.detach();
    else
        worker.join();
}

bool RunDialog::Show(std::function<void()> work) {
    if (running_.load()) return false;
    std::unique_lock<std::mutex> lock(mutex_);
    if (alive_) return false;
    if (thread_.joinable()) thread_.join();  // ended; only its handle is left
    overflow_.store(false);
    overflowReported_ = false;
    running_.store(true);
    alive_ = true;
    thread_ = std::thread([this, work = std::move(work)]() {
        LowerThreadPriority();
        work();
        std::lock_guard<std::mutex> guard(mutex_);
        alive_ = false;
        ended_.notify_all();
    });
    return true;
}

bool RunDialog::WorkerAlive() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return alive_;
}

bool RunDialog::WaitForWorker(int timeout_ms) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (thread_.joinable() && thread_.get_id() == std::this_thread::get_id()) return false;
    ended_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [this] { return !alive_; });
    if (alive_) return false;
    // The worker has only its return left once it cleared alive_.
    if (thread_.joinable()) thread_.join();
    return true;
}

void RunDialog::Close() {
    running_.store(false);
    WaitForWorker(kCloseWaitMs);
    if (overflow_.load() && overflowMsg_ && !overflowReported_) {
        overflowReported_ = true;
        messages::ShowMessage(ui_, *overflowMsg_);
    }
}

}  // namespace runs
