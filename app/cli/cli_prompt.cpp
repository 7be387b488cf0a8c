#include "cli_prompt.h"

#include <unistd.h>

#include <cstring>

#include "port_scan_report.h"

namespace cli {

TerminalPrompt::Mode TerminalPrompt::ModeFor(bool yes) {
    if (yes) return Mode::AssumeYes;
    return ::isatty(STDIN_FILENO) ? Mode::AskTerminal : Mode::AssumeNo;
}

messages::MsgAnswer TerminalPrompt::Ask(const std::string& text, const std::string& caption, messages::MsgIcon,
                                        messages::MsgButtons buttons) {
    last_ = text;
    if (buttons == messages::MsgButtons::Ok) {
        std::fprintf(out_, "%s: %s\n", caption.c_str(), text.c_str());
        std::fflush(out_);
        if (IsPortNotOpenMessage(text)) PrintPortScanReport(out_);
        return messages::MsgAnswer::Ok;
    }
    bool cancel = buttons == messages::MsgButtons::YesNoCancel;
    std::fprintf(out_, "%s: %s", caption.c_str(), text.c_str());
    if (mode_ != Mode::AskTerminal) {
        bool yes = mode_ == Mode::AssumeYes;
        std::fprintf(out_, " %s\n", yes ? "yes (--yes)" : "no");
        std::fflush(out_);
        return yes ? messages::MsgAnswer::Yes : (cancel ? messages::MsgAnswer::Cancel : messages::MsgAnswer::No);
    }
    for (;;) {
        std::fprintf(out_, cancel ? " [y/n/c] " : " [y/n] ");
        std::fflush(out_);
        char line[64];
        if (!std::fgets(line, sizeof line, in_)) {
            std::fprintf(out_, "\n");
            return cancel ? messages::MsgAnswer::Cancel : messages::MsgAnswer::No;  // end of input: the safe answer
        }
        char c = line[0];
        if (c == 'y' || c == 'Y') return messages::MsgAnswer::Yes;
        if (c == 'n' || c == 'N') return messages::MsgAnswer::No;
        if (cancel && (c == 'c' || c == 'C')) return messages::MsgAnswer::Cancel;
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

}  // namespace cli
