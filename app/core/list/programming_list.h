// The programming list: 160 rows of twelve text cells. The cells are the
// storage (UTF-8 in memory); the project file stores them verbatim and the
// programming run and playback parse them back. A row is used when its row
// number cell is not empty; used rows run contiguously from row 1.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "list/address_math.h"

namespace list {

inline constexpr int kRows = 160;  // rows 1..160 hold segments
inline constexpr int kCols = 12;

enum Col : int {
    kColRow = 0,        // row number "1".."160"; empty = free row
    kColFlag = 1,       // "1" program this segment, "0" skip it
    kColFlagText = 2,   // "是" / "否"
    kColStart = 3,      // "0X000A"
    kColEnd = 4,        // "0X0011"
    kColName = 5,       // file name without folder
    kColLength = 6,     // milliseconds, plain decimal
    kColSize = 7,       // "%dKB"
    kColType = 8,       // ".wav"
    kColTime = 9,       // modification time text
    kColPath = 10,      // full path
    kColShownPath = 11  // full path as shown, or "文件已删除"
};

inline constexpr const char* kYes = "是";
inline constexpr const char* kNo = "否";
inline constexpr const char* kFileDeleted = "文件已删除";

// Header texts of row 0 (column 0 has none).
extern const std::array<const char*, kCols> kHeaders;

class ProgrammingList {
public:
    // row 1..kRows, col 0..kCols-1; out-of-range reads give "" and writes are ignored.
    const std::string& Cell(int row, int col) const;
    void SetCell(int row, int col, std::string text);
    bool IsUsed(int row) const { return !Cell(row, kColRow).empty(); }
    // Number of used rows (scan from row 1 to the first free one).
    int UsedCount() const;
    // First free row, 0 when all 160 are used.
    int FirstFree() const;
    void ClearRow(int row);
    void Clear();

private:
    std::array<std::array<std::string, kCols>, kRows + 1> cells_{};  // row 0 unused
};

// Everything a new segment needs besides its addresses.
struct FileFacts {
    std::string name;      // file name without folder
    std::string sizeText;  // "%dKB"
    std::string type;      // lower-case extension with the dot, or ""
    std::string timeText;  // modification time text
    std::string path;      // full path
    int32_t lengthMs = 0;
};

// A length query's answer: the length in ms, or 0 and the audio result code
// that says why (audio::kAudioOk then: the file holds no sound).
struct Measured {
    int32_t ms = 0;
    int rc = 0;
};
// Length of an audio file.
using LengthQuery = std::function<Measured(const std::string& path)>;

// Result codes of the list operations.
enum Status : int {
    kListOk = 0,
    kListFileNotFound = 1,  // add: file not found (no message by design)
    kListFull = 2,          // add/drop: all 160 rows used
    kListBadNumber = 3,     // a cell that should hold a number does not; see bad_text
    kListUnstorable = 4,    // name/path holds a comma, a line break or a non-GBK character
    kListIgnored = 5,       // drop: no audio extension and no ".wav" twin
    kListNoSelection = 6,   // drop: nothing selected in the browser
    kListUnmeasurable = 7,  // add/drop: the file has no length (unreadable, not audio, or silent)
};

// True when a text survives the project file: no comma, CR or LF, and every
// character has a GBK form.
bool Storable(const std::string& utf8);

// True when every text of a new segment survives the project file.
bool Storable(const FileFacts& f);

// Reads a numeric cell (decimal or "0X" hex). False and *bad_text = the cell
// text when it does not convert.
bool CellInt(const ProgrammingList& list, int row, int col, int32_t* value, std::string* bad_text);

// Start of the next segment under automatic addressing: after the last used
// row when its start or length is above 0, else the chip's lowest address.
Status NextAutoStart(const ProgrammingList& list, const files::ChipProfile& chip, int64_t* start,
                     std::string* bad_text);

// Fills every cell of `row` for a segment starting at `start`.
void FillRow(ProgrammingList& list, int row, int64_t start, bool program, const FileFacts& f,
             const files::ChipProfile& chip);

// Appends one segment with automatic addressing into the first free row.
// kListFull, kListUnstorable or kListBadNumber leave the list unchanged.
Status AppendAuto(ProgrammingList& list, const FileFacts& f, const files::ChipProfile& chip, std::string* bad_text);

// Removes used row `row` and closes the gap (row numbers stay 1, 2, 3...).
// With automatic addressing the rows that move up are re-addressed from the
// row above (or the lowest address); without it they keep their addresses.
// kListBadNumber leaves the list unchanged.
Status DeleteRow(ProgrammingList& list, int row, bool auto_addressing, const files::ChipProfile& chip,
                 std::string* bad_text);

// Re-addresses the used rows after `row` so each follows its predecessor;
// only their start and end cells change.
Status Readdress(ProgrammingList& list, int row, const files::ChipProfile& chip, std::string* bad_text);

// List extent in ms from the last used row (0 for an empty list).
Status ComputeExtent(const ProgrammingList& list, const files::ChipProfile& chip, int64_t* extent,
                     std::string* bad_text);

// Add-file lookup: a regular, non-hidden (no leading '.') file. Size text is
// bytes div 1024 ("%dKB"); the time is local "yyyy-mm-dd hh:mm:ss", or only
// "yyyy-mm-dd" when the time of day is 00:00:00. Length through `length_of`.
bool LookUpFile(const std::string& path, const LengthQuery& length_of, FileFacts* facts);

// Size cell text: "%dKB".
std::string SizeText(int64_t kilobytes);

// Lower-case extension of a file name with its dot ("" when it has none).
std::string LowerExtension(const std::string& name);
// Local time text in the list's form (see LookUpFile).
std::string TimeText(int64_t unix_seconds);

}  // namespace list
