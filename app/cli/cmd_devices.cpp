// sonmira-cli devices: the serial ports and sound devices of this machine, so
// an operator can give each station its --port, its --audio and its --capture.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "commands.h"
#include "printable.h"
#include "devices/port_permission.h"
#include "devices/serial_ports.h"
#include "audio/sound_capture.h"
#include "audio/sound_outputs.h"

namespace cli {

namespace {

// Wider names still get their two spaces, without pushing every line right.
constexpr size_t kMaxColumn = 40;

std::string Padded(const std::string& text, size_t width) {
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string ComNames(const std::vector<int>& com) {
    std::string text;
    for (int n : com) text += (text.empty() ? "COM" : ",COM") + std::to_string(n);
    return text.empty() ? "-" : text;
}

// "USB 0403:6001 FTDI FT232R USB UART, serial A50285BI (ftdi_sio)", or "driver serial".
std::string PortDetails(const devices::SerialPortInfo& p) {
    std::string text;
    if (p.usb) {
        const devices::UsbIdentity& id = p.usbId;
        text = "USB " + id.vendorId + ":" + id.productId;
        for (const std::string* part : {&id.manufacturer, &id.product})
            if (!part->empty()) text += " " + *part;
        if (!id.serial.empty()) text += ", serial " + id.serial;
        if (!p.driver.empty()) text += " (" + p.driver + ")";
    } else {
        text = "driver " + (p.driver.empty() ? std::string("unknown") : p.driver);
    }
    if (p.console) text += ", kernel console: not for a module";
    return text;
}

void PrintSerialPorts() {
    std::printf("serial ports (give one to --port):\n");
    const std::vector<devices::SerialPortInfo> ports = devices::ListSerialPorts();
    if (ports.empty()) std::printf("  none found\n");
    size_t pathWidth = 0, comWidth = 0;
    for (const auto& p : ports) {
        pathWidth = std::max(pathWidth, std::min(cli::Printable(p.path).size(), kMaxColumn));
        comWidth = std::max(comWidth, ComNames(p.com).size());
    }
    const std::string indent(2 + pathWidth + 2 + comWidth + 2, ' ');
    for (const auto& p : ports) {
        std::printf("  %s  %s  %s\n", Padded(cli::Printable(p.path), pathWidth).c_str(),
                    Padded(ComNames(p.com), comWidth).c_str(), cli::Printable(PortDetails(p)).c_str());
        if (p.noPermission)
            std::printf("%s%s\n", indent.c_str(), cli::Printable(devices::NoPermissionText(p.path)).c_str());
        for (const std::string& link : p.byId) std::printf("%s%s\n", indent.c_str(), cli::Printable(link).c_str());
    }
}

// `heading` names the option the listed devices go to.
void PrintSoundDevices(const char* heading, const std::vector<audio::SoundOutputInfo>& outputs) {
    std::printf("%s\n", heading);
    if (outputs.empty()) std::printf("  none found\n");
    size_t nameWidth = 0;
    for (const auto& o : outputs) nameWidth = std::max(nameWidth, std::min(cli::Printable(o.name).size(), kMaxColumn));
    for (const auto& o : outputs) {
        const char* kind = o.kind == audio::SoundOutputKind::kAlsa ? "(ALSA)" : "(PulseAudio/PipeWire)";
        const std::string description = cli::Printable(o.description);
        std::printf("  %s  %s%s%s\n", Padded(cli::Printable(o.name), nameWidth).c_str(), description.c_str(),
                    description.empty() ? "" : "  ", kind);
    }
}

}  // namespace

int RunDevices(int argc, char** argv) {
    if (argc > 1) return UsageErrorWithHelp("devices", std::string("unexpected argument '") + argv[1] + "'");
    PrintSerialPorts();
    PrintSoundDevices("sound outputs (give one to --audio):", audio::ListSoundOutputs());
    PrintSoundDevices("sound inputs (give one to --capture):", audio::ListSoundInputs());
    return 0;
}

}  // namespace cli
