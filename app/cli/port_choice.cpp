#include "port_choice.h"

#include <cctype>
#include <cstdlib>

namespace cli {

int ComNumber(const std::string& port) {
    if (port.size() != 4) return 0;
    for (size_t i = 0; i < 3; ++i)
        if (std::toupper(static_cast<unsigned char>(port[i])) != "COM"[i]) return 0;
    return port[3] >= '1' && port[3] <= '4' ? port[3] - '0' : 0;
}

namespace {

void NoDevice(int number) { setenv(("SERTRA_COM" + std::to_string(number)).c_str(), "", 1); }

}  // namespace

std::string PortNameError(const std::string& port) {
    if (port.empty() || ComNumber(port) || port[0] == '/') return "";
    return "unknown port '" + port + "' (COM1 to COM4, or a device path such as /dev/ttyUSB0)";
}

void RestrictScanToPort(const std::string& port) {
    if (port.empty() || !PortNameError(port).empty()) return;
    if (const int n = ComNumber(port)) {
        for (int other = 1; other <= 4; ++other)
            if (other != n) NoDevice(other);
        return;
    }
    setenv("SERTRA_COM1", port.c_str(), 1);
    for (int other = 2; other <= 4; ++other) NoDevice(other);
}

}  // namespace cli
