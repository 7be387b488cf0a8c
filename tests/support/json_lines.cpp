#include "json_lines.h"

#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>

namespace test_support {

nlohmann::json JsonLine(const std::string& line) {
    try {
        return nlohmann::json::parse(line);
    } catch (const nlohmann::json::parse_error& e) {
        throw std::runtime_error("not a line of JSON: " + line + " (" + e.what() + ")");
    }
}

std::string JsonField(const std::string& line, const std::string& key) {
    const nlohmann::json j = JsonLine(line);
    if (!j.is_object()) return "";
    const auto at = j.find(key);
    if (at == j.end()) return "";
    return at->is_string() ? at->get<std::string>() : at->dump();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string l;
    while (std::getline(in, l))
        if (!l.empty()) out.push_back(l);
    return out;
}

std::vector<std::string> WholeLines(std::string text) {
    const size_t end = text.rfind('\n');
    text.resize(end == std::string::npos ? 0 : end + 1);
    return Lines(text);
}

}  // namespace test_support
