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
    messages::MsgIcon icon;
    messages::MsgButtons buttons;
};

class ScriptedPrompt : public messages::IUserPrompt {
public:
    explicit ScriptedPrompt(messages::MsgAnswer when_out) : when_out_(when_out) {}

    // Answers for the questions, in order; an OK box takes none.
    std::deque<messages::MsgAnswer> answers;

    messages::MsgAnswer Ask(const std::string& text, const std::string& caption, messages::MsgIcon icon,
                            messages::MsgButtons buttons) override;

    std::vector<ShownBox> Boxes() const;
    std::vector<std::string> Texts() const;
    void Clear();

private:
    const messages::MsgAnswer when_out_;
    mutable std::mutex mutex_;
    std::vector<ShownBox> shown_;
};
