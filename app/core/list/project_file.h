// The project file (.QWF): GBK text, CR LF line ends, a comma after every
// field. Header "V1.0,yyyymmdd,wendaloprist,programmer,chip,"; then one line
// per used row holding the list's columns 1 to 11.
//
// Differences from a naive reader/writer, on purpose:
// - fields and lines have no length limit (long paths survive a round trip);
// - a text that cannot be stored (comma, CR/LF, a character without a GBK
//   form) makes the writer refuse instead of writing a file that reads back wrong;
// - writing is atomic: a temporary file in the same folder, fsync, rename;
//   a failure is reported and leaves any existing file as it was.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "list/programming_list.h"

namespace list {

inline constexpr const char* kVersion = "V1.0";
inline constexpr const char* kMagic = "wendaloprist";
// Files above this size are refused: a full list with long paths is far smaller.
inline constexpr size_t kMaxFileBytes = 16u * 1024 * 1024;

enum Result : int {
    kProjectOk = 0,
    kProjectNotFound = 1,     // read: no such file (or not a readable regular file)
    kProjectBadFlag = 2,      // read: a program flag that is not a number; rows before it are loaded
    kProjectTooLarge = 3,     // read: file above kMaxFileBytes
    kProjectUnstorable = 4,   // write: a field holds a comma, CR/LF or a non-GBK character
    kProjectWriteFailed = 5,  // write: could not create, write, sync or rename
};

struct Header {
    std::string programmer;  // UTF-8
    std::string chip;        // UTF-8
};

// Today's local date as "yyyymmdd".
std::string Today();

// The file's bytes for `list` (used rows only). kProjectUnstorable and *bad_field
// (UTF-8) when a field cannot be stored faithfully.
Result Build(const list::ProgrammingList& list, const Header& header, const std::string& date8, std::string* bytes,
             std::string* bad_field);

// Writes atomically. A failure leaves an existing file untouched.
Result Write(const std::string& path, const list::ProgrammingList& list, const Header& header, const std::string& date8,
             std::string* bad_field = nullptr);

// Parses file bytes into `list`, which the caller has emptied. Header fields 3
// and 4 become the programmer and chip names. On data line n: field 0 -> flag
// and its 是/否 text, fields 2..8 -> columns 3..9, field 9 -> path and shown
// path (or "文件已删除" when `file_exists` says no); other fields are ignored.
// A CR LF numbers the row; a last line without one fills cells but no number.
// Blank lines are skipped; lines after row 160 are ignored.
// kProjectBadFlag: *bad_text is the flag text; rows before it stay loaded.
Result Parse(std::string_view bytes, list::ProgrammingList* list, Header* header, std::string* bad_text,
             const std::function<bool(const std::string&)>& file_exists);

// Why bytes are not a whole project as the writer makes them.
enum class Incomplete {
    No,               // a whole project
    Empty,            // no bytes at all
    NoHeader,         // the first line is not a project header
    LfWithoutCr,      // a line ends in LF alone
    CrWithoutLf,      // a line ends in CR alone
    UnendedLastLine,  // bytes after the last CR LF: the file was cut
    TooManyRows,      // more rows than the list holds
};

// Reads a file: kProjectNotFound, kProjectTooLarge, or Parse's result.
// incomplete (optional): CheckComplete of the bytes read.
Result Read(const std::string& path, list::ProgrammingList* list, Header* header, std::string* bad_text,
            Incomplete* incomplete = nullptr);

// A whole project has a header line, CR LF after every line and nothing after
// the last one, and no more rows than the list holds. The header is the first
// line with at least five fields, each followed by a comma; only the
// programmer and the chip (fields 3 and 4) are read from it, so neither the
// version nor the date nor the fixed word is tested (files that other
// versions wrote read alike). A tool that only adds to a project refuses to
// rewrite anything else: Parse reads such files leniently, and writing back
// what it read would lose the rest.
Incomplete CheckComplete(std::string_view bytes);

// The reason in words, for the command-line tool; empty for Incomplete::No.
std::string IncompleteReason(Incomplete why);
std::string IncompleteReason(std::string_view bytes);

// True when a regular file exists at `path`.
bool FileExists(const std::string& path);

}  // namespace list
