// The serial port listing on a small copy of /sys and /dev: the build machine
// has no USB serial adapter.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>

#include "as_nobody.h"
#include "devices/natural_order.h"
#include "devices/serial_ports.h"
#include "test_files.h"

namespace fs = std::filesystem;

namespace {

class FakeTree {
public:
    // A folder of sysfs attributes; returns its path.
    std::string Dir(const std::string& rel, std::initializer_list<std::pair<const char*, const char*>> files = {}) {
        fs::create_directories(root_ / rel);
        for (const auto& f : files)
            test_support::WriteBytes(root_ / (rel + "/" + f.first), std::string(f.second) + "\n");
        return rel;
    }
    // A relative link, as sysfs and udev make them.
    void Link(const std::string& from, const std::string& to) {
        const fs::path at = root_ / from;
        fs::create_directories(at.parent_path());
        fs::create_symlink(fs::path(root_ / to).lexically_relative(at.parent_path()), at);
    }
    // A tty of /sys/class/tty with its node in /dev; device "" for none.
    void Tty(const std::string& name, const std::string& device, const char* type = nullptr) {
        const std::string dir = Dir((device.empty() ? "sys/devices/virtual" : device) + "/tty/" + name);
        if (!device.empty()) Link(dir + "/device", device);
        if (type) test_support::WriteBytes(root_ / (dir + "/type"), std::string(type) + "\n");
        Link("sys/class/tty/" + name, dir);
        test_support::WriteBytes(root_ / Dir("dev") + "/" + name, "");
    }
    const std::string& root() const { return root_.path(); }

private:
    const test_support::TempDir root_;
};

// Every field of each port on one line, so a whole listing compares exactly.
std::vector<std::string> Lines(const std::vector<devices::SerialPortInfo>& ports) {
    std::vector<std::string> lines;
    for (const auto& p : ports) {
        std::string line = p.path + " driver=" + p.driver + " com=";
        for (int n : p.com) line += std::to_string(n) + ",";
        if (p.console) line += " console";
        if (p.noPermission) line += " no-permission";
        if (p.usb) {
            const devices::UsbIdentity& id = p.usbId;
            line +=
                " usb=" + id.vendorId + ":" + id.productId + "|" + id.manufacturer + "|" + id.product + "|" + id.serial;
        }
        for (const std::string& link : p.byId) line += " " + link;
        lines.push_back(line);
    }
    return lines;
}

TEST(SerialPorts, listsAdaptersAndRealPortsWithTheirNames) {
    FakeTree t;
    const std::string hub = "sys/devices/pci0000:00/0000:00:14.0/usb1";
    // An FTDI adapter: the tty hangs off the usb-serial port of an interface.
    t.Dir(hub + "/1-2", {{"idVendor", "0403"},
                         {"idProduct", "6001"},
                         {"manufacturer", "FTDI"},
                         {"product", "FT232R USB UART"},
                         {"serial", "A50285BI"}});
    const std::string ftdi = t.Dir(hub + "/1-2/1-2:1.0/ttyUSB10");
    t.Link(ftdi + "/driver", "sys/bus/usb-serial/drivers/ftdi_sio");
    t.Tty("ttyUSB10", ftdi);
    t.Link("dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "dev/ttyUSB10");
    // A second adapter without a serial number.
    t.Dir(hub + "/1-3", {{"idVendor", "067b"},
                         {"idProduct", "2303"},
                         {"manufacturer", "Prolific Technology Inc."},
                         {"product", "USB-Serial Controller"}});
    const std::string prolific = t.Dir(hub + "/1-3/1-3:1.0/ttyUSB2");
    t.Link(prolific + "/driver", "sys/bus/usb-serial/drivers/pl2303");
    t.Tty("ttyUSB2", prolific);
    // An on-board UART behind serial_core's own port and controller devices.
    t.Link(t.Dir("sys/devices/pnp0/00:00") + "/driver", "sys/bus/pnp/drivers/serial");
    const std::string ctrl = t.Dir("sys/devices/pnp0/00:00/00:00:0");
    const std::string uart = t.Dir(ctrl + "/00:00:0.0");
    for (const std::string& d : {ctrl, uart}) t.Link(d + "/subsystem", "sys/bus/serial-base");
    t.Link(ctrl + "/driver", "sys/bus/serial-base/drivers/ctrl");
    t.Link(uart + "/driver", "sys/bus/serial-base/drivers/port");
    t.Tty("ttyS0", uart, "4");
    // A legacy platform port with no UART, and a virtual console.
    const std::string legacy = t.Dir("sys/devices/platform/serial8250/serial8250:0/serial8250:0.1");
    t.Link(legacy + "/driver", "sys/bus/serial-base/drivers/port");
    t.Tty("ttyS1", legacy, "0");
    t.Tty("tty0", "");

    const std::string byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    setenv("SERTRA_COM1", byId.c_str(), 1);
    for (const char* name : {"SERTRA_COM2", "SERTRA_COM3", "SERTRA_COM4"}) unsetenv(name);
    // COM1 by its by-id name; COM2 and COM3 counted (ttyUSB2, ttyUSB10, ttyS0); COM4 would be the UART-less ttyS1.
    EXPECT_EQ(Lines(devices::ListSerialPorts(t.root())),
              std::vector<std::string>({
                  "/dev/ttyS0 driver=serial com=3,",
                  "/dev/ttyUSB2 driver=pl2303 com= usb=067b:2303|Prolific Technology Inc.|USB-Serial Controller|",
                  "/dev/ttyUSB10 driver=ftdi_sio com=1,2, usb=0403:6001|FTDI|FT232R USB UART|A50285BI " + byId,
              }));

    // A console is still listed, flagged, and no COM name counts it.
    t.Dir("sys/class/tty/console", {{"active", "tty0 ttyS0"}});
    const std::vector<std::string> lines = Lines(devices::ListSerialPorts(t.root()));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "/dev/ttyS0 driver=serial com= console");
    unsetenv("SERTRA_COM1");
}

// Root may open anything: the listing runs as nobody.
TEST(SerialPorts, aPortTheUserMayNotOpenIsFlagged) {
    if (geteuid() != 0) GTEST_SKIP() << "only root can hand the device to another owner and become nobody";
    const int dialout = test_support::GroupId("dialout");
    if (dialout < 0) GTEST_SKIP() << "this system has no group dialout";
    FakeTree t;
    const std::string uart = t.Dir("sys/devices/pnp0/00:00");
    t.Link(uart + "/driver", "sys/bus/pnp/drivers/serial");
    t.Tty("ttyS0", uart, "4");
    const std::string adapter = t.Dir("sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/ttyUSB0");
    t.Link(adapter + "/driver", "sys/bus/usb-serial/drivers/ftdi_sio");
    t.Tty("ttyUSB0", adapter);
    // Only the devices' own modes may keep nobody out.
    ASSERT_EQ(chmod(t.root().c_str(), 0755), 0);
    ASSERT_EQ(chmod((t.root() + "/dev/ttyS0").c_str(), 0666), 0);
    ASSERT_EQ(chown((t.root() + "/dev/ttyUSB0").c_str(), 0, static_cast<gid_t>(dialout)), 0);
    ASSERT_EQ(chmod((t.root() + "/dev/ttyUSB0").c_str(), 0660), 0);

    for (const char* name : {"SERTRA_COM1", "SERTRA_COM2", "SERTRA_COM3", "SERTRA_COM4"}) unsetenv(name);
    const test_support::CommandResult r = test_support::RunAsNobody([&] {
        for (const std::string& line : Lines(devices::ListSerialPorts(t.root()))) std::printf("%s\n", line.c_str());
        return 0;
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "/dev/ttyS0 driver=serial com=2,\n/dev/ttyUSB0 driver=ftdi_sio com=1, no-permission\n");
}

TEST(SerialPorts, naturalOrderComparesNumbersByValue) {
    EXPECT_TRUE(devices::NaturalLess("/dev/ttyUSB2", "/dev/ttyUSB10"));
    EXPECT_FALSE(devices::NaturalLess("/dev/ttyUSB10", "/dev/ttyUSB2"));
    EXPECT_TRUE(devices::NaturalLess("/dev/ttyS31", "/dev/ttyUSB0"));
    EXPECT_TRUE(devices::NaturalLess("port1", "port01"));  // equal values: the shorter first
    EXPECT_TRUE(devices::NaturalLess("tty", "tty0"));
    EXPECT_FALSE(devices::NaturalLess("ttyUSB3", "ttyUSB3"));
}

}  // namespace
