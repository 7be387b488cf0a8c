// The browser's namespace on Linux: a top level above the volumes' roots
// that lists the mounted volumes (the root file system, the home folder,
// removable media), each with the real folder tree below it. The top level's
// path is the empty text.
#pragma once

#include <string>
#include <vector>

namespace browser {

struct Volume {
    std::string label;
    std::string root;  // ends with '/'
};

inline constexpr const char* kRootLabel = "文件系统";
inline constexpr const char* kHomeLabel = "主文件夹";

// The volumes of a mount table in /proc/self/mounts form: "/" first, then
// `home` (when not empty), then the media mounted below /media, /run/media
// and /mnt, each labelled with its mount folder's name.
std::vector<Volume> VolumesFromMounts(const std::string& mounts, const std::string& home);
// The same for this machine's mount table and $HOME.
std::vector<Volume> MountedVolumes();

// The volume whose root holds `path` (the longest such root); -1 for none.
int VolumeOf(const std::vector<Volume>& volumes, const std::string& path);

// The path with separator: "/" stays "/", "/Audio" becomes "/Audio/".
std::string WithSeparator(const std::string& path);

// The folder one level up: the top level ("") at a volume's root; nothing to
// go up to at the top level (returns false).
bool ParentFolder(const std::vector<Volume>& volumes, const std::string& path, std::string* parent);

}  // namespace browser
