// Command line of sonmira-modsim.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "chip_memory.h"
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
    bool version = false;

    // The chip that keeps sound (all new, all off by default).
    std::string auxIn;     // what the AUX input hears (a source name)
    std::string lineOut;   // where the audio output plays (a sink name)
    std::string chipPath;  // the memory as a WAV, its marks in chipPath + ".marks.json"
    int32_t rate = 8000;   // samples per second
    int32_t stepMs = 125;  // milliseconds per address
    int32_t rows = 0;      // addresses; 0: the module's own count (Rows())
    double auxGainDb = 0;  // what the AUX input hears is scaled so before storing
    std::vector<RowRange> deadRows;
    int32_t recordLateMs = 0;  // a recording stores silence this long first

    int32_t Rows() const { return rows > 0 ? rows : module == Module::First ? 256 : 4096; }
};

// Returns "" on success, else a message for stderr.
std::string ParseOptions(int argc, char** argv, Options& out);

const char* UsageText();

}  // namespace modsim
