// The one trace line of the programming run goes to the platform's debug
// output. On Linux that is standard error, and only while SONMIRA_DEBUG is
// set to something other than "" or "0", so a normal run stays quiet.
#pragma once

#include <string>

namespace runs {

// True when the debug output is switched on (read on every call, so a test
// or a user can switch it while the program runs).
bool Enabled();

// One line to the debug output (a line feed is added); nothing when off.
void Output(const std::string& line);

// printf-style form of Output.
void Outputf(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace runs
