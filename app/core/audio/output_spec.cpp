#include "output_spec.h"

#include "sound_outputs.h"

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

OutputSpec ParseOutputSpec(const std::string& text) {
    OutputSpec spec;
    if (StripPrefix(text, "gst:", &spec.name)) {
        spec.kind = OutputSpec::Kind::Gst;
    } else if (StripPrefix(text, "alsa:", &spec.name)) {
        spec.kind = OutputSpec::Kind::Alsa;
    } else if (StripPrefix(text, "pulse:", &spec.name)) {
        spec.kind = OutputSpec::Kind::Pulse;
    } else {
        spec.name = text;
        spec.kind = text.find(':') != std::string::npos || IsPlainAlsaName(text) ? OutputSpec::Kind::Alsa
                                                                                 : OutputSpec::Kind::Pulse;
    }
    return spec;
}

bool PulseSinkListed(const std::string& name) {
    for (const auto& o : ListSoundOutputs())
        if (o.kind == SoundOutputKind::kSoundServer && o.name == name) return true;
    return false;
}

}  // namespace audio
