// Lines of JSON that the program and the simulator write (frame log, play
// log, production record), read with nlohmann-json.
#pragma once

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

namespace test_support {

// The JSON value of one line; a line that is no JSON throws, naming the line.
// (Where it is used, include <nlohmann/json.hpp>.)
nlohmann::json JsonLine(const std::string& line);

// Value of "key" in a one-line JSON object (read with nlohmann-json): a
// string as it reads once unescaped, any other value (a number, true, false,
// null) as its JSON text; empty when the object has no such key. A line that
// is no JSON at all throws, naming the line.
std::string JsonField(const std::string& line, const std::string& key);

// The non-empty lines of a text.
std::vector<std::string> Lines(const std::string& text);

// The non-empty lines of a file another process is appending to, without a
// last line it has not finished writing (no line feed yet).
std::vector<std::string> WholeLines(std::string text);

}  // namespace test_support
