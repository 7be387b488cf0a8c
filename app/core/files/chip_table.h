// The chip table "sound.dat": one line per chip with its timing and capacity.
//
// Format: 8-bit text, lines end with CR LF (a lone CR or LF is field content),
// the first line is a header and is ignored, every field is followed by a
// comma: code, name, step length (ms per address), last address, address
// scale, lowest start address, capacity (ms). Numbers are decimal or
// hexadecimal with "$"/"0x". Fields after the seventh are ignored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace files {

inline constexpr const char* kChipTableFileName = "sound.dat";

// The current chip parameters, as the table gives them and as the list's
// address arithmetic uses them; the defaults are the values before any table was read.
struct ChipProfile {
    int32_t code = 0;           // handed to the driver with every request
    std::string name;           // UTF-8
    int32_t step = 125;         // ms of sound per chip address (S)
    int32_t lastAddress = 159;  // highest start address (0x9F)
    int32_t scale = 1;          // list start address -> chip start address factor (K)
    int32_t lowest = 0;         // lowest start address, the first under automatic addressing
    int32_t capacity = 0;       // ms the chip holds
};

enum : int {
    kChipFound = 0,
    kChipNotFound = 1,          // no line matched; the fields hold the last values read
    kChipTableMissing = 2,      // no file; the profile is unchanged
    kChipTableBadNumber = -1,   // a number field did not convert; the scan ended there
    kChipTableUnreadable = -2,  // could not be read, or larger than kMaxTableBytes; unchanged
};

// A field keeps its first kFieldMaxBytes bytes; the rest of a longer field is dropped.
inline constexpr size_t kFieldMaxBytes = 99;
inline constexpr size_t kMaxTableBytes = 16u << 20;

// Scans the table bytes for the line whose name equals chipName exactly
// (case and blanks count), storing each field into *profile as it is read:
// after the scan *profile holds the matching line's values, or, without a
// match, the last value read for each field. On kChipTableBadNumber *error is
// the conversion's message ("'x' is not a valid integer value").
int ScanChipTable(std::string_view table, std::string_view chipName, ChipProfile* profile, std::string* error);

// Reads the file at path and scans it; a missing file changes nothing.
int ReadChipProfile(const std::string& path, std::string_view chipName, ChipProfile* profile, std::string* error);

// Where the program reads its chip table.
std::string ChipTablePath();

}  // namespace files
