#include "files/location.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "files/whole_file.h"

namespace files {
namespace {

std::string WithSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

bool MakeDirs(const std::string& dir) {
    for (size_t i = 1; i <= dir.size(); ++i) {
        if (i != dir.size() && dir[i] != '/') continue;
        std::string part = dir.substr(0, i);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    struct stat st;
    return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

Places CurrentPlaces() {
    Places p;
    p.programDir = ProgramDir();
    p.programDirWritable = ::access(p.programDir.c_str(), W_OK) == 0;
    p.userDir = UserDir();
    return p;
}

}  // namespace

std::string ExecutableDir() {
    char buf[4096];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "./";
    std::string path(buf, static_cast<size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

std::string ProgramDir() {
    std::string home = Env("SONMIRA_HOME");
    return home.empty() ? ExecutableDir() : WithSlash(home);
}

std::string UserDir() {
    std::string base = Env("XDG_CONFIG_HOME");
    // Relative XDG paths are to be ignored.
    if (base.empty() || base.front() != '/') {
        std::string home = Env("HOME");
        if (home.empty()) {
            if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) home = pw->pw_dir;
        }
        if (home.empty()) return "";
        base = WithSlash(home) + ".config";
    }
    return WithSlash(base) + "sonmira/";
}

std::string ReadPathIn(const Places& places, std::string_view name) {
    std::string beside = places.programDir + std::string(name);
    if (places.programDirWritable || places.userDir.empty()) return beside;
    std::string own = places.userDir + std::string(name);
    return files::Exists(own) ? own : beside;
}

std::string WritePathIn(const Places& places, std::string_view name) {
    std::string beside = places.programDir + std::string(name);
    if (places.programDirWritable || places.userDir.empty()) return beside;
    std::string own = places.userDir + std::string(name);
    if (files::Exists(own)) return own;
    if (!MakeDirs(places.userDir)) return beside;
    std::string seed;
    if (files::Read(beside, 64u << 20, &seed) == files::kFileOk && files::WriteAtomically(own, seed) != files::kFileOk)
        return beside;
    return own;
}

std::string DataFilePath(std::string_view name) { return ReadPathIn(CurrentPlaces(), name); }

std::string WritableFilePath(std::string_view name) { return WritePathIn(CurrentPlaces(), name); }

}  // namespace files
