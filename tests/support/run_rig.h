// Test rig for programming runs and playback: the real sonmira-modsim on a
// pseudo-terminal, real sound files made with sox, a prompt with scripted
// answers and a view that records what the workers show. Header-only so the
// core tests and the end-to-end tests share it.
#pragma once

#include <stdio.h>
#include <stdlib.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "modsim_process.h"
#include "list/programming_list.h"
#include "runs/run_view.h"
#include "scripted_prompt.h"

namespace rig {

using test_support::JsonField;
using test_support::Lines;
using test_support::MonotonicNs;

inline std::string ReadFile(const std::string& path) { return test_support::ReadBytes(path); }

// A tone of `ms` milliseconds at `hz`, 8 kHz mono 16-bit WAV.
inline bool MakeTone(const std::string& path, int ms, int hz) {
    char cmd[512];
    std::snprintf(cmd, sizeof cmd, "sox -q -n -r 8000 -c 1 -b 16 '%s' synth %d.%03d sine %d", path.c_str(), ms / 1000,
                  ms % 1000, hz);
    return std::system(cmd) == 0;
}

using Frame = test_support::SimFrame;

// The simulator playing one module.
class ModSim : public test_support::ModSimProcess {
public:
    ModSim(const std::string& exe, const std::string& module, const std::vector<std::string>& extra = {})
        : ModSimProcess(exe, WithModule(module, extra)) {}

    std::vector<std::string> RxHex() const { return test_support::Hexes(Rx()); }
    std::vector<std::string> WaitRxHex(size_t n, int timeout_ms = test_support::kWaitMs) const {
        return test_support::Hexes(WaitRx(n, timeout_ms));
    }
    // The frames received so far that begin with `head` ("5A 11": the record frames).
    std::vector<std::string> RxHexStartingWith(const std::string& head) const {
        std::vector<std::string> out;
        for (const auto& f : RxHex())
            if (f.rfind(head, 0) == 0) out.push_back(f);
        return out;
    }
    // Exactly what came once n frames are in (see RxSettled).
    std::vector<std::string> RxSettledHex(size_t n) const { return test_support::Hexes(RxSettled(n)); }

private:
    static std::vector<std::string> WithModule(const std::string& module, const std::vector<std::string>& extra) {
        std::vector<std::string> options = {"--module", module};
        options.insert(options.end(), extra.begin(), extra.end());
        return options;
    }
};

// COM1 is the simulator; COM2..COM4 lead nowhere so the port scan never
// touches a real port.
inline void PointPortsAt(const std::string& com1) {
    setenv("SERTRA_COM1", com1.c_str(), 1);
    for (int n = 2; n <= 4; ++n)
        setenv(("SERTRA_COM" + std::to_string(n)).c_str(), ("/nonexistent/sonmira-com" + std::to_string(n)).c_str(), 1);
}

// Records the worker's updates as "caption:T", "status:T@P", "range:N", "close".
class RecordingView : public IRunView {
public:
    void SetCaption(const std::string& text) override { Add("caption:" + text); }
    void SetStatus(const std::string& text, int32_t pos) override { Add("status:" + text + "@" + std::to_string(pos)); }
    void SetRange(int32_t max) override { Add("range:" + std::to_string(max)); }
    void CloseDialog() override { Add("close"); }

    std::vector<std::string> Events() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return events_;
    }
    bool WaitClosed(int timeout_ms) {
        std::unique_lock<std::mutex> lock(mutex_);
        return cv_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [this] {
            for (const auto& e : events_)
                if (e == "close") return true;
            return false;
        });
    }

private:
    void Add(std::string e) {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(std::move(e));
        cv_.notify_all();
    }
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<std::string> events_;
};

// One used row of the list.
inline void PutRow(plist::ProgrammingList& list, int row, bool program, const std::string& start,
                   const std::string& name, int length_ms, const std::string& path) {
    list.SetCell(row, plist::kColRow, std::to_string(row));
    list.SetCell(row, plist::kColFlag, program ? "1" : "0");
    list.SetCell(row, plist::kColFlagText, program ? plist::kYes : plist::kNo);
    list.SetCell(row, plist::kColStart, start);
    list.SetCell(row, plist::kColName, name);
    list.SetCell(row, plist::kColLength, std::to_string(length_ms));
    list.SetCell(row, plist::kColPath, path);
    list.SetCell(row, plist::kColShownPath, path);
}

}  // namespace rig
