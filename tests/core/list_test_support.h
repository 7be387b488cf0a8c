// Shared by the list, project and workspace tests: a scripted IUserPrompt and
// a fresh temporary folder per test.
#pragma once

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "user_prompt.h"

struct Shown {
    std::string text, caption;
    MsgIcon icon;
    MsgButtons buttons;
};

// Records every box; answers questions from `answers` in order (No when they run out).
class ScriptedPrompt : public IUserPrompt {
public:
    std::vector<Shown> shown;
    std::deque<MsgAnswer> answers;

    MsgAnswer Ask(const std::string& text, const std::string& caption, MsgIcon icon,
                  MsgButtons buttons) override {
        shown.push_back({text, caption, icon, buttons});
        if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
        if (answers.empty()) return MsgAnswer::No;
        MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
};

class TempDir {
public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "sonmira-list-XXXXXX").string();
        path_ = ::mkdtemp(tmpl.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
