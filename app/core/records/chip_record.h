// The production record of one chip: what went onto it, from which files,
// at which station, and how it ended, as one line of JSON.
//
// Strings are JSON-escaped: '"' and '\\', control characters as \n \t \r \b \f
// or \u00XX. Valid UTF-8 (a Chinese programmer name) passes through unchanged.
// A byte that is not part of valid UTF-8 (a Linux path is any bytes) is
// written as \u00XX of its value, so the line stays valid JSON; a reader then
// sees that byte as the character U+00XX.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace records {

// What listening to the segment from the chip found (sonmira-cli program --verify).
struct VerifyRecord {
    bool ok = false;
    double similarity = 0;  // written with 3 decimals
    int64_t delay_ms = 0;
    double level_db = 0;  // 1 decimal
    int64_t head_missing_ms = 0, tail_missing_ms = 0;
    bool silent = false;
    double clipped = 0;  // share of samples at full scale, 4 decimals
};

struct SegmentRecord {
    int row = 0;
    std::string file;            // the audio file's path as played
    std::string sha256;          // empty: the file could not be read (written as null)
    int64_t start = 0, end = 0;  // chip addresses sent
    bool recorded = false;
    std::string reason;                  // why not recorded (written only when recorded is false)
    std::optional<VerifyRecord> verify;  // written only when the chip was verified
};

struct ChipRecord {
    std::chrono::system_clock::time_point time;  // when the chip ended
    std::string station, port, output;
    int round = 0;
    std::string project, project_sha256, programmer, chip;  // project_sha256 empty: written as null
    bool aux = false;
    std::string result;   // "ok", "failed" or "cancelled"
    std::string message;  // "" when ok
    int64_t duration_ms = 0;
    std::vector<SegmentRecord> segments;
};

// One JSON object without spaces, keys in a fixed order, ending in "\n".
std::string ChipRecordLine(const ChipRecord& r);

// Local time with milliseconds and the numeric offset from UTC,
// e.g. "2026-12-08T15:04:05.123+01:00" ("+00:00" in UTC).
std::string IsoTimeWithOffset(std::chrono::system_clock::time_point t);

}  // namespace records
