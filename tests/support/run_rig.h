// Test rig for programming runs and playback: the real sonmira-modsim on a
// pseudo-terminal, real sound files made with sox, a prompt with scripted
// answers and a view that records what the workers show. The core tests, the
// end-to-end tests and the benchmarks share it.
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

std::string ReadFile(const std::string& path);

// A tone of `ms` milliseconds at `hz`, 8 kHz mono 16-bit WAV.
bool MakeTone(const std::string& path, int ms, int hz);

using Frame = test_support::SimFrame;

// The simulator playing one module.
class ModSim : public test_support::ModSimProcess {
public:
    ModSim(const std::string& exe, const std::string& module, const std::vector<std::string>& extra = {});

    std::vector<std::string> RxHex() const;
    std::vector<std::string> WaitRxHex(size_t n, int timeout_ms = test_support::kWaitMs) const;
    // The frames received so far that begin with `head` ("5A 11": the record frames).
    std::vector<std::string> RxHexStartingWith(const std::string& head) const;
    // Exactly what came once n frames are in (see RxSettled).
    std::vector<std::string> RxSettledHex(size_t n) const;

private:
    static std::vector<std::string> WithModule(const std::string& module, const std::vector<std::string>& extra);
};

// COM1 is the simulator; COM2..COM4 lead nowhere so the port scan never
// touches a real port.
void PointPortsAt(const std::string& com1);

// Records the worker's updates as "caption:T", "status:T@P", "range:N", "close".
class RecordingView : public runs::IRunView {
public:
    void SetCaption(const std::string& text) override;
    void SetStatus(const std::string& text, int32_t pos) override;
    void SetRange(int32_t max) override;
    void CloseDialog() override;

    std::vector<std::string> Events() const;
    bool WaitClosed(int timeout_ms);

private:
    void Add(std::string e);
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<std::string> events_;
};

// One used row of the list.
void PutRow(list::ProgrammingList& list, int row, bool program, const std::string& start, const std::string& name,
            int length_ms, const std::string& path);

}  // namespace rig
