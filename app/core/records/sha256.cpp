#include "records/sha256.h"

#include <fcntl.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "records/record_result.h"

namespace records {

Sha256::Sha256() : sum_(g_checksum_new(G_CHECKSUM_SHA256)) {}

Sha256::~Sha256() { g_checksum_free(sum_); }

void Sha256::Update(const void* data, size_t n) {
    // GChecksum takes a signed length: hand it over in pieces it can hold.
    const auto* p = static_cast<const guchar*>(data);
    while (n > 0) {
        const size_t piece = std::min<size_t>(n, G_MAXSSIZE);
        g_checksum_update(sum_, p, static_cast<gssize>(piece));
        p += piece;
        n -= piece;
    }
}

std::string Sha256::HexDigest() {
    std::string hex = g_checksum_get_string(sum_);  // lowercase; closes the checksum
    g_checksum_reset(sum_);
    return hex;
}

std::string Sha256Hex(const std::string& bytes) {
    Sha256 sha;
    sha.Update(bytes.data(), bytes.size());
    return sha.HexDigest();
}

int Sha256OfFile(const std::string& path, std::string* hex, std::string* error) {
    hex->clear();
    error->clear();
    // Non-blocking open: a FIFO in the file's place must not hang the run.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        *error = std::string("cannot be read: ") + std::strerror(errno);
        return kRecordCannotRead;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        *error = std::string("cannot be read: ") + std::strerror(errno);
        ::close(fd);
        return kRecordCannotRead;
    }
    if (!S_ISREG(st.st_mode)) {
        *error = "is not a regular file";
        ::close(fd);
        return kRecordNotRegularFile;
    }
    Sha256 sha;
    std::vector<char> block(64 * 1024);
    for (;;) {
        ssize_t n = ::read(fd, block.data(), block.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            *error = std::string("cannot be read: ") + std::strerror(errno);
            ::close(fd);
            return kRecordCannotRead;
        }
        if (n == 0) break;
        sha.Update(block.data(), static_cast<size_t>(n));
    }
    ::close(fd);
    *hex = sha.HexDigest();
    return kRecordOk;
}

}  // namespace records
