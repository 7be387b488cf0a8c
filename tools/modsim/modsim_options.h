// Command line of sonmira-modsim.
#pragma once

#include <stdint.h>

#include <string>

#include "modsim_protocol.h"

namespace modsim {

struct Options {
    Module module = Module::First;
    std::string link;     // symlink to the slave side, made at start, removed at exit
    std::string logPath;  // JSON lines, one per frame in either direction
    std::string mapPath;  // chip map, rewritten after every change
    bool silent = false;  // never reply
    bool wrongReply = false;
    bool busy = false;        // chip-type replies say "not ready"
    int32_t delayMs = 0;      // every reply this late
    int64_t faultAfter = 0;   // faults start after this many frames
    int64_t faultCount = -1;  // and last this many frames (-1: for good)
    int64_t hangupAfter = 0;  // close the pty on receiving this frame (0: never)
    bool help = false;
};

// Returns "" on success, else a message for stderr.
std::string ParseOptions(int argc, char** argv, Options& out);

const char* UsageText();

}  // namespace modsim
