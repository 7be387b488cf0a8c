#include "files/ini_file.h"

#include <cstring>

#include "text/numbers.h"
#include "text/text_codec.h"
#include "files/whole_file.h"

namespace files {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// As Windows reads a value: one pair of matching quotes around it is not part of it.
std::string_view Unquote(std::string_view s) {
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        return s.substr(1, s.size() - 2);
    return s;
}

// ASCII case only: UTF-8 multi-byte sequences never hold ASCII bytes, so
// Chinese names are compared exactly.
std::string Fold(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool HasLineBreakOrNul(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != s.npos; }

bool ValidSectionName(std::string_view s) {
    return !s.empty() && Trim(s) == s && s.find(']') == s.npos && !HasLineBreakOrNul(s);
}

bool ValidKeyName(std::string_view s) {
    return !s.empty() && Trim(s) == s && s.find('=') == s.npos && s.front() != '[' && s.front() != ';' &&
           !HasLineBreakOrNul(s);
}

}  // namespace

CIniText::CIniText(std::string bytes) : bytes_(std::move(bytes)) { Index(); }

void CIniText::Index() {
    lines_.clear();
    sections_.clear();
    sectionByName_.clear();
    int current = -1;
    size_t pos = 0;
    while (pos < bytes_.size()) {
        const char* nl = static_cast<const char*>(std::memchr(bytes_.data() + pos, '\n', bytes_.size() - pos));
        size_t next = nl ? static_cast<size_t>(nl - bytes_.data()) + 1 : bytes_.size();
        size_t end = nl ? next - 1 : next;
        if (nl && end > pos && bytes_[end - 1] == '\r') --end;
        Line line{pos, end, next, 0};
        // Delimiters are ASCII below 0x40 except ']', which can be the second
        // byte of a GBK character: parse the decoded text.
        std::string text = text::FromGbk(std::string_view(bytes_).substr(pos, end - pos));
        std::string_view t = Trim(text);
        if (!t.empty() && t.front() == '[' && t.find(']') != t.npos) {
            std::string name = Fold(Trim(t.substr(1, t.find(']') - 1)));
            current = static_cast<int>(sections_.size());
            sections_.push_back(Section{lines_.size(), {}, {}});
            sectionByName_.emplace(std::move(name), current);
        } else if (const void* eq = std::memchr(bytes_.data() + pos, '=', end - pos);
                   eq && !t.empty() && t.front() != ';' && t.find('=') != t.npos) {
            // '=' is below every GBK trail byte, so the raw and decoded first '=' agree.
            line.eq = static_cast<size_t>(static_cast<const char*>(eq) - bytes_.data());
            if (current >= 0) {
                Section& s = sections_[static_cast<size_t>(current)];
                std::string key = Fold(Trim(t.substr(0, t.find('='))));
                if (s.keys.emplace(key, lines_.size()).second)
                    s.values.emplace(std::move(key), std::string(Unquote(Trim(t.substr(t.find('=') + 1)))));
                s.lastKey = lines_.size();
            }
        }
        lines_.push_back(line);
        pos = next;
    }
}

const CIniText::Section* CIniText::FindSection(std::string_view section) const {
    auto it = sectionByName_.find(Fold(section));
    return it == sectionByName_.end() ? nullptr : &sections_[it->second];
}

std::optional<std::string> CIniText::Find(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (!s) return std::nullopt;
    auto it = s->values.find(Fold(key));
    if (it == s->values.end()) return std::nullopt;
    return it->second;
}

std::string CIniText::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    auto v = Find(section, key);
    return v ? *v : std::string(def);
}

int32_t CIniText::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
    auto v = Find(section, key);
    int32_t n = 0;
    return v && text::TryStrToInt(*v, &n) ? n : def;
}

bool CIniText::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

int CIniText::Write(std::string_view section, std::string_view key, std::string_view value) {
    if (!ValidSectionName(section) || !ValidKeyName(key) || HasLineBreakOrNul(value)) return kIniBadName;
    bool lossless = true;
    std::string gbkSection = text::ToGbk(section, &lossless);
    std::string gbkKey = text::ToGbk(key, &lossless);
    std::string gbkValue = text::ToGbk(value, &lossless);
    if (!lossless) return kIniNotGbk;

    // New lines take the line end of their neighbour, else the file's first, else CR LF.
    std::string fileEnd = "\r\n";
    for (const Line& l : lines_) {
        if (l.next > l.end) {
            fileEnd = bytes_.substr(l.end, l.next - l.end);
            break;
        }
    }
    const Section* s = FindSection(section);
    if (!s) {
        std::string add;
        if (!bytes_.empty() && bytes_.back() != '\n') add += fileEnd;
        add += "[" + gbkSection + "]" + fileEnd + gbkKey + "=" + gbkValue + fileEnd;
        bytes_ += add;
    } else if (auto it = s->keys.find(Fold(key)); it != s->keys.end()) {
        const Line& l = lines_[it->second];
        bytes_.replace(l.eq + 1, l.end - (l.eq + 1), gbkValue);
    } else {
        const Line& after = lines_[s->lastKey];
        std::string add;
        std::string lineEnd = fileEnd;
        if (after.next == after.end)
            add += fileEnd;  // the last line had no line end
        else
            lineEnd = bytes_.substr(after.end, after.next - after.end);
        add += gbkKey + "=" + gbkValue + lineEnd;
        bytes_.insert(after.next, add);
    }
    Index();
    return kIniOk;
}

CIniText CIniFile::Load() const {
    std::string bytes;
    if (files::Read(path_, kMaxFileBytes, &bytes) != files::kFileOk) bytes.clear();
    return CIniText(std::move(bytes));
}

std::string CIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    return Load().ReadString(section, key, def);
}

int32_t CIniFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
    return Load().ReadInteger(section, key, def);
}

bool CIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return Load().ReadBool(section, key, def);
}

int CIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) const {
    std::string bytes;
    int rc = files::Read(path_, kMaxFileBytes, &bytes);
    if (rc == files::kFileTooLarge) return kIniTooLarge;
    if (rc != files::kFileOk && rc != files::kFileMissing) return kIniIoError;
    CIniText text(bytes);
    rc = text.Write(section, key, value);
    if (rc != kIniOk) return rc;
    return files::WriteAtomically(path_, text.Bytes()) == files::kFileOk ? kIniOk : kIniIoError;
}

int CIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) const {
    return WriteString(section, key, std::to_string(value));
}

int CIniFile::WriteBool(std::string_view section, std::string_view key, bool value) const {
    return WriteString(section, key, value ? "1" : "0");
}

}  // namespace files
