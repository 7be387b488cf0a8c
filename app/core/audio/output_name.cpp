#include "audio/output_name.h"

namespace audio {

namespace {

bool StripPrefix(const std::string& text, const char* prefix, std::string* rest) {
    const std::string p = prefix;
    if (text.compare(0, p.size(), p) != 0) return false;
    *rest = text.substr(p.size());
    return true;
}

bool IsPlainAlsaName(const std::string& name) {
    static const char* const kNames[] = {"default", "sysdefault", "pulse", "pipewire", "dmix", "dsnoop", "jack"};
    for (const char* n : kNames)
        if (name == n) return true;
    return false;
}

}  // namespace

OutputName ParseOutputName(const std::string& text) {
    OutputName named;
    if (StripPrefix(text, "gst:", &named.name)) {
        named.kind = OutputName::Kind::Gst;
    } else if (StripPrefix(text, "alsa:", &named.name)) {
        named.kind = OutputName::Kind::Alsa;
    } else if (StripPrefix(text, "pulse:", &named.name)) {
        named.kind = OutputName::Kind::Pulse;
    } else {
        named.name = text;
        named.kind = text.find(':') != std::string::npos || IsPlainAlsaName(text) ? OutputName::Kind::Alsa
                                                                                  : OutputName::Kind::Pulse;
    }
    return named;
}

}  // namespace audio
