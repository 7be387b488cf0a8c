// The one way the core talks to the user: a message with a caption, an icon
// and buttons, answered by the user. The GUI answers with message boxes, the
// command-line tool with printed text and its flags, tests with scripted answers.
// The messages themselves are rows of messages.h, shown through ShowMessage.
#pragma once

#include <string>

namespace messages {

enum class MsgIcon { Information, Question, Warning, Error };
enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Yes, No, Cancel };

class IUserPrompt {
public:
    virtual ~IUserPrompt() = default;
    virtual MsgAnswer Ask(const std::string& text, const std::string& caption, MsgIcon icon, MsgButtons buttons) = 0;
};

}  // namespace messages
