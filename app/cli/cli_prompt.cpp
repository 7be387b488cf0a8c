#include "cli_prompt.h"

#include <unistd.h>

#include <cstring>

#include "text/numbers.h"
#include "port_scan_report.h"

namespace cli {

TerminalPrompt::Mode TerminalPrompt::ModeFor(bool yes) {
    if (yes) return Mode::AssumeYes;
    return ::isatty(STDIN_FILENO) ? Mode::AskTerminal : Mode::AssumeNo;
}

MsgAnswer TerminalPrompt::Ask(const std::string& text, const std::string& caption, MsgIcon, MsgButtons buttons) {
    last_ = text;
    if (buttons == MsgButtons::Ok) {
        std::fprintf(out_, "%s: %s\n", caption.c_str(), text.c_str());
        std::fflush(out_);
        if (IsPortNotOpenMessage(text)) PrintPortScanReport(out_);
        return MsgAnswer::Ok;
    }
    bool cancel = buttons == MsgButtons::YesNoCancel;
    std::fprintf(out_, "%s: %s", caption.c_str(), text.c_str());
    if (mode_ != Mode::AskTerminal) {
        bool yes = mode_ == Mode::AssumeYes;
        std::fprintf(out_, " %s\n", yes ? "yes (--yes)" : "no");
        std::fflush(out_);
        return yes ? MsgAnswer::Yes : (cancel ? MsgAnswer::Cancel : MsgAnswer::No);
    }
    for (;;) {
        std::fprintf(out_, cancel ? " [y/n/c] " : " [y/n] ");
        std::fflush(out_);
        char line[64];
        if (!std::fgets(line, sizeof line, in_)) {
            std::fprintf(out_, "\n");
            return cancel ? MsgAnswer::Cancel : MsgAnswer::No;  // end of input: the safe answer
        }
        char c = line[0];
        if (c == 'y' || c == 'Y') return MsgAnswer::Yes;
        if (c == 'n' || c == 'N') return MsgAnswer::No;
        if (cancel && (c == 'c' || c == 'C')) return MsgAnswer::Cancel;
    }
}

bool OperatorGoesOn(const char* prompt) {
    std::fputs(prompt, stderr);
    std::fflush(stderr);
    char line[64];
    if (!std::fgets(line, sizeof line, stdin)) {
        std::fputc('\n', stderr);
        return false;
    }
    return line[0] != 'q' && line[0] != 'Q';
}

bool TakeFlag(int* argc, char** argv, const char* flag, const char* alias) {
    bool found = false;
    int out = 1;
    for (int i = 1; i < *argc; ++i) {
        if (!std::strcmp(argv[i], flag) || (alias && !std::strcmp(argv[i], alias)))
            found = true;
        else
            argv[out++] = argv[i];
    }
    *argc = out;
    return found;
}

std::string TakeOption(int* argc, char** argv, const char* name, std::vector<std::string>* values) {
    const std::string n = name, withEq = n + "=";
    std::string error;
    int out = 1;
    for (int i = 1; i < *argc; ++i) {
        const std::string a = argv[i];
        if (a == n) {
            if (i + 1 >= *argc) {
                error = "option '" + n + "' needs a value";
                continue;
            }
            values->push_back(argv[++i]);
        } else if (a.compare(0, withEq.size(), withEq) == 0) {
            values->push_back(a.substr(withEq.size()));
        } else {
            argv[out++] = argv[i];
        }
    }
    *argc = out;
    return error;
}

std::string TakeSingleOption(int* argc, char** argv, const char* name, std::optional<std::string>* value) {
    std::vector<std::string> given;
    std::string error = TakeOption(argc, argv, name, &given);
    if (error.empty() && given.size() > 1) error = "option '" + std::string(name) + "' is given twice";
    if (error.empty() && !given.empty()) *value = given[0];
    return error;
}

std::string TakeCountOption(int* argc, char** argv, const char* name, const char* what, int* value) {
    std::vector<std::string> given;
    std::string error = TakeOption(argc, argv, name, &given);
    if (!error.empty() || given.empty()) return error;
    int32_t n = 0;
    if (!num::TryStrToInt(given.back(), &n) || n < 1)
        return "option '" + std::string(name) + "' needs " + what + ", 1 or more ('" + given.back() + "')";
    *value = n;
    return "";
}

bool TakeYesFlag(int* argc, char** argv) { return TakeFlag(argc, argv, "--yes", "-y"); }

}  // namespace cli
