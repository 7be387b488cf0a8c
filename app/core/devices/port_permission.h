// A serial device this user may not open: the words both the port scan and
// the device listing give for it, naming the device's group and the way in.
#pragma once

#include <string>

namespace devices {

// Whether this user lacks read or write access to the device at `path`;
// false when there is nothing there.
bool LacksPermission(const std::string& path);

// What to tell a user who may not open the device at `path`, e.g. "no
// permission to open it (the device belongs to group dialout): sudo usermod
// -aG dialout $USER, then log in again". Without a group that grants read and
// write access (or with root's own group) it asks for the administrator
// instead. root: prefixed to `path` to read the device, as in ListSerialPorts.
std::string NoPermissionText(const std::string& path, const std::string& root = "");

}  // namespace devices
