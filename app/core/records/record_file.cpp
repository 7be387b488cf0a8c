#include "records/record_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "records/record_result.h"

namespace records {
namespace {

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);  // also releases the lock
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

int CannotWrite(std::string* error) {
    *error = std::string("cannot be written: ") + std::strerror(errno);
    return kRecordCannotWrite;
}

// Opens into *fd (-1 on failure). Non-blocking, so that a FIFO with no reader
// fails at once (ENXIO) instead of hanging the station; it makes no difference
// to a regular file.
int OpenForAppend(const std::string& path, int* fd, std::string* error) {
    *fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
    if (*fd < 0) return CannotWrite(error);
    struct stat st;
    int rc = kRecordOk;
    if (::fstat(*fd, &st) != 0) {
        rc = CannotWrite(error);
    } else if (!S_ISREG(st.st_mode)) {
        *error = "is not a regular file";
        rc = kRecordNotRegularFile;
    }
    if (rc != kRecordOk) {
        ::close(*fd);
        *fd = -1;
    }
    return rc;
}

bool WriteAll(int fd, const char* p, size_t n) {
    while (n > 0) {
        ssize_t done = ::write(fd, p, n);
        if (done < 0 && errno == EINTR) continue;
        if (done < 0) return false;
        p += done;
        n -= static_cast<size_t>(done);
    }
    return true;
}

}  // namespace

int CheckRecordFile(const std::string& path, std::string* error) {
    error->clear();
    int raw;
    int rc = OpenForAppend(path, &raw, error);
    Fd fd(raw);
    return rc;
}

int AppendRecordLine(const std::string& path, const std::string& line, std::string* error) {
    error->clear();
    if (line.empty() || line.find('\n') != line.size() - 1) {
        *error = "is not one line ending in a newline";
        return kRecordBadLine;
    }
    int raw;
    if (int rc = OpenForAppend(path, &raw, error)) return rc;
    Fd fd(raw);
    int locked;
    do {
        locked = ::flock(fd.get(), LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) return CannotWrite(error);
    struct stat st;
    if (::fstat(fd.get(), &st) != 0) return CannotWrite(error);
    const off_t before = st.st_size;
    if (!WriteAll(fd.get(), line.data(), line.size()) || ::fdatasync(fd.get()) != 0) {
        const int reason = errno;
        // Still under the lock: nobody else has appended after our part line.
        int cut;
        do {
            cut = ::ftruncate(fd.get(), before);
        } while (cut != 0 && errno == EINTR);
        errno = reason;
        return CannotWrite(error);
    }
    ::flock(fd.get(), LOCK_UN);
    return kRecordOk;
}

}  // namespace records
