// The one way the core talks to the user: a message with a caption, an icon
// and buttons, answered by the user. The GUI answers with message boxes, the
// command-line tool with printed text and its flags, tests with scripted answers.
#pragma once

#include <string>

enum class MsgIcon { Information, Question, Warning, Error };
enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Yes, No, Cancel };

// The three captions of the program's boxes.
inline constexpr const char* kCaptionPrompt = "提示信息";
inline constexpr const char* kCaptionSystem = "系统提示";
inline constexpr const char* kCaptionInfo = "信息提示";

class IUserPrompt {
public:
    virtual ~IUserPrompt() = default;
    virtual MsgAnswer Ask(const std::string& text, const std::string& caption, MsgIcon icon,
                          MsgButtons buttons) = 0;
};

// Shorthand for an information box with OK.
inline void Tell(IUserPrompt& ui, const std::string& text, const std::string& caption) {
    ui.Ask(text, caption, MsgIcon::Information, MsgButtons::Ok);
}
