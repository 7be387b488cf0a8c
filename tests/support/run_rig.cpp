#include "run_rig.h"

namespace rig {

std::string ReadFile(const std::string& path) { return test_support::ReadBytes(path); }

bool MakeTone(const std::string& path, int ms, int hz) {
    char cmd[512];
    std::snprintf(cmd, sizeof cmd, "sox -q -n -r 8000 -c 1 -b 16 '%s' synth %d.%03d sine %d", path.c_str(), ms / 1000,
                  ms % 1000, hz);
    return std::system(cmd) == 0;
}

ModSim::ModSim(const std::string& exe, const std::string& module, const std::vector<std::string>& extra)
    : ModSimProcess(exe, WithModule(module, extra)) {}

std::vector<std::string> ModSim::RxHex() const { return test_support::Hexes(Rx()); }

std::vector<std::string> ModSim::WaitRxHex(size_t n, int timeout_ms) const {
    return test_support::Hexes(WaitRx(n, timeout_ms));
}

std::vector<std::string> ModSim::RxHexStartingWith(const std::string& head) const {
    std::vector<std::string> out;
    for (const auto& f : RxHex())
        if (f.rfind(head, 0) == 0) out.push_back(f);
    return out;
}

std::vector<std::string> ModSim::RxSettledHex(size_t n) const { return test_support::Hexes(RxSettled(n)); }

std::vector<std::string> ModSim::WithModule(const std::string& module, const std::vector<std::string>& extra) {
    std::vector<std::string> options = {"--module", module};
    options.insert(options.end(), extra.begin(), extra.end());
    return options;
}

void PointPortsAt(const std::string& com1) {
    setenv("SERTRA_COM1", com1.c_str(), 1);
    for (int n = 2; n <= 4; ++n)
        setenv(("SERTRA_COM" + std::to_string(n)).c_str(), ("/nonexistent/sonmira-com" + std::to_string(n)).c_str(), 1);
}

void RecordingView::SetCaption(const std::string& text) { Add("caption:" + text); }

void RecordingView::SetStatus(const std::string& text, int32_t pos) {
    Add("status:" + text + "@" + std::to_string(pos));
}

void RecordingView::SetRange(int32_t max) { Add("range:" + std::to_string(max)); }

void RecordingView::CloseDialog() { Add("close"); }

std::vector<std::string> RecordingView::Events() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
}

bool RecordingView::WaitClosed(int timeout_ms) {
    std::unique_lock<std::mutex> lock(mutex_);
    return cv_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [this] {
        for (const auto& e : events_)
            if (e == "close") return true;
        return false;
    });
}

void RecordingView::Add(std::string e) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(std::move(e));
    cv_.notify_all();
}

void PutRow(list::ProgrammingList& list, int row, bool program, const std::string& start, const std::string& name,
            int length_ms, const std::string& path) {
    list.SetCell(row, list::kColRow, std::to_string(row));
    list.SetCell(row, list::kColFlag, program ? "1" : "0");
    list.SetCell(row, list::kColFlagText, program ? list::kYes : list::kNo);
    list.SetCell(row, list::kColStart, start);
    list.SetCell(row, list::kColName, name);
    list.SetCell(row, list::kColLength, std::to_string(length_ms));
    list.SetCell(row, list::kColPath, path);
    list.SetCell(row, list::kColShownPath, path);
}

}  // namespace rig
