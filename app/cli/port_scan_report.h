// After "串口未打开！" (the drivers' port scan found no module), the terminal
// says port by port what the scan found: Sertra keeps a record of each port's
// last open attempt and exchange (GetPortRecord in Commport.h).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "Commport.h"

namespace cli {

// True for the message text the port lines follow.
bool IsPortNotOpenMessage(const std::string& text);

// The line for one port, e.g. "  COM1 (/dev/pts/7): opened, no reply within 500 ms";
// "" for a port the scan did not try.
std::string PortScanLine(int32_t number, const SertraPortRecord& record);

// Prints the lines of COM1..COM4, each ending with a line feed, from the
// Sertra the loaded driver uses; nothing when no Sertra is loaded or it keeps
// no records.
void PrintPortScanReport(FILE* out);

}  // namespace cli
