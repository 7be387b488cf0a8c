// The tests' user: records every box shown and answers questions from a
// script. Each test says what a question gets once the script has run out,
// so no test depends on a hidden default. Safe to call from a worker thread.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "messages/user_prompt.h"

struct ShownBox {
    std::string text, caption;
    MsgIcon icon;
    MsgButtons buttons;
};

class ScriptedPrompt : public IUserPrompt {
public:
    explicit ScriptedPrompt(MsgAnswer when_out) : when_out_(when_out) {}

    // Answers for the questions, in order; an OK box takes none.
    std::deque<MsgAnswer> answers;

    MsgAnswer Ask(const std::string& text, const std::string& caption, MsgIcon icon, MsgButtons buttons) override {
        std::lock_guard<std::mutex> lock(mutex_);
        shown_.push_back({text, caption, icon, buttons});
        if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
        if (answers.empty()) return when_out_;
        MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }

    std::vector<ShownBox> Boxes() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return shown_;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const auto& b : Boxes()) t.push_back(b.text);
        return t;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        shown_.clear();
    }

private:
    const MsgAnswer when_out_;
    mutable std::mutex mutex_;
    std::vector<ShownBox> shown_;
};
