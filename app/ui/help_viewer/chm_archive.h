// Read access to a compiled help file (CHM) through chmlib: its pages,
// pictures and style sheets by path, and what its #SYSTEM file says about it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct chmFile;

class ChmArchive {
public:
    // Null when the file cannot be opened or is not a help file.
    static std::unique_ptr<ChmArchive> Open(const std::string& path);
    ~ChmArchive();
    ChmArchive(const ChmArchive&) = delete;
    ChmArchive& operator=(const ChmArchive&) = delete;

    // The object at `path` ("/index.html"; a missing leading '/' is added),
    // or nullopt when the file holds none.
    std::optional<std::string> Read(const std::string& path) const;

    // Paths of the pages (.htm, .html) the file holds, sorted.
    std::vector<std::string> Pages() const;

    // From #SYSTEM, each with a leading '/', or empty when not given.
    const std::string& DefaultTopic() const { return defaultTopic_; }
    const std::string& ContentsFile() const { return contentsFile_; }
    const std::string& Title() const { return title_; }

private:
    explicit ChmArchive(chmFile* file) : file_(file) {}
    void ReadSystem();

    chmFile* file_;
    std::string defaultTopic_, contentsFile_, title_;
};

// A path inside the archive as chmlib wants it: with a leading '/'.
std::string ChmPath(const std::string& path);
