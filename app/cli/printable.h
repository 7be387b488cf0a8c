// Names from files and projects as sonmira-cli prints them: a newline, tab
// or NUL inside a name would break the one-line-per-entry output that
// scripts read, so control characters are shown escaped.
#pragma once

#include <string>

namespace cli {

// `text` with each control character (below 0x20, and 0x7F) written as \t, \n,
// \r or \xHH; every other byte as it is.
std::string Printable(const std::string& text);

}  // namespace cli
