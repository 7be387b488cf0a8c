// Which device "COM1".."COM4" stand for on this system.
//
// SERTRA_COMn, when set, names the device of COMn outright (an empty value
// means COMn has no device). Otherwise COMn is the n-th serial device found in
// /dev: USB adapters first (ttyUSB*, then ttyACM*), then the on-board ports
// (ttyS*), each group in numeric order, leaving out the kernel's console and
// on-board ports without a UART behind them.
#pragma once

#include <string>
#include <vector>

namespace sertra {

// envValue: the value of SERTRA_COM<number>, or nullptr when unset.
// devEntries: file names in /dev, in any order; excluded: names never to use.
// Returns the device path, or "" when COM<number> has no device.
std::string ResolvePortPath(int number, const char* envValue, const std::vector<std::string>& devEntries,
                            const std::vector<std::string>& excluded = {});

// root: prefixed to /dev and /sys, so a listing can be tried on a copy of the
// tree; "" for the system's own. Returned paths never carry it.
std::vector<std::string> ListDevEntries(const std::string& root = "");
// Devices that must not count as ports: active consoles, UART-less ttyS*.
std::vector<std::string> ListExcludedDevices(const std::vector<std::string>& devEntries, const std::string& root = "");

// Reads the environment and /dev for COM<number>.
std::string PortPathFor(int number, const std::string& root = "");

}  // namespace sertra
