// IUserPrompt for the terminal. Every message prints as "caption: text" on
// the error stream. A question is answered Yes when --yes was given, read as
// y/n from the terminal when standard input is one, and answered No otherwise
// (so a script never hangs and never agrees to anything it was not told to).
#pragma once

#include <cstdio>
#include <string>

#include "messages/user_prompt.h"

namespace cli {

class TerminalPrompt : public messages::IUserPrompt {
public:
    enum class Mode { AssumeYes, AskTerminal, AssumeNo };

    explicit TerminalPrompt(Mode mode, FILE* out = stderr, FILE* in = stdin) : mode_(mode), out_(out), in_(in) {}

    // AssumeYes when `yes` (the --yes flag); else AskTerminal when stdin is a
    // terminal; else AssumeNo.
    static Mode ModeFor(bool yes);

    messages::MsgAnswer Ask(const std::string& text, const std::string& caption, messages::MsgIcon icon,
                            messages::MsgButtons buttons) override;

    // The text of the last message or question, for a record of why a command stopped.
    const std::string& LastMessage() const { return last_; }

private:
    std::string last_;
    Mode mode_;
    FILE* out_;
    FILE* in_;
};

// Between two chips or rounds: prints `prompt` on the error stream and waits
// for the operator's line. False when the operator stops (q, or the end of
// the input).
bool OperatorGoesOn(const char* prompt);

}  // namespace cli
