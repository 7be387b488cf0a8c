#include "test_files.h"

#include <dirent.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace test_support {

TempDir::TempDir(const std::string& prefix, const std::string& base) {
    const std::filesystem::path in =
        base.empty() ? std::filesystem::temp_directory_path() : std::filesystem::path(base);
    std::string tmpl = (in / (prefix + "-XXXXXX")).string();
    if (::mkdtemp(tmpl.data())) path_ = tmpl;
}

TempDir::~TempDir() {
    if (path_.empty()) return;
    // A test may have taken the owner's rights away to provoke a failure.
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
}

void WriteBytes(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int DescriptorsOn(const std::string& path) {
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

CommandResult RunCommand(const std::string& cmd) {
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
