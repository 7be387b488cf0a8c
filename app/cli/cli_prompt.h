// IUserPrompt for the terminal. Every message prints as "caption: text" on
// the error stream. A question is answered Yes when --yes was given, read as
// y/n from the terminal when standard input is one, and answered No otherwise
// (so a script never hangs and never agrees to anything it was not told to).
#pragma once

#include <cstdio>
#include <string>

#include "user_prompt.h"

namespace cli {

class TerminalPrompt : public IUserPrompt {
public:
    enum class Mode { AssumeYes, AskTerminal, AssumeNo };

    explicit TerminalPrompt(Mode mode, FILE* out = stderr, FILE* in = stdin) : mode_(mode), out_(out), in_(in) {}

    // AssumeYes when `yes` (the --yes flag); else AskTerminal when stdin is a
    // terminal; else AssumeNo.
    static Mode ModeFor(bool yes);

    MsgAnswer Ask(const std::string& text, const std::string& caption, MsgIcon icon, MsgButtons buttons) override;

private:
    Mode mode_;
    FILE* out_;
    FILE* in_;
};

// Removes every `flag` (and `alias`, when given) from argv, keeping argv[0]
// and the order of the rest; returns true when one was there.
bool TakeFlag(int* argc, char** argv, const char* flag, const char* alias = nullptr);

// Removes "--yes"/"-y" from argv (keeping argv[0] and the order of the
// rest); returns true when one was there.
bool TakeYesFlag(int* argc, char** argv);

}  // namespace cli
