// Files for tests: a fresh temporary folder that goes away with everything in
// it, whole-file reads and writes, and what this process holds open.
#pragma once

#include <dirent.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

namespace test_support {

class TempDir {
public:
    // base: the folder to make it in; empty for the system's temporary folder.
    explicit TempDir(const std::string& prefix = "sonmira-test", const std::string& base = "") {
        const std::filesystem::path in =
            base.empty() ? std::filesystem::temp_directory_path() : std::filesystem::path(base);
        std::string tmpl = (in / (prefix + "-XXXXXX")).string();
        if (::mkdtemp(tmpl.data())) path_ = tmpl;
    }
    ~TempDir() {
        if (path_.empty()) return;
        // A test may have taken the owner's rights away to provoke a failure.
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // Empty when the folder could not be made.
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The whole file; empty when it cannot be read.
inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// How many of this process's descriptors are open on the file at `path`:
// what the code under test holds of it, whatever other threads have open.
inline int DescriptorsOn(const std::string& path) {
    char resolved[PATH_MAX];
    const std::string want = realpath(path.c_str(), resolved) ? resolved : path;
    int n = 0;
    DIR* d = opendir("/proc/self/fd");
    if (!d) return -1;
    while (dirent* e = readdir(d)) {
        char target[PATH_MAX];
        const std::string link = std::string("/proc/self/fd/") + e->d_name;
        const ssize_t len = readlink(link.c_str(), target, sizeof target - 1);
        if (len <= 0) continue;
        target[len] = 0;
        if (want == target) ++n;
    }
    closedir(d);
    return n;
}

// Runs a shell command: its exit status (-1 when it did not exit normally or
// could not start) and what it printed on standard output.
struct CommandResult {
    int status = -1;
    std::string out;
};
inline CommandResult RunCommand(const std::string& cmd) {
    CommandResult r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

}  // namespace test_support
