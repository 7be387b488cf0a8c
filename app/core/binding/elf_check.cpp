#include "binding/elf_check.h"

#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

namespace binding {

namespace {

using Ehdr = ElfW(Ehdr);
using Phdr = ElfW(Phdr);

constexpr int kBits = __ELF_NATIVE_CLASS;
constexpr unsigned char kClass = kBits == 64 ? ELFCLASS64 : ELFCLASS32;
constexpr bool kLittle = __BYTE_ORDER == __LITTLE_ENDIAN;
constexpr unsigned char kData = kLittle ? ELFDATA2LSB : ELFDATA2MSB;

// EM_NONE where this build's machine is not listed: the loader then checks
// the machine itself (a wrong one is refused, it does not crash).
constexpr unsigned kMachine =
#if defined(__x86_64__)
    EM_X86_64;
#elif defined(__i386__)
    EM_386;
#elif defined(__aarch64__)
    EM_AARCH64;
#elif defined(__arm__)
    EM_ARM;
#elif defined(__riscv)
    EM_RISCV;
#elif defined(__powerpc64__)
    EM_PPC64;
#elif defined(__s390x__)
    EM_S390;
#else
    EM_NONE;
#endif

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// True when all `len` bytes at `offset` were read.
bool ReadAt(int fd, uint64_t offset, void* buf, size_t len) {
    char* p = static_cast<char*>(buf);
    while (len > 0) {
        const ssize_t n = pread(fd, p, len, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        len -= static_cast<size_t>(n);
        offset += static_cast<uint64_t>(n);
    }
    return true;
}

// Whether [offset, offset + len) lies inside a file of `size` bytes, without
// overflowing.
bool Inside(uint64_t offset, uint64_t len, uint64_t size) { return len <= size && offset <= size - len; }

std::string CutShort(const std::string& path, const char* what, uint64_t size) {
    return path + ": cut short: " + what + " lies past the file's end (" + std::to_string(size) + " bytes)";
}

}  // namespace

std::string ElfSharedObjectProblem(const std::string& path) {
    Fd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st;
    if (fd.get() < 0 || fstat(fd.get(), &st) != 0) return path + ": cannot be read: " + std::strerror(errno);
    if (!S_ISREG(st.st_mode)) return path + ": not a regular file";
    const uint64_t size = static_cast<uint64_t>(st.st_size);

    Ehdr eh;
    std::memset(&eh, 0, sizeof eh);
    if (size < SELFMAG || !ReadAt(fd.get(), 0, eh.e_ident, SELFMAG) || std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0)
        return path + ": not an ELF file";
    if (!ReadAt(fd.get(), 0, &eh, sizeof eh)) return CutShort(path, "the ELF header", size);
    const unsigned cls = eh.e_ident[EI_CLASS], data = eh.e_ident[EI_DATA];
    if (cls != kClass) {
        if (cls != ELFCLASS32 && cls != ELFCLASS64) return path + ": unknown ELF class " + std::to_string(cls);
        return path + ": a " + (cls == ELFCLASS64 ? "64" : "32") + "-bit library, this program is " +
               std::to_string(kBits) + "-bit";
    }
    if (data != kData) {
        if (data != ELFDATA2LSB && data != ELFDATA2MSB)
            return path + ": unknown ELF data encoding " + std::to_string(data);
        return path + ": a " + (kLittle ? "big" : "little") + "-endian library, this machine is " +
               (kLittle ? "little" : "big") + "-endian";
    }
    if (kMachine != EM_NONE && eh.e_machine != kMachine)
        return path + ": built for another machine (ELF machine " + std::to_string(eh.e_machine) +
               ", this program's is " + std::to_string(kMachine) + ")";
    if (eh.e_type != ET_DYN) return path + ": not a shared library (ELF type " + std::to_string(eh.e_type) + ")";

    if (eh.e_phentsize != sizeof(Phdr))
        return path + ": program header entries of " + std::to_string(eh.e_phentsize) + " bytes, expected " +
               std::to_string(sizeof(Phdr));
    // 16-bit count times 16-bit entry size: no overflow in 64 bits.
    const uint64_t phBytes = uint64_t{eh.e_phnum} * sizeof(Phdr);
    if (!Inside(eh.e_phoff, phBytes, size)) return CutShort(path, "the program header table", size);
    std::vector<Phdr> ph(eh.e_phnum);
    if (!ph.empty() && !ReadAt(fd.get(), eh.e_phoff, ph.data(), phBytes))
        return CutShort(path, "the program header table", size);
    for (const Phdr& p : ph)
        if (p.p_type == PT_LOAD && !Inside(p.p_offset, p.p_filesz, size))
            return CutShort(path, "a loadable segment", size);

    // With more sections than e_shnum holds, e_shnum is 0 and the count sits in
    // the first entry: that entry at least must be there.
    if (eh.e_shoff != 0) {
        const uint64_t shBytes = uint64_t{eh.e_shnum == 0 ? 1u : eh.e_shnum} * eh.e_shentsize;
        if (!Inside(eh.e_shoff, shBytes, size)) return CutShort(path, "the section header table", size);
    }
    return "";
}

}  // namespace binding
