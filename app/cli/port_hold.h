// Whether a serial port can be had before a run touches any module: it names
// a device, and no other program holds it (a run on it would find it locked
// only after other ports' modules were prepared).
#pragma once

#include <string>

namespace cli {

// The device PORT stands for: COM1..COM4 as the serial library maps them, or
// the path itself. "" when COMn names no device.
std::string PortDevicePath(const std::string& port);

// "" when the port's device opens and is free; else why not, in a few words.
std::string PortUnavailableReason(const std::string& port);

}  // namespace cli
