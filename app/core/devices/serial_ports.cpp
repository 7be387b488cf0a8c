#include "devices/serial_ports.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "devices/natural_order.h"
#include "devices/port_permission.h"
#include "port_names.h"

namespace devices {

namespace fs = std::filesystem;

namespace {

// First line of a sysfs attribute without its line end; "" when missing.
std::string ReadAttribute(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) line.pop_back();
    return line;
}

// Last part of a link's target (sysfs driver and subsystem links); "" when no link.
std::string LinkName(const fs::path& link) {
    std::error_code ec;
    const fs::path target = fs::read_symlink(link, ec);
    return ec ? std::string() : target.filename().string();
}

// Where `path` leads once every link is followed, or `path` itself when it
// cannot be resolved, so two names of one device compare equal.
fs::path Resolved(const fs::path& path) {
    std::error_code ec;
    const fs::path p = fs::weakly_canonical(path, ec);
    return ec ? path.lexically_normal() : p;
}

// The tty's device folder and each folder above it, up to /sys/devices.
std::vector<fs::path> DeviceChain(const fs::path& device, const fs::path& top) {
    std::vector<fs::path> chain;
    for (fs::path p = device; p.has_relative_path() && p != top; p = p.parent_path()) chain.push_back(p);
    return chain;
}

// The driver of the hardware: newer kernels put serial_core's own port and
// controller devices (bus serial-base, drivers "port" and "ctrl") between the
// tty and it, and their names say nothing to the operator.
std::string DriverName(const std::vector<fs::path>& chain) {
    for (const fs::path& dir : chain) {
        if (LinkName(dir / "subsystem") == "serial-base") continue;
        const std::string name = LinkName(dir / "driver");
        if (!name.empty()) return name;
    }
    return std::string();
}

// The USB device folder is the first one above the tty that has idVendor
// (a ttyUSB sits on an interface of it, a ttyACM is the interface itself).
bool ReadUsbIdentity(const std::vector<fs::path>& chain, UsbIdentity* id) {
    for (const fs::path& dir : chain) {
        std::error_code ec;
        if (!fs::exists(dir / "idVendor", ec)) continue;
        id->vendorId = ReadAttribute(dir / "idVendor");
        id->productId = ReadAttribute(dir / "idProduct");
        id->manufacturer = ReadAttribute(dir / "manufacturer");
        id->product = ReadAttribute(dir / "product");
        id->serial = ReadAttribute(dir / "serial");
        return true;
    }
    return false;
}

// The by-id links of /dev/<name>. udev makes them relative (../../ttyUSB0);
// an absolute one is taken inside root.
std::vector<std::string> ByIdLinks(const std::string& root, const std::string& name) {
    std::vector<std::string> links;
    const fs::path folder = root + "/dev/serial/by-id";
    const fs::path want = fs::path(root + "/dev/" + name).lexically_normal();
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code linkEc;
        const fs::path target = fs::read_symlink(it->path(), linkEc);
        if (linkEc) continue;
        const fs::path full = target.is_absolute() ? fs::path(root + target.string()) : folder / target;
        if (full.lexically_normal() == want) links.push_back("/dev/serial/by-id/" + it->path().filename().string());
    }
    std::sort(links.begin(), links.end(), NaturalLess);
    return links;
}

// Whether the tty has hardware behind it. Virtual consoles, pseudo-terminals
// and the like have no device link. Serial_core ports report their UART in
// `type`, 0 meaning none was found: PCs list ttyS0..ttyS31 on the legacy
// serial8250 platform device whatever the hardware, and those without a UART
// answer 0. The serial library leaves the same ports out of its COM numbering.
bool HasHardware(const fs::path& tty) {
    std::error_code ec;
    if (!fs::is_symlink(tty / "device", ec)) return false;
    return ReadAttribute(tty / "type") != "0";
}

}  // namespace

std::vector<SerialPortInfo> ListSerialPorts(const std::string& root) {
    std::vector<SerialPortInfo> ports;
    const fs::path classDir = root + "/sys/class/tty";
    const fs::path top = Resolved(root + "/sys/devices");

    // What each COM name opens, as the serial library would resolve it now.
    fs::path comTarget[4];
    for (int n = 1; n <= 4; ++n) {
        const std::string path = sertra::PortPathFor(n, root);
        if (!path.empty()) comTarget[n - 1] = Resolved(path[0] == '/' ? root + path : path);
    }
    // Kept ports the library still leaves out of its numbering are its consoles.
    const std::vector<std::string> excluded = sertra::ListExcludedDevices(sertra::ListDevEntries(root), root);

    std::error_code ec;
    for (fs::directory_iterator it(classDir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!HasHardware(it->path())) continue;
        std::error_code devEc;
        const fs::path device = fs::canonical(it->path() / "device", devEc);
        if (devEc) continue;
        const std::vector<fs::path> chain = DeviceChain(device, top);

        SerialPortInfo port;
        port.path = "/dev/" + name;
        port.byId = ByIdLinks(root, name);
        port.driver = DriverName(chain);
        port.usb = ReadUsbIdentity(chain, &port.usbId);
        const fs::path node = Resolved(root + port.path);
        for (int n = 1; n <= 4; ++n)
            if (!comTarget[n - 1].empty() && comTarget[n - 1] == node) port.com.push_back(n);
        port.console = std::find(excluded.begin(), excluded.end(), name) != excluded.end();
        port.noPermission = LacksPermission(root + port.path);
        ports.push_back(port);
    }
    std::sort(ports.begin(), ports.end(),
              [](const SerialPortInfo& a, const SerialPortInfo& b) { return NaturalLess(a.path, b.path); });
    return ports;
}

}  // namespace devices
