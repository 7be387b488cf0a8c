#include "scripted_prompt.h"

messages::MsgAnswer ScriptedPrompt::Ask(const std::string& text, const std::string& caption, messages::MsgIcon icon,
                                        messages::MsgButtons buttons) {
    std::lock_guard<std::mutex> lock(mutex_);
    shown_.push_back({text, caption, icon, buttons});
    if (buttons == messages::MsgButtons::Ok) return messages::MsgAnswer::Ok;
    if (answers.empty()) return when_out_;
    messages::MsgAnswer a = answers.front();
    answers.pop_front();
    return a;
}

std::vector<ShownBox> ScriptedPrompt::Boxes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return shown_;
}

std::vector<std::string> ScriptedPrompt::Texts() const {
    std::vector<std::string> t;
    for (const auto& b : Boxes()) t.push_back(b.text);
    return t;
}

void ScriptedPrompt::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    shown_.clear();
}
