#include "progress_line.h"

#include <cstdio>

namespace cli {

std::string ProgressCount(int32_t position, int32_t max, const std::string& unit) {
    return std::to_string(position) + "/" + std::to_string(max) + (unit.empty() ? "" : " " + unit);
}

std::string ProgressPrefix(int32_t position, int32_t max, const std::string& unit) {
    return "[" + ProgressCount(position, max, unit) + "] ";
}

bool ParseProgressPrefix(const std::string& line, int64_t* position, int64_t* max, size_t* textAt) {
    long long p = 0, m = 0;
    int used = 0;
    if (std::sscanf(line.c_str(), "[%lld/%lld " SONMIRA_RUN_UNIT "] %n", &p, &m, &used) != 2 || used == 0) return false;
    *position = p;
    *max = m;
    *textAt = static_cast<size_t>(used);
    return true;
}

namespace {
constexpr char kVerifying[] = "verifying row ";
}

std::string VerifyingLine(int row, const std::string& name) { return kVerifying + std::to_string(row) + " " + name; }

bool IsVerifyingLine(const std::string& line) { return line.rfind(kVerifying, 0) == 0; }

}  // namespace cli
