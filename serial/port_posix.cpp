// POSIX termios half of CCommPort.
//
// Every wait is a poll() bounded by the caller's wait, so no call blocks past
// it; a wait that runs out simply stops the operation, and as reads copy
// only what has already arrived, nothing lands in a caller's buffer later.
#include "port_object.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <string>

#include "Commport.h"
#include "custom_speed.h"
#include "port_names.h"
#include "time_limit.h"

namespace sertra {

namespace {

// Unix98 pseudo-terminal slaves use majors 136..143; legacy BSD slaves use 3.
bool IsPtySlave(int fd) {
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return false;
    const unsigned int maj = major(st.st_rdev);
    return (maj >= 136 && maj <= 143) || maj == 3;
}

bool SpeedConstant(int32_t rate, speed_t* speed) {
    switch (rate) {
        case 1200: *speed = B1200; return true;
        case 2400: *speed = B2400; return true;
        case 4800: *speed = B4800; return true;
        case 9600: *speed = B9600; return true;
        case 19200: *speed = B19200; return true;
        case 38400: *speed = B38400; return true;
        case 57600: *speed = B57600; return true;
        case 115200: *speed = B115200; return true;
        default: return false;
    }
}

// Waits for events on fd until limit; returns revents, 0 on time-out, -1 on failure.
int PollUntil(int fd, short events, TimeLimit limit) {
    for (;;) {
        const int64_t left = TimeLimitRemainingNs(limit, MonotonicNowNs());
        timespec ts{static_cast<time_t>(left / 1000000000), static_cast<long>(left % 1000000000)};
        pollfd pfd{fd, events, 0};
        const int rc = ppoll(&pfd, 1, &ts, nullptr);
        if (rc > 0) return pfd.revents;
        if (rc == 0) return 0;
        if (errno != EINTR) return -1;
    }
}

// What an open() failure means for the user: nothing there, someone else has
// it, not theirs to open, or another reason.
int32_t OpenFailureFor(int error) {
    switch (error) {
        case EACCES:
        case EPERM: return SERTRA_OPEN_NO_PERMISSION;
        case ENOENT:
        case ENODEV:
        case ENXIO: return SERTRA_OPEN_NO_DEVICE;
        case EBUSY: return SERTRA_OPEN_BUSY;  // TIOCEXCL held by another opener
        default: return SERTRA_OPEN_FAILED;
    }
}

void SleepNs(int64_t ns) {
    timespec ts{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {}
}

}  // namespace

CCommPort::~CCommPort() { Close(); }

int32_t CCommPort::Open() {
    if (IsOpen()) return SERTRA_ERR_NOT_OPEN;

    const std::string path = PortPathFor(portNumber);
    if (path.empty()) return RecordOpen(SERTRA_ERR_OPEN, SERTRA_OPEN_NO_PATH, 0, path);
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        return RecordOpen(SERTRA_ERR_OPEN, OpenFailureFor(error), error, path);
    }
    // TIOCEXCL keeps other users out but not root; the lock covers every opener
    // that honours flock, this process included.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        close(fd);
        return RecordOpen(SERTRA_ERR_OPEN, error == EWOULDBLOCK ? SERTRA_OPEN_BUSY : SERTRA_OPEN_FAILED, error, path);
    }
    // A device that is no terminal has no line to size or set up.
    termios probe{};
    if (tcgetattr(fd, &probe) != 0) {
        const int error = errno;
        close(fd);
        return RecordOpen(SERTRA_ERR_BUFFERS, SERTRA_OPEN_NOT_TERMINAL, error, path);
    }
    ioctl(fd, TIOCEXCL);
    fd_ = fd;
    isPty_ = IsPtySlave(fd);
    ConfigureLine(baudRate, 8, Parity::None, 1);
    SetReadTimeout(0);
    return RecordOpen(SERTRA_OK, SERTRA_OPEN_DONE, 0, path);
}

void CCommPort::Close() {
    if (!IsOpen()) return;
    // Completed writes have drained, so a UART's queue only holds a cancelled
    // write; dropping it keeps close() from waiting on a stalled line. A pty
    // keeps its queue: those bytes are frames its peer has yet to read.
    if (!isPty_) tcflush(fd_, TCOFLUSH);
    ioctl(fd_, TIOCNXCL);
    close(fd_);
    fd_ = -1;
    isPty_ = false;
}

int32_t CCommPort::ConfigureLine(int32_t rate, int dataBits, Parity parity, int stopBits) {
    if (!IsOpen()) return SERTRA_ERR_NOT_OPEN;
    termios tio{};
    if (tcgetattr(fd_, &tio) != 0) return SERTRA_ERR_GET_STATE;

    // Binary frames: no line editing, echo, signals, CR/LF mapping or software
    // flow control (XON/XOFF would swallow bytes 0x11 and 0x13). Hardware flow
    // control and HUPCL stay as the device had them.
    tio.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY);
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB);
    tio.c_cflag |= CLOCAL | CREAD;
    switch (dataBits) {
        case 5: tio.c_cflag |= CS5; break;
        case 6: tio.c_cflag |= CS6; break;
        case 7: tio.c_cflag |= CS7; break;
        default: tio.c_cflag |= CS8; break;
    }
    if (parity == Parity::None) {
        tio.c_iflag &= ~INPCK;
    } else {
        tio.c_iflag |= INPCK;
        tio.c_cflag |= PARENB;
        if (parity == Parity::Odd) tio.c_cflag |= PARODD;
    }
    if (stopBits == 2) tio.c_cflag |= CSTOPB;
    // With VMIN 0 a read of an empty queue returns 0; VMIN 1 keeps 0 for hang-up
    // and lets O_NONBLOCK report an empty queue as EAGAIN.
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;

    speed_t speed = B9600;
    const bool standard = SpeedConstant(rate, &speed);
    if (standard) {
        cfsetispeed(&tio, speed);
        cfsetospeed(&tio, speed);
    }
    if (tcsetattr(fd_, TCSANOW, &tio) != 0) return SERTRA_ERR_SET_STATE;
    if (!standard && !SetCustomSpeed(fd_, rate)) return SERTRA_ERR_SET_STATE;
    return SERTRA_OK;
}

int32_t CCommPort::SetReadTimeout(int32_t msPerByte) {
    if (!IsOpen()) return SERTRA_ERR_NOT_OPEN;
    readMsPerByte_ = msPerByte > 0 ? msPerByte : 0;
    return SERTRA_OK;
}

int32_t CCommPort::PurgePort() {
    if (!IsOpen()) return SERTRA_ERR_NOT_OPEN;
    return tcflush(fd_, TCIFLUSH) == 0 ? SERTRA_OK : SERTRA_ERR_PURGE;
}

int32_t CCommPort::WritePort(const uint8_t* buffer, int32_t length, int32_t* written, int64_t waitMs) {
    int32_t local = 0;
    int32_t& count = written != nullptr ? *written : local;
    count = 0;
    if (!IsOpen()) return SERTRA_ERR_NOT_OPEN;
    if (length < 0 || (length > 0 && buffer == nullptr)) return SERTRA_ERR_WRITE;

    const TimeLimit limit = TimeLimitStart(MonotonicNowNs(), waitMs);
    while (count < length) {
        const ssize_t n = write(fd_, buffer + count, static_cast<size_t>(length - count));
        if (n > 0) {
            count += static_cast<int32_t>(n);
            NoteSent(static_cast<int32_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return SERTRA_ERR_WRITE;
        const int revents = PollUntil(fd_, POLLOUT, limit);
        if (revents <= 0 || (revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            if (!isPty_) tcflush(fd_, TCOFLUSH);
            return SERTRA_ERR_WRITE;
        }
    }

    // On a pty the bytes accepted by write() already sit in the peer's input:
    // they are sent, however late the peer reads them.
    if (isPty_) return SERTRA_OK;
    // On a UART the write is done when the output queue has drained.
    for (;;) {
        int queued = 0;
        if (ioctl(fd_, TIOCOUTQ, &queued) != 0 || queued <= 0) return SERTRA_OK;
        const int64_t now = MonotonicNowNs();
        if (TimeLimitExpired(limit, now)) {
            tcflush(fd_, TCOFLUSH);
            return SERTRA_ERR_WRITE;
        }
        // About the time the queued bytes need on the line, at least 100 us.
        int64_t pause = int64_t{queued} * 10 * 1000000000 / (baudRate > 0 ? baudRate : kDefaultBaud);
        if (pause < 100000) pause = 100000;
        const int64_t left = TimeLimitRemainingNs(limit, now);
        SleepNs(pause < left ? pause : left);
    }
}

int32_t CCommPort::ReadPort(uint8_t* buffer, int32_t length, int32_t* read, int64_t waitMs) {
    int32_t local = 0;
    int32_t& count = read != nullptr ? *read : local;
    count = 0;
    if (!IsOpen()) return SERTRA_ERR_NOT_OPEN;
    if (length < 0 || (length > 0 && buffer == nullptr)) return SERTRA_ERR_READ_START;

    const int64_t start = MonotonicNowNs();
    const TimeLimit wait = TimeLimitStart(start, waitMs);
    // The read time-out ends a read early as a success (short count); when it
    // would end no sooner than the caller's wait, the wait wins and the read fails.
    const bool hasReadTimeout = readMsPerByte_ > 0 && int64_t{readMsPerByte_} * length < kMaxWaitMs;
    const TimeLimit readLimit = hasReadTimeout ? TimeLimitStart(start, int64_t{readMsPerByte_} * length) : wait;
    const bool readEndsFirst = hasReadTimeout && readLimit.endNs < wait.endNs;
    const TimeLimit limit = TimeLimitEarlier(readLimit, wait);

    while (count < length) {
        const ssize_t n = ::read(fd_, buffer + count, static_cast<size_t>(length - count));
        if (n > 0) {
            NoteReceived(buffer + count, static_cast<int32_t>(n));
            count += static_cast<int32_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return SERTRA_ERR_READ_RESULT;
        // n == 0 is an empty queue under VMIN 0 or a hang-up; poll() tells which.
        const int revents = PollUntil(fd_, POLLIN, limit);
        if (revents < 0) return SERTRA_ERR_READ_WAIT;
        if (revents == 0) {
            NoteReplyTimeout();
            return readEndsFirst ? SERTRA_OK : SERTRA_ERR_READ_TIMEOUT;
        }
        if ((revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) return SERTRA_ERR_READ_RESULT;
    }
    return SERTRA_OK;
}

int32_t CCommPort::WaitForReceive(int64_t waitMs) {
    if (!IsOpen()) return SERTRA_ERR_NOT_OPEN;
    const int revents = PollUntil(fd_, POLLIN, TimeLimitStart(MonotonicNowNs(), waitMs));
    if (revents == 0) NoteReplyTimeout();
    if (revents <= 0 || (revents & POLLIN) == 0) return SERTRA_ERR_RECEIVE_WAIT;
    // A hung-up device reports itself readable; only real bytes count.
    if ((revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
        int waiting = 0;
        if (ioctl(fd_, FIONREAD, &waiting) != 0 || waiting <= 0) return SERTRA_ERR_RECEIVE_WAIT;
    }
    return SERTRA_OK;
}

int32_t CCommPort::InputWaiting(int32_t* count) {
    *count = 0;
    if (!IsOpen()) return SERTRA_ERR_NOT_OPEN;
    int waiting = 0;
    if (ioctl(fd_, FIONREAD, &waiting) != 0) return SERTRA_ERR_READ_START;
    *count = waiting;
    return SERTRA_OK;
}

int32_t CCommPort::SetModemLine(ModemLine line, bool raise) {
    if (!IsOpen()) return 0;
    int bits = line == ModemLine::Dtr ? TIOCM_DTR : TIOCM_RTS;
    return ioctl(fd_, raise ? TIOCMBIS : TIOCMBIC, &bits) == 0 ? 1 : 0;
}

}  // namespace sertra
