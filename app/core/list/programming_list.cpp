#include "list/programming_list.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <ctime>

#include "text/numbers.h"
#include "text/text_codec.h"

namespace list {

const std::array<const char*, kCols> kHeaders = {
    "",          "IS 1 ",     " 是否编程",     " 编程地址",     " 结束地址", "       文件名称",
    " 长度(MS)", " 文件大小", "     文件类型", "     修改日期", "path",      "     文件路径"};

namespace {
const std::string kEmpty;
bool InRange(int row, int col) { return row >= 1 && row <= kRows && col >= 0 && col < kCols; }
}  // namespace

const std::string& ProgrammingList::Cell(int row, int col) const {
    return InRange(row, col) ? cells_[row][col] : kEmpty;
}

void ProgrammingList::SetCell(int row, int col, std::string text) {
    if (InRange(row, col)) cells_[row][col] = std::move(text);
}

int ProgrammingList::UsedCount() const {
    int n = 0;
    while (n < kRows && IsUsed(n + 1)) ++n;
    return n;
}

int ProgrammingList::FirstFree() const {
    int n = UsedCount();
    return n < kRows ? n + 1 : 0;
}

void ProgrammingList::ClearRow(int row) {
    if (row < 1 || row > kRows) return;
    for (auto& c : cells_[row]) c.clear();
}

void ProgrammingList::Clear() {
    for (int r = 1; r <= kRows; ++r) ClearRow(r);
}

bool Storable(const std::string& utf8) {
    if (utf8.find_first_of(",\r\n") != std::string::npos) return false;
    bool lossless = true;
    text::ToGbk(utf8, &lossless);
    return lossless;
}

bool Storable(const FileFacts& f) {
    for (const std::string* t : {&f.name, &f.sizeText, &f.type, &f.timeText, &f.path})
        if (!Storable(*t)) return false;
    return true;
}

bool CellInt(const ProgrammingList& list, int row, int col, int32_t* value, std::string* bad_text) {
    const std::string& t = list.Cell(row, col);
    if (text::TryStrToInt(t, value)) return true;
    if (bad_text) *bad_text = t;
    return false;
}

namespace {

// Start address and length of the last used row; 0 and 0 for an empty list.
Status LastRowStartAndLength(const ProgrammingList& list, int32_t* start, int32_t* length, std::string* bad_text) {
    *start = 0;
    *length = 0;
    int last = list.UsedCount();
    if (last > 0 &&
        (!CellInt(list, last, kColStart, start, bad_text) || !CellInt(list, last, kColLength, length, bad_text)))
        return kListBadNumber;
    return kListOk;
}

}  // namespace

Status NextAutoStart(const ProgrammingList& list, const files::ChipProfile& chip, int64_t* start,
                     std::string* bad_text) {
    int32_t a = 0, l = 0;
    if (LastRowStartAndLength(list, &a, &l, bad_text) != kListOk) return kListBadNumber;
    *start = (a > 0 || l > 0) ? list::NextStart(a, l, chip) : chip.lowest;
    return kListOk;
}

void FillRow(ProgrammingList& list, int row, int64_t start, bool program, const FileFacts& f,
             const files::ChipProfile& chip) {
    list.SetCell(row, kColRow, std::to_string(row));
    list.SetCell(row, kColFlag, program ? "1" : "0");
    list.SetCell(row, kColFlagText, program ? kYes : kNo);
    list.SetCell(row, kColStart, list::Text(start));
    list.SetCell(row, kColEnd, list::Text(list::EndAddress(start, f.lengthMs, chip)));
    list.SetCell(row, kColName, f.name);
    list.SetCell(row, kColLength, std::to_string(f.lengthMs));
    list.SetCell(row, kColSize, f.sizeText);
    list.SetCell(row, kColType, f.type);
    list.SetCell(row, kColTime, f.timeText);
    list.SetCell(row, kColPath, f.path);
    list.SetCell(row, kColShownPath, f.path);
}

Status AppendAuto(ProgrammingList& list, const FileFacts& f, const files::ChipProfile& chip, std::string* bad_text) {
    if (!Storable(f)) return kListUnstorable;
    int row = list.FirstFree();
    if (row == 0) return kListFull;
    int64_t start = 0;
    if (Status s = NextAutoStart(list, chip, &start, bad_text); s != kListOk) return s;
    FillRow(list, row, start, true, f, chip);
    return kListOk;
}

namespace {

// True when every used row from `first` on has a length that converts; checked
// before any change so a damaged cell leaves the list untouched.
bool LengthsConvert(const ProgrammingList& list, int first, std::string* bad_text) {
    int32_t unused = 0;
    for (int r = first; r <= kRows && list.IsUsed(r); ++r)
        if (!CellInt(list, r, kColLength, &unused, bad_text)) return false;
    return true;
}

// Gives the used rows from `first` on the addresses that follow a segment at
// start a of length l, each after its predecessor. Lengths checked first.
void ReaddressFrom(ProgrammingList& list, int first, int64_t a, int32_t l, const files::ChipProfile& chip) {
    for (int r = first; r <= kRows && list.IsUsed(r); ++r) {
        a = list::NextStart(a, l, chip);
        CellInt(list, r, kColLength, &l, nullptr);
        list.SetCell(r, kColStart, list::Text(a));
        list.SetCell(r, kColEnd, list::Text(list::EndAddress(a, l, chip)));
    }
}

}  // namespace

Status DeleteRow(ProgrammingList& list, int row, bool auto_addressing, const files::ChipProfile& chip,
                 std::string* bad_text) {
    if (row < 1 || row > kRows || !list.IsUsed(row)) return kListOk;
    int64_t a = chip.lowest;
    int32_t l = 0;
    if (row > 1) {
        int32_t a32 = 0;
        if (!CellInt(list, row - 1, kColStart, &a32, bad_text) || !CellInt(list, row - 1, kColLength, &l, bad_text))
            return kListBadNumber;
        a = a32;
    }
    if (auto_addressing && !LengthsConvert(list, row + 1, bad_text)) return kListBadNumber;
    for (int b = row; b <= kRows; ++b) {
        if (b == kRows || !list.IsUsed(b + 1)) {
            list.ClearRow(b);
            break;
        }
        for (int c = kColFlag; c < kCols; ++c) list.SetCell(b, c, list.Cell(b + 1, c));
    }
    if (auto_addressing) ReaddressFrom(list, row, a, l, chip);
    return kListOk;
}

Status Readdress(ProgrammingList& list, int row, const files::ChipProfile& chip, std::string* bad_text) {
    int32_t a = 0, l = 0;
    if (!list.IsUsed(row)) return kListOk;
    if (!CellInt(list, row, kColStart, &a, bad_text) || !CellInt(list, row, kColLength, &l, bad_text) ||
        !LengthsConvert(list, row + 1, bad_text))
        return kListBadNumber;
    ReaddressFrom(list, row + 1, a, l, chip);
    return kListOk;
}

Status ComputeExtent(const ProgrammingList& list, const files::ChipProfile& chip, int64_t* extent,
                     std::string* bad_text) {
    int32_t a = 0, l = 0;
    if (LastRowStartAndLength(list, &a, &l, bad_text) != kListOk) return kListBadNumber;
    *extent = list.UsedCount() > 0 ? list::Extent(a, l, chip) : 0;
    return kListOk;
}

std::string SizeText(int64_t kilobytes) {
    char size[32];
    std::snprintf(size, sizeof size, "%dKB", static_cast<int>(kilobytes));
    return size;
}

std::string LowerExtension(const std::string& name) {
    size_t dot = name.rfind('.');
    if (dot == std::string::npos) return "";
    std::string ext = name.substr(dot);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

std::string TimeText(int64_t unix_seconds) {
    std::time_t t = static_cast<std::time_t>(unix_seconds);
    std::tm tm{};
    if (!localtime_r(&t, &tm)) return "";
    char buf[40];
    if (tm.tm_hour == 0 && tm.tm_min == 0 && tm.tm_sec == 0)
        std::strftime(buf, sizeof buf, "%Y-%m-%d", &tm);
    else
        std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    return buf;
}

bool LookUpFile(const std::string& path, const LengthQuery& length_of, FileFacts* facts) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name[0] == '.') return false;  // hidden files are not offered
    FileFacts f;
    f.name = name;
    f.sizeText = SizeText(st.st_size / 1024);
    f.type = LowerExtension(name);
    f.timeText = TimeText(st.st_mtime);
    f.path = path;
    f.lengthMs = length_of ? length_of(path).ms : 0;
    *facts = std::move(f);
    return true;
}

}  // namespace list
