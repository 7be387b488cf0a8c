#include "port_names.h"

#include <dirent.h>
#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <utility>

namespace sertra {

namespace {

// Number after prefix when name is prefix followed by decimal digits only, else -1.
long NumberAfter(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return -1;
    if (name.size() - prefix.size() > 6) return -1;
    long value = 0;
    for (size_t i = prefix.size(); i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return -1;
        value = value * 10 + (name[i] - '0');
    }
    return value;
}

}  // namespace

std::string ResolvePortPath(int number, const char* envValue, const std::vector<std::string>& devEntries,
                            const std::vector<std::string>& excluded) {
    if (number < 1 || number > 4) return std::string();
    if (envValue != nullptr) return std::string(envValue);

    std::vector<std::string> candidates;
    for (const char* prefix : {"ttyUSB", "ttyACM", "ttyS"}) {
        std::vector<std::pair<long, std::string>> group;
        for (const std::string& entry : devEntries) {
            long n = NumberAfter(entry, prefix);
            if (n >= 0 && std::find(excluded.begin(), excluded.end(), entry) == excluded.end())
                group.emplace_back(n, entry);
        }
        std::sort(group.begin(), group.end());
        for (auto& item : group) candidates.push_back("/dev/" + item.second);
    }
    if (static_cast<size_t>(number) > candidates.size()) return std::string();
    return candidates[number - 1];
}

std::vector<std::string> ListDevEntries(const std::string& root) {
    std::vector<std::string> names;
    DIR* dir = opendir((root + "/dev").c_str());
    if (dir == nullptr) return names;
    while (dirent* entry = readdir(dir)) names.emplace_back(entry->d_name);
    closedir(dir);
    return names;
}

std::vector<std::string> ListExcludedDevices(const std::vector<std::string>& devEntries, const std::string& root) {
    std::vector<std::string> excluded;
    // A kernel console (on virtual machines often ttyS0) is never a module:
    // frames written there would land in the system log.
    std::ifstream consoles(root + "/sys/class/tty/console/active");
    std::string name;
    while (consoles >> name) excluded.push_back(name);
    // Most PCs list ttyS0..ttyS31 whatever the hardware; type 0 means no UART.
    for (const std::string& entry : devEntries) {
        if (NumberAfter(entry, "ttyS") < 0) continue;
        std::ifstream type(root + "/sys/class/tty/" + entry + "/type");
        int value = -1;
        if (type >> value && value == 0) excluded.push_back(entry);
    }
    return excluded;
}

std::string PortPathFor(int number, const std::string& root) {
    const std::string var = "SERTRA_COM" + std::to_string(number);
    const char* value = getenv(var.c_str());
    if (value != nullptr) return ResolvePortPath(number, value, {});
    const std::vector<std::string> entries = ListDevEntries(root);
    return ResolvePortPath(number, nullptr, entries, ListExcludedDevices(entries, root));
}

}  // namespace sertra
