#include "browser/volumes.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace browser {

namespace {

// Mount points escape blanks, tabs, new lines and backslashes as \ooo.
std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '3') {
            out += static_cast<char>((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

}  // namespace

std::string WithSeparator(const std::string& path) {
    if (!path.empty() && path.back() == '/') return path;
    return path + "/";
}

std::vector<Volume> VolumesFromMounts(const std::string& mounts, const std::string& home) {
    std::vector<Volume> v{{kRootLabel, "/"}};
    if (!home.empty() && home != "/") v.push_back({kHomeLabel, WithSeparator(home)});
    std::istringstream in(mounts);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string device, point;
        if (!(fields >> device >> point)) continue;
        point = Unescape(point);
        if (!StartsWith(point, "/media/") && !StartsWith(point, "/run/media/") && !StartsWith(point, "/mnt/")) continue;
        const std::string root = WithSeparator(point);
        bool known = false;
        for (const Volume& have : v) known = known || have.root == root;
        if (known) continue;
        v.push_back({point.substr(point.find_last_of('/') + 1), root});
    }
    return v;
}

std::vector<Volume> MountedVolumes() {
    std::ifstream f("/proc/self/mounts");
    std::stringstream text;
    text << f.rdbuf();
    const char* home = std::getenv("HOME");
    return VolumesFromMounts(text.str(), home ? home : "");
}

int VolumeOf(const std::vector<Volume>& volumes, const std::string& path) {
    const std::string p = WithSeparator(path);
    int best = -1;
    for (size_t i = 0; i < volumes.size(); ++i)
        if (StartsWith(p, volumes[i].root) && (best < 0 || volumes[i].root.size() > volumes[best].root.size()))
            best = static_cast<int>(i);
    return best;
}

bool ParentFolder(const std::vector<Volume>& volumes, const std::string& path, std::string* parent) {
    if (path.empty()) return false;
    const std::string p = WithSeparator(path);
    for (const Volume& v : volumes)
        if (v.root == p) {
            parent->clear();
            return true;
        }
    std::string up = p.substr(0, p.size() - 1);
    const size_t slash = up.find_last_of('/');
    *parent = slash == std::string::npos ? std::string() : WithSeparator(up.substr(0, slash + 1));
    return true;
}

}  // namespace browser
