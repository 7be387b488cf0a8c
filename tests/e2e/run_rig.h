// Test rig for programming runs and playback: the real sonmira-modsim on a
// pseudo-terminal, real sound files made with sox, a prompt with scripted
// answers and a view that records what the workers show. Header-only so the
// core tests and the end-to-end tests share it.
#pragma once

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "programming_list.h"
#include "run_view.h"
#include "user_prompt.h"

namespace rig {

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::string MakeTempDir() {
    char tmpl[] = "/tmp/sonmira-run-XXXXXX";
    const char* d = mkdtemp(tmpl);
    return d ? d : "/tmp";
}

inline void RemoveTree(const std::string& dir) {
    if (dir.rfind("/tmp/sonmira-run-", 0) == 0) std::system(("rm -rf '" + dir + "'").c_str());
}

inline int64_t MonotonicNs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

// Value of "key" in a one-line JSON object (strings without escapes, numbers).
inline std::string JsonField(const std::string& line, const std::string& key) {
    const std::string k = "\"" + key + "\":";
    const size_t at = line.find(k);
    if (at == std::string::npos) return "";
    size_t b = at + k.size();
    if (b < line.size() && line[b] == '"') {
        const size_t e = line.find('"', b + 1);
        return line.substr(b + 1, e - b - 1);
    }
    const size_t e = line.find_first_of(",}", b);
    return line.substr(b, e - b);
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string l;
    while (std::getline(in, l))
        if (!l.empty()) out.push_back(l);
    return out;
}

// A tone of `ms` milliseconds at `hz`, 8 kHz mono 16-bit WAV.
inline bool MakeTone(const std::string& path, int ms, int hz) {
    char cmd[512];
    std::snprintf(cmd, sizeof cmd, "sox -q -n -r 8000 -c 1 -b 16 '%s' synth %d.%03d sine %d", path.c_str(), ms / 1000,
                  ms % 1000, hz);
    return std::system(cmd) == 0;
}

struct Frame {
    int64_t t_ns = 0;
    std::string dir, hex, cmd;
};

class ModSim {
public:
    ModSim(const std::string& exe, const std::string& module, std::vector<std::string> extra = {})
        : dir_(MakeTempDir()) {
        log_ = dir_ + "/frames.log";
        map_ = dir_ + "/map.json";
        std::vector<std::string> args = {exe, "--module", module, "--log", log_, "--map", map_};
        args.insert(args.end(), extra.begin(), extra.end());
        int out[2];
        if (pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], 1);
            close(out[0]);
            close(out[1]);
            std::vector<char*> argv;
            for (auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(out[1]);
        out_ = fdopen(out[0], "r");
        char line[512] = {0};
        if (out_ && fgets(line, sizeof line, out_)) {
            path_ = line;
            while (!path_.empty() && path_.back() == '\n') path_.pop_back();
        }
    }
    ~ModSim() {
        Stop();
        if (out_) fclose(out_);
        RemoveTree(dir_);
    }
    void Stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        char buf[1024];
        while (out_ && fread(buf, 1, sizeof buf, out_) > 0) {
        }
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    const std::string& Path() const { return path_; }
    std::string Map() const { return ReadFile(map_); }

    // Frames the module received, in order.
    std::vector<Frame> Rx() const {
        std::vector<Frame> rx;
        for (const auto& l : Lines(ReadFile(log_))) {
            Frame f{std::stoll(JsonField(l, "t_ns")), JsonField(l, "dir"), JsonField(l, "hex"), JsonField(l, "cmd")};
            if (f.dir == "rx") rx.push_back(f);
        }
        return rx;
    }
    std::vector<std::string> RxHex() const {
        std::vector<std::string> hex;
        for (const auto& f : Rx()) hex.push_back(f.hex);
        return hex;
    }
    // Frames are logged as the module reads them, a moment after the write.
    std::vector<std::string> WaitRxHex(size_t n, int timeout_ms = 3000) const {
        const int64_t until = MonotonicNs() + int64_t{timeout_ms} * 1000000;
        std::vector<std::string> hex = RxHex();
        while (hex.size() < n && MonotonicNs() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            hex = RxHex();
        }
        return hex;
    }

private:
    std::string dir_, log_, map_, path_;
    pid_t pid_ = -1;
    FILE* out_ = nullptr;
};

// COM1 is the simulator; COM2..COM4 lead nowhere so the port scan never
// touches a real port.
inline void PointPortsAt(const std::string& com1) {
    setenv("SERTRA_COM1", com1.c_str(), 1);
    for (int n = 2; n <= 4; ++n)
        setenv(("SERTRA_COM" + std::to_string(n)).c_str(), ("/nonexistent/sonmira-com" + std::to_string(n)).c_str(), 1);
}

struct Asked {
    std::string text, caption;
    MsgIcon icon;
    MsgButtons buttons;
};

// Answers from a script (Yes/Ok when it runs out) and remembers every box.
class ScriptedPrompt : public IUserPrompt {
public:
    std::deque<MsgAnswer> answers;
    MsgAnswer Ask(const std::string& text, const std::string& caption, MsgIcon icon, MsgButtons buttons) override {
        std::lock_guard<std::mutex> lock(mutex_);
        asked_.push_back({text, caption, icon, buttons});
        if (!answers.empty()) {
            MsgAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Yes;
    }
    std::vector<Asked> Asked_() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return asked_;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const auto& a : Asked_()) t.push_back(a.text);
        return t;
    }

private:
    mutable std::mutex mutex_;
    std::vector<Asked> asked_;
};

// Records the worker's updates as "caption:T", "status:T@P", "range:N", "close".
class RecordingView : public IRunView {
public:
    void SetCaption(const std::string& text) override { Add("caption:" + text); }
    void SetStatus(const std::string& text, int32_t pos) override {
        Add("status:" + text + "@" + std::to_string(pos));
    }
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
