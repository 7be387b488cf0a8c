// The check sonmira-cli makes before it reads a project it will act on: the
// lenient reader would take a damaged file for a shorter list, and a command
// must not rewrite, program or play from that.
#pragma once

#include <string>

namespace cli {

// Prints "sonmira-cli COMMAND: FILE: WHY; CONSEQUENCE" to stderr and returns 1
// when `path` is missing, unreadable, above the size limit or not a whole
// project; 0 when it is whole. consequence: e.g. "nothing written".
int CheckWholeProject(const char* command, const std::string& path, const char* consequence);

}  // namespace cli
