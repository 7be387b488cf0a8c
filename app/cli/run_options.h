// The options a run on a module shares (program, play, pulse, line, add):
// the programmer type and chip chosen by name, the one port to scan, the
// positionals. Reading them only fills this struct; the port restriction is
// set when the run is prepared (run_start.h).
#pragma once

#include <string>
#include <vector>

namespace cli {

struct RunOptions {
    std::string programmer, chip;   // empty: as configured / as the project says
    std::vector<std::string> rest;  // positional arguments
    bool aux = false;               // --aux (program, line)
    std::string address;            // --address HEX (play only)
    std::string port;               // --port PORT: the only port scanned
};

// The checks that end the reading of a run's options: exactly one positional
// when `positional` names it ("one project file expected"; nullptr: any
// number, the caller checks them), then a port name the scan can be
// restricted to. Returns "" or the error for the usage message.
std::string CheckRunOptions(const char* positional, const RunOptions& o);

}  // namespace cli
