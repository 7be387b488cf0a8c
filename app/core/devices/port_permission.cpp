#include "devices/port_permission.h"

#include <errno.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace devices {

namespace {

// The group's name, or its number when the group database does not know it
// (usermod takes either).
std::string GroupName(gid_t gid) {
    std::vector<char> buffer(4096);
    group entry{};
    group* found = nullptr;
    while (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == ERANGE && buffer.size() < (1u << 20))
        buffer.resize(buffer.size() * 2);
    return found != nullptr && found->gr_name != nullptr ? std::string(found->gr_name) : std::to_string(gid);
}

}  // namespace

bool LacksPermission(const std::string& path) {
    if (access(path.c_str(), R_OK | W_OK) == 0) return false;
    return errno == EACCES || errno == EPERM;
}

std::string NoPermissionText(const std::string& path, const std::string& root) {
    struct stat st {};
    // Joining root's group would hand out far more than one port.
    const bool groupOpens = stat((root + path).c_str(), &st) == 0 && st.st_gid != 0 &&
                            (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    if (!groupOpens) return "no permission to open it: ask the administrator for read and write access to the device";
    const std::string group = GroupName(st.st_gid);
    return "no permission to open it (the device belongs to group " + group + "): sudo usermod -aG " + group +
           " $USER, then log in again";
}

}  // namespace devices
