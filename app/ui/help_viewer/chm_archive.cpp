#include "chm_archive.h"

#include <chm_lib.h>

#include <algorithm>
#include <cstring>

std::string ChmPath(const std::string& path) { return (!path.empty() && path[0] == '/') ? path : "/" + path; }

std::unique_ptr<ChmArchive> ChmArchive::Open(const std::string& path) {
    chmFile* file = chm_open(path.c_str());
    if (!file) return nullptr;
    std::unique_ptr<ChmArchive> archive(new ChmArchive(file));
    archive->ReadSystem();
    return archive;
}

ChmArchive::~ChmArchive() { chm_close(file_); }

std::optional<std::string> ChmArchive::Read(const std::string& path) const {
    const std::string wanted = ChmPath(path);
    chmUnitInfo unit{};
    if (chm_resolve_object(file_, wanted.c_str(), &unit) != CHM_RESOLVE_SUCCESS) return std::nullopt;
    std::string data(static_cast<size_t>(unit.length), '\0');
    if (unit.length == 0) return data;
    const LONGINT64 got =
        chm_retrieve_object(file_, &unit, reinterpret_cast<unsigned char*>(&data[0]), 0, (LONGINT64)unit.length);
    if (got <= 0) return std::nullopt;
    data.resize(static_cast<size_t>(got));
    return data;
}

namespace {

int CollectPage(chmFile*, chmUnitInfo* unit, void* context) {
    std::string path = unit->path;
    std::string lower = path;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    const auto endsWith = [&](const char* ext) {
        const size_t n = std::strlen(ext);
        return lower.size() > n && lower.compare(lower.size() - n, n, ext) == 0;
    };
    if (endsWith(".html") || endsWith(".htm")) static_cast<std::vector<std::string>*>(context)->push_back(path);
    return CHM_ENUMERATOR_CONTINUE;
}

}  // namespace

std::vector<std::string> ChmArchive::Pages() const {
    std::vector<std::string> pages;
    chm_enumerate(file_, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, CollectPage, &pages);
    std::sort(pages.begin(), pages.end());
    return pages;
}

// #SYSTEM: a 32-bit version, then records of a 16-bit code, a 16-bit length
// and that many bytes (little-endian). Code 0 names the contents file, 2 the
// default topic, 3 the title; the texts end in a NUL.
void ChmArchive::ReadSystem() {
    const std::optional<std::string> system = Read("/#SYSTEM");
    if (!system) return;
    const std::string& s = *system;
    const auto u16 = [&](size_t at) {
        return static_cast<size_t>(static_cast<unsigned char>(s[at]) | (static_cast<unsigned char>(s[at + 1]) << 8));
    };
    for (size_t at = 4; at + 4 <= s.size();) {
        const size_t code = u16(at), length = u16(at + 2);
        at += 4;
        if (at + length > s.size()) break;
        std::string text = s.substr(at, length);
        text.resize(std::strlen(text.c_str()));
        at += length;
        if (text.empty()) continue;
        if (code == 0) contentsFile_ = ChmPath(text);
        if (code == 2) defaultTopic_ = ChmPath(text);
        if (code == 3) title_ = text;
    }
}
