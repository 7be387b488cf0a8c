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

// Decimal, or hexadecimal with 0x.
bool ParseAddress(const std::string& s, int32_t& out) {
    if (s.empty()) return false;
    const bool hex = s.size() > 2 && (s.compare(0, 2, "0x") == 0 || s.compare(0, 2, "0X") == 0);
    const std::string digits = hex ? s.substr(2) : s;
    if (digits.empty() || digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") != std::string::npos)
        return false;
    char* end = nullptr;
    errno = 0;
    const long long v = strtoll(digits.c_str(), &end, hex ? 16 : 10);
    if (errno || *end || v > 0xFFFF) return false;
    out = static_cast<int32_t>(v);
    return true;
}

bool ParseRowRange(const std::string& s, RowRange& out) {
    const size_t dash = s.find('-');
    return dash != std::string::npos && ParseAddress(s.substr(0, dash), out.first) &&
           ParseAddress(s.substr(dash + 1), out.last) && out.first <= out.last;
}

// The sizes a chip can have: up to 2^27 samples (256 MiB of memory).
constexpr int64_t kMaxChipSamples = int64_t{1} << 27;

std::string CheckChip(const Options& o) {
    ChipGeometry g;
    g.rate = o.rate;
    g.stepMs = o.stepMs;
    g.rows = o.Rows();
    if (g.Samples() > kMaxChipSamples)
        return "the chip would hold " + std::to_string(g.Samples()) + " samples; at most " +
               std::to_string(kMaxChipSamples);
    for (const RowRange& r : o.deadRows)
        if (r.last >= g.rows) return "--dead-rows reaches past the last address (" + std::to_string(g.rows - 1) + ")";
    return "";
}

}  // namespace

const char* UsageText() {
    return "Usage: sonmira-modsim [options]\n"
           "\n"
           "Plays a programmer module on a pseudo-terminal. Prints the terminal's path\n"
           "as the first line of output; point a port at it (e.g. SERTRA_COM1=PATH).\n"
           "On exit (SIGINT, SIGTERM or a hang-up) prints the chip map.\n"
           "\n"
           "Options:\n"
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
           "the chip's sound (without these the frames are only logged and mapped):\n"
           "  --aux-in SOURCE        what the AUX input hears: gst:DESCRIPTION (a source bin),\n"
           "                         alsa:NAME or an ALSA device name, pulse:NAME or another\n"
           "                         name (a PulseAudio/PipeWire source, e.g. SINK.monitor)\n"
           "  --line-out SINK        where the audio output plays, named the same way\n"
           "  --chip FILE            keep the chip's memory in FILE (WAV) and its\n"
           "                         end-of-message marks in FILE.marks.json\n"
           "  --rate HZ              the chip's sampling rate (default 8000)\n"
           "  --step-ms MS           milliseconds per address (default 125)\n"
           "  --rows N               addresses (default 256 first module, 4096 second)\n"
           "chip faults:\n"
           "  --aux-gain DB          scale what the AUX input hears (-90: unplugged)\n"
           "  --dead-rows A-B        addresses A..B always keep silence (0x for hex);\n"
           "                         may be given more than once\n"
           "  --record-late MS       a recording stores silence for its first MS ms\n"
           "  --help                 this text\n"
           "  --version              the program's version\n";
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
        } else if (name == "--version") {
            o.version = true;
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
        } else if (name == "--aux-in" || name == "--line-out" || name == "--chip") {
            if (!take(v) || v.empty()) return name + " needs a value";
            (name == "--aux-in" ? o.auxIn : name == "--line-out" ? o.lineOut : o.chipPath) = v;
        } else if (name == "--rate") {
            if (!take(v) || !ParseCount(v, 1000, n) || n > 192000) return "--rate needs a rate from 1000 to 192000 Hz";
            o.rate = static_cast<int32_t>(n);
        } else if (name == "--step-ms") {
            if (!take(v) || !ParseCount(v, 1, n) || n > 60000) return "--step-ms needs 1 to 60000 milliseconds";
            o.stepMs = static_cast<int32_t>(n);
        } else if (name == "--rows") {
            if (!take(v) || !ParseCount(v, 1, n) || n > 65536) return "--rows needs a count from 1 to 65536";
            o.rows = static_cast<int32_t>(n);
        } else if (name == "--aux-gain") {
            char* end = nullptr;
            if (!take(v) || v.empty()) return "--aux-gain needs decibels";
            const double db = strtod(v.c_str(), &end);
            if (*end || !(db >= -200 && db <= 60)) return "--aux-gain needs decibels from -200 to 60";
            o.auxGainDb = db;
        } else if (name == "--dead-rows") {
            RowRange r;
            if (!take(v) || !ParseRowRange(v, r)) return "--dead-rows needs A-B, addresses with A <= B (e.g. 16-0x1F)";
            o.deadRows.push_back(r);
        } else if (name == "--record-late") {
            if (!take(v) || !ParseCount(v, 0, n) || n > 60000) return "--record-late needs 0 to 60000 milliseconds";
            o.recordLateMs = static_cast<int32_t>(n);
        } else {
            return "unknown option: " + std::string(argv[i]);
        }
    }
    return CheckChip(o);
}

}  // namespace modsim
