// SHA-256 (FIPS 180-4), so a production record can name exactly which audio
// files and project went onto a chip. Written here because the program has no
// cryptography library and needs nothing else of one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace rec {

class Sha256 {
public:
    Sha256() { Reset(); }
    void Update(const void* data, size_t n);
    // The digest of everything given so far, as 64 lowercase hex digits. The
    // object then starts afresh, ready for another message.
    std::string HexDigest();

private:
    void Reset();
    void Block(const uint8_t* p);

    uint32_t h_[8];
    uint8_t buf_[64];
    size_t used_;      // bytes waiting in buf_
    uint64_t length_;  // message length in bytes
};

std::string Sha256Hex(const std::string& bytes);

// The file's digest into *hex. Only a regular file is read (a FIFO would block
// the run, a device may never end). Returns a RecordResult; on failure *error
// is the reason without the path, e.g. "cannot be read: No such file or directory".
int Sha256OfFile(const std::string& path, std::string* hex, std::string* error);

}  // namespace rec
