// The machine's serial ports as an operator pairs them with programmer
// modules: device path, stable by-id names, kernel driver, USB identity, and
// which COM names reach each.
#pragma once

#include <string>
#include <vector>

namespace devices {

// From the USB device folder (idVendor, idProduct, manufacturer, product, serial);
// empty strings for attributes the device does not have.
struct UsbIdentity {
    std::string vendorId, productId, manufacturer, product, serial;
};

struct SerialPortInfo {
    std::string path;               // /dev/ttyUSB0
    std::vector<std::string> byId;  // /dev/serial/by-id/... links to it, sorted
    std::string driver;             // kernel driver, e.g. ftdi_sio, cdc_acm, serial
    bool usb = false;               // usbId is filled
    UsbIdentity usbId;
    std::vector<int> com;       // n of each COMn that opens this port, ascending
    bool console = false;       // an active kernel console: never a module's port
    bool noPermission = false;  // this user may not open it (LacksPermission, port_permission.h)
};

// root: prefixed to /sys and /dev (a copy of both trees, for tests); "" for the
// system's own. Paths in the result never carry it. Sorted by path, numbers in
// names compared as numbers (ttyUSB2 before ttyUSB10).
std::vector<SerialPortInfo> ListSerialPorts(const std::string& root = "");

}  // namespace devices
