// Shared by the list, project and workspace tests: a scripted IUserPrompt and
// a fresh temporary folder per test.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "test_files.h"
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

using test_support::ReadBytes;
using test_support::TempDir;
using test_support::WriteBytes;
