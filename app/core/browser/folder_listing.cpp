#include "browser/folder_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <numeric>

#include "list/programming_list.h"

namespace browser {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void AppendCollated(std::string& key, std::string text, std::string& buf) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    size_t need = std::strxfrm(buf.data(), text.c_str(), buf.size());
    if (need >= buf.size()) {
        buf.resize(need + 1);
        need = std::strxfrm(buf.data(), text.c_str(), buf.size());
    }
    key.append(buf.data(), need);
}

std::string OrderKey(const std::string& name, std::string& buf) {
    // A digit run is 0x01, its length without leading zeros, its digits; a
    // text run is 0x02 and its collation key. Numbers so come before text,
    // and a shorter number before a longer one.
    std::string key;
    key.reserve(name.size() * 2 + 4);
    size_t i = 0;
    while (i < name.size()) {
        size_t j = i;
        if (IsDigit(name[i])) {
            while (j < name.size() && IsDigit(name[j])) ++j;
            size_t k = i;
            while (k + 1 < j && name[k] == '0') ++k;
            key += '\x01';
            key += static_cast<char>(std::min<size_t>(j - k, 255));
            key.append(name, k, j - k);
        } else {
            while (j < name.size() && !IsDigit(name[j])) ++j;
            key += '\x02';
            AppendCollated(key, name.substr(i, j - i), buf);
        }
        i = j;
    }
    return key;
}

}  // namespace

std::string NameOrderKey(const std::string& name) {
    std::string buf(256, '\0');
    return OrderKey(name, buf);
}

void SortEntries(std::vector<TFileEntry>& entries) {
    std::vector<std::string> keys(entries.size());
    std::string buf(256, '\0');
    for (size_t i = 0; i < entries.size(); ++i)
        keys[i] = (entries[i].isFolder ? "0" : "1") + OrderKey(entries[i].displayName, buf);
    std::vector<uint32_t> order(entries.size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        int c = keys[a].compare(keys[b]);
        return c != 0 ? c < 0 : entries[a].displayName < entries[b].displayName;
    });
    keys.clear();
    keys.shrink_to_fit();
    std::vector<TFileEntry> sorted;
    sorted.reserve(entries.size());
    for (uint32_t i : order) sorted.push_back(std::move(entries[i]));
    entries.swap(sorted);
}

int ReadFolder(const std::string& folder, std::vector<TFileEntry>* entries, bool folders_only) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        int e = errno;
        ::close(fd);
        return e;
    }
    std::vector<TFileEntry> list;
    for (;;) {
        errno = 0;
        const dirent* d = ::readdir(dir);
        if (!d) break;
        const char* name = d->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        TFileEntry e;
        e.displayName = name;
        if (d->d_type == DT_DIR) {
            e.isFolder = true;
        } else if (d->d_type == DT_UNKNOWN || d->d_type == DT_LNK) {
            // A link to a folder opens like one.
            struct stat st {};
            e.isFolder = ::fstatat(fd, name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        if (folders_only && !e.isFolder) continue;
        if (name[0] == '.') e.attributes = kHidden;
        list.push_back(std::move(e));
    }
    const int err = errno;
    ::closedir(dir);
    if (err != 0) return err;
    SortEntries(list);
    *entries = std::move(list);
    return 0;
}

void FetchEntryDetails(const std::string& path, TFileEntry& e) {
    e.needsDetails = false;
    e.attributes = !e.displayName.empty() && e.displayName[0] == '.' ? static_cast<uint32_t>(kHidden) : 0u;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return;
    e.size = static_cast<uint32_t>(static_cast<uint64_t>(st.st_size) & 0xFFFFFFFFu) / 1000u;
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode))
        e.attributes |= kSystem;
    if (S_ISREG(st.st_mode)) e.attributes |= kArchive;
    if (::access(path.c_str(), W_OK) != 0) e.attributes |= kReadOnly;
    if (st.st_mtime != 0) e.dateText = list::TimeText(st.st_mtime);
}

size_t FetchDetails(const std::string& folder, std::vector<TFileEntry>& entries, size_t first, size_t last) {
    if (first > last || last >= entries.size()) return 0;
    size_t fetched = 0;
    for (size_t i = first; i <= last; ++i) {
        if (!entries[i].needsDetails) continue;
        FetchEntryDetails(folder + entries[i].displayName, entries[i]);
        ++fetched;
    }
    return fetched;
}

std::string AttributeLetters(uint32_t attributes) {
    std::string s;
    if (attributes & kReadOnly) s += 'R';
    if (attributes & kHidden) s += 'H';
    if (attributes & kSystem) s += 'S';
    if (attributes & kArchive) s += 'A';
    return s;
}

std::string SizeColumnText(const TFileEntry& e) { return e.isFolder ? std::string() : list::SizeText(e.size); }

}  // namespace browser
