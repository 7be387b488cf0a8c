#include "list/project_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "text/numbers.h"
#include "text/text_codec.h"
#include "files/whole_file.h"

namespace list {

std::string Today() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[16];
    std::strftime(buf, sizeof buf, "%Y%m%d", &tm);
    return buf;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

namespace {

bool AppendField(std::string* out, const std::string& utf8, std::string* bad_field) {
    if (!list::Storable(utf8)) {
        if (bad_field) *bad_field = utf8;
        return false;
    }
    out->append(text::ToGbk(utf8));
    out->push_back(',');
    return true;
}

}  // namespace

Result Build(const list::ProgrammingList& list, const Header& header, const std::string& date8, std::string* bytes,
             std::string* bad_field) {
    std::string out;
    if (!AppendField(&out, kVersion, bad_field) || !AppendField(&out, date8, bad_field) ||
        !AppendField(&out, kMagic, bad_field) || !AppendField(&out, header.programmer, bad_field) ||
        !AppendField(&out, header.chip, bad_field))
        return kProjectUnstorable;
    out += "\r\n";
    for (int r = 1; r <= list::kRows && list.IsUsed(r); ++r) {
        for (int c = list::kColFlag; c < list::kCols; ++c)
            if (!AppendField(&out, list.Cell(r, c), bad_field)) return kProjectUnstorable;
        out += "\r\n";
    }
    *bytes = std::move(out);
    return kProjectOk;
}

Result Write(const std::string& path, const list::ProgrammingList& list, const Header& header, const std::string& date8,
             std::string* bad_field) {
    std::string bytes;
    if (Result r = Build(list, header, date8, &bytes, bad_field); r != kProjectOk) return r;
    if (path.empty()) return kProjectWriteFailed;
    // Temporary file beside the target, synced, then renamed over it: a crash
    // or a full disk keeps the old file whole.
    return files::WriteAtomically(path, bytes) == files::kFileOk ? kProjectOk : kProjectWriteFailed;
}

Result Parse(std::string_view bytes, list::ProgrammingList* list, Header* header, std::string* bad_text,
             const std::function<bool(const std::string&)>& file_exists) {
    using namespace list;
    std::string field;
    int field_no = 0;
    int line = 0;  // 0 = header; data line n fills row n
    int row = 0;   // rows filled so far (blank lines do not count)
    for (size_t i = 0; i < bytes.size(); ++i) {
        char b = bytes[i];
        if (b == ',') {
            std::string t = text::FromGbk(field);
            if (line == 0) {
                if (field_no == 3) header->programmer = t;
                if (field_no == 4) header->chip = t;
            } else if (row + 1 <= kRows) {
                int r = row + 1;
                if (field_no == 0) {
                    int32_t flag = 0;
                    if (!text::TryStrToInt(t, &flag)) {
                        if (bad_text) *bad_text = t;
                        return kProjectBadFlag;
                    }
                    list->SetCell(r, kColFlag, t);
                    list->SetCell(r, kColFlagText, flag == 1 ? kYes : kNo);
                } else if (field_no >= 2 && field_no <= 8) {
                    list->SetCell(r, field_no + 1, t);
                } else if (field_no == 9) {
                    bool exists = file_exists ? file_exists(t) : false;
                    list->SetCell(r, kColPath, t);
                    list->SetCell(r, kColShownPath, exists ? t : kFileDeleted);
                }
            }
            ++field_no;
            field.clear();
        } else if (b == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            if (line > 0 && !(field_no == 0 && field.empty()) && row < kRows) {
                ++row;
                list->SetCell(row, kColRow, std::to_string(row));
            }
            if (line == 0) line = 1;
            field_no = 0;
            field.clear();
            ++i;
        } else {
            field.push_back(b);
        }
    }
    return kProjectOk;
}

namespace {

// At least five fields, the last of them followed by a comma.
bool IsHeaderLine(std::string_view line) {
    constexpr size_t kHeaderFields = 5;
    return !line.empty() && line.back() == ',' &&
           static_cast<size_t>(std::count(line.begin(), line.end(), ',')) >= kHeaderFields;
}

}  // namespace

Incomplete CheckComplete(std::string_view bytes) {
    if (bytes.empty()) return Incomplete::Empty;
    // The header first: a file that is no project at all must say so, not
    // trip over its line ends.
    if (!IsHeaderLine(bytes.substr(0, bytes.find_first_of("\r\n")))) return Incomplete::NoHeader;
    int rows = 0;
    size_t from = 0;
    bool header = true;
    while (from < bytes.size()) {
        const size_t cr = bytes.find('\r', from);
        const size_t lf = bytes.find('\n', from);
        if (lf != std::string_view::npos && (cr == std::string_view::npos || lf < cr)) return Incomplete::LfWithoutCr;
        if (cr == std::string_view::npos) return Incomplete::UnendedLastLine;
        if (cr + 1 >= bytes.size() || bytes[cr + 1] != '\n') return Incomplete::CrWithoutLf;
        if (!header && cr > from && ++rows > list::kRows) return Incomplete::TooManyRows;
        header = false;
        from = cr + 2;
    }
    return Incomplete::No;
}

std::string IncompleteReason(Incomplete why) {
    switch (why) {
        case Incomplete::No: return "";
        case Incomplete::Empty: return "the file is empty";
        case Incomplete::NoHeader: return "no project header";
        case Incomplete::LfWithoutCr: return "a line ends in LF without CR";
        case Incomplete::CrWithoutLf: return "a line ends in CR without LF";
        case Incomplete::UnendedLastLine: return "bytes after the last CR LF";
        case Incomplete::TooManyRows:
            return "more than " + std::to_string(list::kRows) + " rows, the most a list holds";
    }
    return "";
}

std::string IncompleteReason(std::string_view bytes) { return IncompleteReason(CheckComplete(bytes)); }

Result Read(const std::string& path, list::ProgrammingList* list, Header* header, std::string* bad_text,
            Incomplete* incomplete) {
    std::string bytes;
    int rc = files::Read(path, kMaxFileBytes, &bytes);
    if (rc == files::kFileTooLarge) return kProjectTooLarge;
    if (rc != files::kFileOk) return kProjectNotFound;  // missing, not a regular file, or unreadable
    if (incomplete) *incomplete = CheckComplete(bytes);
    return Parse(bytes, list, header, bad_text, FileExists);
}

}  // namespace list
