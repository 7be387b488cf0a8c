#include "modsim_options.h"

#include <errno.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

namespace modsim {

namespace {

bool ParseCount(const std::string& s, int64_t min, int64_t& out) {
    if (s.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long long v = strtoll(s.c_str(), &end, 10);
    if (errno || *end || v < min || v > INT32_MAX) return false;
    out = v;
    return true;
}

}  // namespace

const char* UsageText() {
    return "usage: sonmira-modsim [options]\n"
           "Plays a programmer module on a pseudo-terminal. Prints the terminal's path\n"
           "as the first line of output; point a port at it (e.g. SERTRA_COM1=PATH).\n"
           "On exit (SIGINT, SIGTERM or a hang-up) prints the chip map.\n"
           "\n"
           "  --module first|second  module to play (default first)\n"
           "  --link PATH            also make PATH a symlink to the terminal\n"
           "  --log FILE             log every frame as one JSON object per line\n"
           "  --map FILE             keep the chip map (JSON) in FILE, rewritten on change\n"
           "faults (they act on the frames chosen by --fault-after/--fault-count):\n"
           "  --silent               never reply\n"
           "  --wrong-reply          replies carry a wrong check byte\n"
           "  --busy                 chip-type replies say not ready (byte 2 = 00)\n"
           "  --delay MS             send every reply MS milliseconds late\n"
           "  --fault-after N        faults act from well-formed frame N+1 on (default 0)\n"
           "  --fault-count K        and for K frames only (default: to the end)\n"
           "  --hangup-after N       close the terminal when well-formed frame N arrives\n"
           "                         (that frame gets no reply), then exit\n"
           "  --help                 this text\n";
}

std::string ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        std::string value;
        bool hasValue = false;
        const size_t eq = name.find('=');
        if (name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            hasValue = true;
        }
        auto take = [&](std::string& v) {
            if (hasValue) {
                v = value;
                return true;
            }
            if (i + 1 >= argc) return false;
            v = argv[++i];
            return true;
        };
        std::string v;
        int64_t n = 0;
        if (name == "--help" || name == "-h") {
            o.help = true;
        } else if (name == "--silent") {
            o.silent = true;
        } else if (name == "--wrong-reply") {
            o.wrongReply = true;
        } else if (name == "--busy") {
            o.busy = true;
        } else if (name == "--module") {
            if (!take(v)) return "--module needs a value";
            if (v == "first")
                o.module = Module::First;
            else if (v == "second")
                o.module = Module::Second;
            else
                return "--module must be first or second";
        } else if (name == "--link" || name == "--log" || name == "--map") {
            if (!take(v) || v.empty()) return name + " needs a path";
            (name == "--link" ? o.link : name == "--log" ? o.logPath : o.mapPath) = v;
        } else if (name == "--delay") {
            if (!take(v) || !ParseCount(v, 0, n)) return "--delay needs a number of milliseconds >= 0";
            o.delayMs = static_cast<int32_t>(n);
        } else if (name == "--fault-after") {
            if (!take(v) || !ParseCount(v, 0, n)) return "--fault-after needs a count >= 0";
            o.faultAfter = n;
        } else if (name == "--fault-count") {
            if (!take(v) || !ParseCount(v, 1, n)) return "--fault-count needs a count >= 1";
            o.faultCount = n;
        } else if (name == "--hangup-after") {
            if (!take(v) || !ParseCount(v, 1, n)) return "--hangup-after needs a count >= 1";
            o.hangupAfter = n;
        } else {
            return "unknown option: " + std::string(argv[i]);
        }
    }
    return "";
}

}  // namespace modsim
