// --log FILE: the record of every chip sonmira-cli programs, one JSON line
// per chip appended when the chip ends (README.md, "The production record").
#pragma once

#include <chrono>
#include <string>

#include "chip_run.h"
#include "commands/workspace.h"

namespace cli {

// What the record says of the run besides the chip's own outcome.
struct ChipLogContext {
    std::string path;  // the log file; "" no record
    std::string station, port, output;
    std::string project;  // absolute path
    std::string projectSha256;
    bool aux = false;
};

// --log FILE checked before anything is sent: prints why it cannot be
// appended to and returns 1; 0 when it can.
int CheckLogFile(const char* command, const std::string& path);

// Appends the chip's line. Returns "" or why it could not be written.
std::string LogChip(const ChipLogContext& c, const commands::Workspace& w, int round, const ChipOutcome& o,
                    std::chrono::steady_clock::duration took);

// The file's SHA-256 in hex; "" when it cannot be read. For RecJob::digest.
std::string FileDigest(const std::string& path);

}  // namespace cli
