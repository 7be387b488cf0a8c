// sonmira-cli pulse ADDRESS: pulse-triggered play without windows.
#include <cstdio>
#include <string>

#include "cli_command.h"
#include "cli_prompt.h"
#include "text/numbers.h"
#include "list/play_address.h"
#include "runs/playback_commands.h"
#include "run_options.h"
#include "commands/workspace.h"

namespace {

constexpr const char* kUsage =
    "usage: sonmira-cli pulse [--programmer NAME] [--chip NAME] [--port PORT] ADDRESS\n"
    "\n"
    "Makes the module play once from ADDRESS: up to four hexadecimal digits, as\n"
    "typed into the play address box (a 0x prefix is allowed). The address must\n"
    "lie between the chip's lowest start address and its last address; it goes\n"
    "to the module without the chip's address scale.\n"
    "\n"
    "  --programmer NAME  programmer type (default: the configuration's saved choice)\n"
    "  --chip NAME        chip of that programmer (default: the saved choice)\n"
    "  --port PORT        scan only this serial port: COM1..COM4 or a device\n"
    "                     path such as /dev/ttyUSB0\n"
    "\n"
    "Exit status: 0 when the play command was sent, 1 when the address or the\n"
    "driver failed (the message says why), 2 for a usage error.\n";

int RunPulse(int argc, char** argv) {
    cli::RunOptions o;
    std::string error = cli::ParseRunOptions(argc, argv, false, false, "address", &o);
    std::string box = error.empty() ? o.rest[0] : "";
    if (box.size() > 2 && box[0] == '0' && (box[1] == 'x' || box[1] == 'X')) box = box.substr(2);
    if (error.empty()) {
        // The box takes only what its key filter lets through, four characters at most.
        bool ok = !box.empty() && box.size() <= static_cast<size_t>(play_address::kMaxChars);
        for (char c : box) ok = ok && play_address::KeyPasses(static_cast<unsigned char>(c));
        if (!ok) error = "'" + o.rest[0] + "' is not an address of up to four hexadecimal digits";
    }
    if (!error.empty()) return cli::UsageError("pulse", error, kUsage);
    cli::TerminalPrompt ui(cli::TerminalPrompt::Mode::AssumeNo);
    ws::Workspace w;
    if (int rc = cli::PrepareWorkspace("pulse", o, "", w, ui)) return rc;
    switch (PulsePlayCommand(box, w.chip, &w.drivers, ui)) {
        case PulseEnd::Played:
            std::printf("playing from %s\n", num::AddrText(std::stoi(box, nullptr, 16)).c_str());
            return 0;
        case PulseEnd::Stopped: return 1;
        case PulseEnd::NoDriver: return cli::NoDriverBound("pulse", w);
    }
    return 1;
}

}  // namespace

SONMIRA_CLI_COMMAND("pulse", "make the module play once from an address", kUsage, RunPulse);
