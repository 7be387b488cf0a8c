// IUserPrompt for the terminal. Every message prints as "caption: text" on
// the error stream. A question is answered Yes when --yes was given, read as
// y/n from the terminal when standard input is one, and answered No otherwise
// (so a script never hangs and never agrees to anything it was not told to).
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "messages/user_prompt.h"

namespace cli {

class TerminalPrompt : public IUserPrompt {
public:
    enum class Mode { AssumeYes, AskTerminal, AssumeNo };

    explicit TerminalPrompt(Mode mode, FILE* out = stderr, FILE* in = stdin) : mode_(mode), out_(out), in_(in) {}

    // AssumeYes when `yes` (the --yes flag); else AskTerminal when stdin is a
    // terminal; else AssumeNo.
    static Mode ModeFor(bool yes);

    MsgAnswer Ask(const std::string& text, const std::string& caption, MsgIcon icon, MsgButtons buttons) override;

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

// Removes every `flag` (and `alias`, when given) from argv, keeping argv[0]
// and the order of the rest; returns true when one was there.
bool TakeFlag(int* argc, char** argv, const char* flag, const char* alias = nullptr);

// Removes every "NAME VALUE" and "NAME=VALUE" from argv, adding the values to
// *values in order. Returns "" or the error for the usage message.
std::string TakeOption(int* argc, char** argv, const char* name, std::vector<std::string>* values);

// As TakeOption, for an option that may be given once: a second one is an
// error, since which of two record files or outputs was meant is anyone's guess.
std::string TakeSingleOption(int* argc, char** argv, const char* name, std::optional<std::string>* value);

// As TakeOption, for an option given once at most with a whole number of 1 or
// more (the last one counts); `what` names it in the error.
std::string TakeCountOption(int* argc, char** argv, const char* name, const char* what, int* value);

// Removes "--yes"/"-y" from argv (keeping argv[0] and the order of the
// rest); returns true when one was there.
bool TakeYesFlag(int* argc, char** argv);

}  // namespace cli
