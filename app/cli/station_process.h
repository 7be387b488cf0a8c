// One station of sonmira-cli line: a `sonmira-cli program` process for one
// chip on the station's port and sound output, its output read through pipes
// so the line can show its progress and keep its messages.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace cli {

// What the station's run shows: its last progress line, parsed.
struct StationProgress {
    std::string text;  // the file in work, or the run's caption
    int32_t position = 0, max = 0;
    bool hasBar = false;  // a "[position/max ms] text" line was seen
};

class StationProcess {
public:
    StationProcess() = default;
    ~StationProcess();
    StationProcess(const StationProcess&) = delete;
    StationProcess& operator=(const StationProcess&) = delete;

    // Starts `exe` with `args` (argv[1..]), standard input from /dev/null.
    // False with *error when it cannot be started.
    bool Start(const std::string& exe, const std::vector<std::string>& args, std::string* error);

    // The pipes still open, for poll(); -1 when closed.
    int OutFd() const { return out_; }
    int ErrFd() const { return err_; }
    // Reads what is ready on fd (one of the two); the whole lines of its
    // standard output that came are added to *lines.
    void ReadFrom(int fd, std::vector<std::string>* lines);
    // Waits for the process once both pipes are closed. True when it ended.
    bool Reap();
    void Signal(int sig) const;

    bool Running() const { return pid_ > 0 && !ended_; }
    bool Ended() const { return ended_; }
    int ExitCode() const { return exitCode_; }  // 0 ok, 130 cancelled, else failed; -1 killed
    const StationProgress& Progress() const { return progress_; }
    const std::string& Messages() const { return errText_; }  // its error stream
    std::chrono::steady_clock::time_point Started() const { return started_; }

private:
    void TakeLine(const std::string& line);

    pid_t pid_ = -1;
    int out_ = -1, err_ = -1;
    bool ended_ = false;
    int exitCode_ = -1;
    std::string outPending_, errText_;
    StationProgress progress_;
    std::chrono::steady_clock::time_point started_;
};

// Reads a progress line of a run's plain output (progress_line.h) into *p.
// False for any other line (a caption such as "编程结束").
bool ParseProgressLine(const std::string& line, StationProgress* p);

}  // namespace cli
