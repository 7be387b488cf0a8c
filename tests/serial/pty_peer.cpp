#include "pty_peer.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <stdexcept>

namespace sertra_test {

PtyPair::PtyPair() {
    char name[128] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty failed");
    path_ = name;
    termios tio{};
    tcgetattr(slave_, &tio);
    cfmakeraw(&tio);
    tcsetattr(slave_, TCSANOW, &tio);
    tcgetattr(master_, &tio);
    cfmakeraw(&tio);
    tcsetattr(master_, TCSANOW, &tio);
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(slave_, F_SETFD, FD_CLOEXEC);
}

PtyPair::~PtyPair() {
    CloseMaster();
    CloseSlave();
}

void PtyPair::CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
}

void PtyPair::CloseSlave() {
    if (slave_ >= 0) close(slave_);
    slave_ = -1;
}

int64_t NowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t{ts.tv_sec} * 1000 + ts.tv_nsec / 1000000;
}

Bytes ReadBytes(int fd, size_t n, int waitMs) {
    Bytes out;
    const int64_t end = NowMs() + waitMs;
    while (out.size() < n) {
        const int64_t left = end - NowMs();
        if (left <= 0) break;
        pollfd pfd{fd, POLLIN, 0};
        if (poll(&pfd, 1, static_cast<int>(left)) <= 0 || (pfd.revents & POLLIN) == 0) break;
        uint8_t buf[512];
        const size_t want = n - out.size() < sizeof buf ? n - out.size() : sizeof buf;
        const ssize_t got = read(fd, buf, want);
        if (got <= 0) break;
        out.insert(out.end(), buf, buf + got);
    }
    return out;
}

Bytes ReadUntilQuiet(int fd, int quietMs) {
    Bytes out;
    for (;;) {
        pollfd pfd{fd, POLLIN, 0};
        if (poll(&pfd, 1, quietMs) <= 0 || (pfd.revents & POLLIN) == 0) return out;
        uint8_t buf[512];
        const ssize_t got = read(fd, buf, sizeof buf);
        if (got <= 0) return out;
        out.insert(out.end(), buf, buf + got);
    }
}

void WriteBytes(int fd, const Bytes& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw std::runtime_error("peer write failed");
        done += static_cast<size_t>(n);
    }
}

void FillQueue(int slaveFd) {
    const int flags = fcntl(slaveFd, F_GETFL);
    fcntl(slaveFd, F_SETFL, flags | O_NONBLOCK);
    uint8_t chunk[1024] = {};
    // The kernel moves queued bytes on to the master's read buffer a little
    // later, making room again; fill until a pause frees nothing more.
    for (;;) {
        size_t wrote = 0;
        ssize_t n;
        while ((n = write(slaveFd, chunk, sizeof chunk)) > 0) wrote += static_cast<size_t>(n);
        while ((n = write(slaveFd, chunk, 1)) > 0) wrote += static_cast<size_t>(n);
        if (wrote == 0) break;
        usleep(20000);
    }
    fcntl(slaveFd, F_SETFL, flags);
}

int CountOpenFds() {
    int count = 0;
    DIR* dir = opendir("/proc/self/fd");
    if (dir == nullptr) return -1;
    while (dirent* entry = readdir(dir))
        if (entry->d_name[0] != '.') ++count;
    closedir(dir);
    return count - 1;  // the directory's own descriptor
}

}  // namespace sertra_test
