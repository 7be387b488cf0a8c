#include "port_hold.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "port_choice.h"
#include "port_names.h"

namespace cli {

std::string PortDevicePath(const std::string& port) {
    if (const int n = ComNumber(port)) return sertra::PortPathFor(n);
    return port;
}

std::string PortUnavailableReason(const std::string& port) {
    const std::string path = PortDevicePath(port);
    if (path.empty()) return "no device for this port";
    // Non-blocking, and not as the controlling terminal: only a look.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return "no device at " + path;
        if (errno == EBUSY) return path + " is held by another program";
        return path + " could not be opened: " + std::strerror(errno);
    }
    std::string reason;
    if (!::isatty(fd)) {
        reason = path + " is not a serial device";
    } else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        reason = errno == EWOULDBLOCK ? path + " is held by another program"
                                      : path + " could not be locked: " + std::strerror(errno);
    }
    ::close(fd);  // the lock, if taken, goes with it
    return reason;
}

}  // namespace cli
