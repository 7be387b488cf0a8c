#include "station_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "progress_line.h"

extern char** environ;

namespace cli {

namespace {

void CloseFd(int* fd) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
}

}  // namespace

bool ParseProgressLine(const std::string& line, StationProgress* p) {
    int64_t position = 0, max = 0;
    size_t textAt = 0;
    if (!ParseProgressPrefix(line, &position, &max, &textAt)) return false;
    p->position = static_cast<int32_t>(position);
    p->max = static_cast<int32_t>(max);
    p->text = line.substr(textAt);
    p->hasBar = true;
    return true;
}

StationProcess::~StationProcess() {
    CloseFd(&out_);
    CloseFd(&err_);
    if (Running()) {
        Signal(SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
}

bool StationProcess::Start(const std::string& exe, const std::vector<std::string>& args, std::string* error) {
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        *error = std::strerror(errno);
        return false;
    }
    if (::pipe2(err, O_CLOEXEC) != 0) {
        *error = std::strerror(errno);
        ::close(out[0]);
        ::close(out[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    // The line's own handlers must not carry over: the run sets its own.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t defaults, none;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    std::vector<char*> argv{const_cast<char*>(exe.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int rc = posix_spawn(&pid_, exe.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
    if (rc != 0) {
        pid_ = -1;
        CloseFd(&out_);
        CloseFd(&err_);
        *error = std::strerror(rc);
        return false;
    }
    started_ = std::chrono::steady_clock::now();
    return true;
}

void StationProcess::ReadFrom(int fd, std::vector<std::string>* lines) {
    char buffer[4096];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
    if (n <= 0) {
        if (fd == out_) {
            if (!outPending_.empty()) {
                TakeLine(outPending_);
                lines->push_back(outPending_);
            }
            outPending_.clear();
            CloseFd(&out_);
        } else {
            CloseFd(&err_);
        }
        return;
    }
    if (fd == err_) {
        errText_.append(buffer, static_cast<size_t>(n));
        return;
    }
    outPending_.append(buffer, static_cast<size_t>(n));
    for (size_t nl; (nl = outPending_.find('\n')) != std::string::npos;) {
        const std::string line = outPending_.substr(0, nl);
        outPending_.erase(0, nl + 1);
        TakeLine(line);
        lines->push_back(line);
    }
}

void StationProcess::TakeLine(const std::string& line) {
    if (line.empty() || ParseProgressLine(line, &progress_)) return;
    // Listening to the chip has no bar: the segment heard is the whole news.
    if (IsVerifyingLine(line)) progress_.hasBar = false;
    progress_.text = line;  // a caption: the bar stays where it was
}

bool StationProcess::Reap() {
    if (ended_) return true;
    if (pid_ <= 0 || out_ >= 0 || err_ >= 0) return false;
    int status = 0;
    pid_t got;
    while ((got = ::waitpid(pid_, &status, 0)) < 0 && errno == EINTR) {}
    ended_ = true;
    exitCode_ = got == pid_ && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return true;
}

void StationProcess::Signal(int sig) const {
    if (Running()) ::kill(pid_, sig);
}

}  // namespace cli
