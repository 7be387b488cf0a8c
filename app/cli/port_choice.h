// --port PORT: the one serial port a run may use. The drivers scan COM1 to
// COM4; with a port chosen, the others name no device, so no frame goes to
// a module on another port (another station's, on a production line).
#pragma once

#include <string>

namespace cli {

// PORT is COM1..COM4 (any letter case) or a device path. Returns "" after
// restricting the scan to it, or the error text for the usage message.
// An empty PORT changes nothing.
std::string RestrictScanToPort(const std::string& port);

// The number n of "COMn" (any letter case, n 1..4); else 0.
int ComNumber(const std::string& port);

}  // namespace cli
