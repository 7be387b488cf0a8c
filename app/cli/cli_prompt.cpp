#include "cli_prompt.h"

#include <unistd.h>

#include <cstring>

#include "port_scan_report.h"

namespace cli {

TerminalPrompt::Mode TerminalPrompt::ModeFor(bool yes) {
    if (yes) return Mode::AssumeYes;
    return ::isatty(STDIN_FILENO) ? Mode::AskTerminal : Mode::AssumeNo;
}

MsgAnswer TerminalPrompt::Ask(const std::string& text, const std::string& caption, MsgIcon, MsgButtons buttons) {
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

bool TakeYesFlag(int* argc, char** argv) { return TakeFlag(argc, argv, "--yes", "-y"); }

}  // namespace cli
