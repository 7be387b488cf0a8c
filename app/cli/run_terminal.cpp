#include "run_terminal.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "printable.h"
#include "progress_line.h"

namespace cli {

namespace {

volatile sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) { g_interrupted = 1; }

constexpr int kBarWidth = 30;

}  // namespace

void CatchInterrupt() {
    g_interrupted = 0;
    struct sigaction sa {};
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

bool Interrupted() { return g_interrupted != 0; }

void ReleaseInterrupt() {
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
}

TerminalRunView::TerminalRunView(FILE* out, std::string unit)
    : out_(out), unit_(std::move(unit)), tty_(::isatty(fileno(out)) != 0) {}

TerminalRunView::~TerminalRunView() { EndBarLine(); }

void TerminalRunView::EndBarLine() {
    if (barShown_) std::fputc('\n', out_);
    barShown_ = false;
    std::fflush(out_);
}

void TerminalRunView::SetCaption(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (cancelled_) return;
    EndBarLine();
    std::fprintf(out_, "%s\n", Printable(text).c_str());
    std::fflush(out_);
}

void TerminalRunView::SetStatus(const std::string& text, int32_t position) {
    std::lock_guard<std::mutex> lock(mutex_);
    // After a cancel the worker only finishes the segment in work: anything it
    // shows later (the end's texts) would read as if the run had gone on.
    if (cancelled_) return;
    if (!tty_) {
        std::fprintf(out_, "%s%s\n", ProgressPrefix(position, max_, unit_).c_str(), Printable(text).c_str());
        std::fflush(out_);
        return;
    }
    const int filled =
        max_ > 0 ? static_cast<int>(std::clamp<int64_t>(int64_t{position} * kBarWidth / max_, 0, kBarWidth)) : 0;
    std::string bar(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(kBarWidth - filled), '-');
    std::fprintf(out_, "\r\033[K[%s] %s  %s", bar.c_str(), ProgressCount(position, max_, unit_).c_str(),
                 Printable(text).c_str());
    std::fflush(out_);
    barShown_ = true;
}

void TerminalRunView::SetRange(int32_t max) {
    std::lock_guard<std::mutex> lock(mutex_);
    max_ = max;
}

void TerminalRunView::ShowCancelled() {
    std::lock_guard<std::mutex> lock(mutex_);
    EndBarLine();
    std::fprintf(out_, "cancelled\n");
    std::fflush(out_);
}

void TerminalRunView::CloseDialog() {
    std::lock_guard<std::mutex> lock(mutex_);
    EndBarLine();
    closeAsked_ = true;
    cv_.notify_all();
}

bool TerminalRunView::WaitForClose(runs::RunDialog& dialog, bool* cancelled) {
    *cancelled = false;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (cv_.wait_for(lock, std::chrono::milliseconds(50), [this] { return closeAsked_; })) return true;
        if (g_interrupted && !*cancelled) {
            *cancelled = true;
            cancelled_ = true;
            EndBarLine();
            lock.unlock();
            std::fprintf(stderr, "cancelled: finishing the segment in work...\n");
            dialog.Cancel();
            lock.lock();
            continue;
        }
        if (!dialog.WorkerAlive()) return closeAsked_;
    }
}

bool RunWorkerModal(runs::RunDialog& dialog, TerminalRunView& view, const std::function<void()>& start,
                    bool* cancelled) {
    CatchInterrupt();
    start();
    const bool closed = view.WaitForClose(dialog, cancelled);
    dialog.Close();
    dialog.WaitForWorker(60 * 60 * 1000);
    ReleaseInterrupt();
    if (*cancelled) view.ShowCancelled();
    return closed;
}

}  // namespace cli
