#include "runs/debug_trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace runs {

bool Enabled() {
    const char* v = std::getenv("SONMIRA_DEBUG");
    return v && *v && std::strcmp(v, "0") != 0;
}

void Output(const std::string& line) {
    if (!Enabled()) return;
    // One write per line, so lines from two threads never interleave.
    std::string out = line + "\n";
    std::fwrite(out.data(), 1, out.size(), stderr);
    std::fflush(stderr);
}

void Outputf(const char* format, ...) {
    if (!Enabled()) return;
    char buf[512];
    va_list ap;
    va_start(ap, format);
    std::vsnprintf(buf, sizeof buf, format, ap);
    va_end(ap);
    Output(buf);
}

}  // namespace runs
