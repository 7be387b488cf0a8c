// Initialization-file access, one key at a time, with the behaviour of the
// Windows private-profile functions: section and key names match without
// regard to ASCII case, a write changes one key and leaves every other byte of
// the file as it was, the first write creates a missing file or section, and a
// missing key reads as the caller's default.
//
// Files are GBK on disk; names and values are UTF-8 here. Blanks around
// names and values are not part of them, nor is one pair of matching quotes
// (' or ") around a value when reading; integers and booleans are read from
// that unquoted text. Writes put values down as given, quotes and all.
// Lines starting with ';' are comments.
// Where a section or key appears twice, the first one counts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace files {

enum : int {
    kIniOk = 0,
    kIniBadName = -1,   // empty name, or a name or value that would break the line structure
    kIniNotGbk = -2,    // the name or value has characters GBK cannot hold
    kIniTooLarge = -3,  // the file is larger than kMaxFileBytes; left alone
    kIniIoError = -4,   // the file could not be read or replaced (e.g. read-only)
};

// Larger files are not configuration files; they read as empty and are never rewritten.
inline constexpr size_t kMaxFileBytes = 16u << 20;

// The bytes of one file and an index of its sections and keys.
class CIniText {
public:
    explicit CIniText(std::string bytes = {});

    const std::string& Bytes() const { return bytes_; }

    // The value of the key, or nothing when the section or the key is missing.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;

    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    // Decimal, or hexadecimal with "$" or "0x"; the default when missing or not a number.
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
    // Read as an integer: 0 is false, any other number true.
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;

    // Sets one key, changing only its line (or adding one line, or a section
    // header and one line at the end). Returns kIniOk or kIniBadName/kIniNotGbk
    // with the bytes unchanged.
    int Write(std::string_view section, std::string_view key, std::string_view value);

private:
    struct Line {
        size_t begin;  // first byte
        size_t end;    // one past the last byte before the line end
        size_t next;   // first byte of the next line
        size_t eq;     // position of the first '=' in a key line
    };
    struct Section {
        size_t lastKey;                                // line index of the last key line, or of the header
        std::unordered_map<std::string, size_t> keys;  // folded name -> line index
        std::unordered_map<std::string, std::string> values;
    };

    void Index();
    const Section* FindSection(std::string_view section) const;

    std::string bytes_;
    std::vector<Line> lines_;
    std::vector<Section> sections_;
    std::unordered_map<std::string, size_t> sectionByName_;  // folded name -> first section
};

// A configuration file by its path. Every read and every write reads the file
// again, so changes by others are seen, as with the Windows functions.
class CIniFile {
public:
    explicit CIniFile(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }

    // The file as it is now; a missing, unreadable or oversized file is empty.
    CIniText Load() const;

    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;

    // Each write reaches the disk before it returns (temporary file, flush,
    // rename). A failure leaves the file as it was and returns a kIni* code.
    int WriteString(std::string_view section, std::string_view key, std::string_view value) const;
    int WriteInteger(std::string_view section, std::string_view key, int32_t value) const;
    // Written as "1" or "0".
    int WriteBool(std::string_view section, std::string_view key, bool value) const;

private:
    std::string path_;
};

}  // namespace files
