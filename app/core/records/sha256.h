// SHA-256, so a production record can name exactly which audio files and
// project went onto a chip. Computed by GLib's GChecksum.
#pragma once

#include <cstddef>
#include <string>

struct _GChecksum;  // GLib's GChecksum, kept out of the callers' includes

namespace records {

class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Update(const void* data, size_t n);
    // The digest of everything given so far, as 64 lowercase hex digits. The
    // object then starts afresh, ready for another message.
    std::string HexDigest();

private:
    _GChecksum* sum_;
};

std::string Sha256Hex(const std::string& bytes);

// The file's digest into *hex. Only a regular file is read (a FIFO would block
// the run, a device may never end). Returns a RecordResult; on failure *error
// is the reason without the path, e.g. "cannot be read: No such file or directory".
int Sha256OfFile(const std::string& path, std::string* hex, std::string* error);

}  // namespace records
