// The stations of sonmira-cli line: "PORT=OUTPUT" each, split at the first
// '=', and the refusals that need no module: a station without its port or
// output, and two stations on one port or one sound output. With --verify,
// each station's sound input from "PORT=INPUT" (--capture), matched by port.
#pragma once

#include <string>
#include <vector>

namespace cli {

struct Station {
    int number = 0;  // 1, 2, ... in the order given
    std::string port, output;
    std::string capture;  // the input that hears its module; "" without --verify
};

// Returns "" with *out filled, or the error for the usage message.
std::string ParseStations(const std::vector<std::string>& texts, std::vector<Station>* out);

// "" when every station has a port and a sound output of its own; else the
// first clash, e.g. "stations 1 and 3 name the same port (/dev/ttyUSB0)".
// Ports are compared as the devices they reach (COM2, a by-id link and the
// device itself are one port); outputs as the device or sink they name.
std::string SharedResource(const std::vector<Station>& stations);

// Gives each station its sound input from texts "PORT=INPUT", each split at
// its first '=' (a port never holds one; an input may). Ports are compared as
// SharedResource compares them. "" when every station got exactly one input
// and no two stations share one; else the error for the usage message.
std::string MatchCaptures(const std::vector<std::string>& texts, std::vector<Station>* stations);

}  // namespace cli
