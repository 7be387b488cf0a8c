// --port PORT: the one serial port a run may use. The drivers scan COM1 to
// COM4; with a port chosen, the others name no device, so no frame goes to
// a module on another port (another station's, on a production line).
#pragma once

#include <string>

namespace cli {

// "" when PORT is COM1..COM4 (any letter case), a device path or empty;
// else the error text for the usage message.
std::string PortNameError(const std::string& port);

// Restricts the drivers' scan to PORT (one that PortNameError accepts), through
// the serial library's SERTRA_COM1..4; a device path becomes COM1, the first
// port scanned. An empty PORT changes nothing.
void RestrictScanToPort(const std::string& port);

// The number n of "COMn" (any letter case, n 1..4); else 0.
int ComNumber(const std::string& port);

}  // namespace cli
