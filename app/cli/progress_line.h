// The progress of a run as sonmira-cli prints it off a terminal, one line per
// step: "[375/1625 ms] b.wav". The run prints it (run_terminal.cpp) and
// `line` reads its stations' runs by it (station_process.cpp), so both sides
// take the format from here.
#pragma once

#include <cstdint>
#include <string>

namespace cli {

// What a programming run's position counts; a literal too, so that the
// reader's scan format is checked when it is compiled.
#define SONMIRA_RUN_UNIT "ms"
inline constexpr char kRunUnit[] = SONMIRA_RUN_UNIT;

// "375/1625 ms" ("3/10" without a unit): the count, also beside the bar on a terminal.
std::string ProgressCount(int32_t position, int32_t max, const std::string& unit);

// "[375/1625 ms] ": what a plain progress line starts with; the text follows.
std::string ProgressPrefix(int32_t position, int32_t max, const std::string& unit);

// Reads the prefix of a progress line of a programming run (unit kRunUnit):
// true with the position, the maximum and where the text begins; false for
// any other line (a caption such as "编程结束").
bool ParseProgressPrefix(const std::string& line, int64_t* position, int64_t* max, size_t* textAt);

// "verifying row 2 fall.mp3": what a station's run of `line` prints before
// it listens to a segment, and how the board knows it.
std::string VerifyingLine(int row, const std::string& name);
bool IsVerifyingLine(const std::string& line);

}  // namespace cli
