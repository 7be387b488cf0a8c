#include "chip_map.h"

#include <sstream>

namespace modsim {

namespace {

template <typename T>
std::string Opt(const std::optional<T>& v) {
    return v ? std::to_string(*v) : "null";
}

}  // namespace

bool ChipMap::Apply(const Command& c, int64_t tNs) {
    if (c.name == "chip_type") {
        chipCode_ = c.arg;
        return true;
    }
    if (c.name == "end_address") {
        endAddress_ = c.arg;
        return false;
    }
    if (c.name == "release") {
        if (!recording_) return false;
        records_.back().tReleaseNs = tNs;
        recording_ = false;
        return true;
    }
    if (c.name == "record" || c.name == "record_aux") {
        // A record frame without a release first leaves the previous range unreleased.
        RecordEntry r;
        r.start = c.arg;
        if (module_ == Module::Second) r.end = endAddress_;
        r.aux = c.name == "record_aux";
        r.chipCode = chipCode_;
        r.tRecordNs = tNs;
        records_.push_back(r);
        recording_ = true;
        return true;
    }
    if (c.name == "play" || c.name == "pulse_play") {
        PlayEntry p;
        p.kind = c.name;
        p.start = c.arg;
        if (module_ == Module::Second && c.name == "play") p.end = endAddress_;
        p.tNs = tNs;
        plays_.push_back(p);
        return true;
    }
    return false;
}

std::string ChipMap::ToJson() const {
    std::ostringstream o;
    o << "{\"module\":\"" << ModuleName(module_) << "\",\"chip_code\":" << Opt(chipCode_) << ",\n\"records\":[";
    for (size_t i = 0; i < records_.size(); ++i) {
        const RecordEntry& r = records_[i];
        o << (i ? ",\n" : "\n") << "{\"start\":" << r.start << ",\"end\":" << Opt(r.end) << ",\"mode\":\""
          << (r.aux ? "aux" : "normal") << "\",\"chip_code\":" << Opt(r.chipCode) << ",\"t_record_ns\":" << r.tRecordNs
          << ",\"t_release_ns\":" << Opt(r.tReleaseNs) << "}";
    }
    o << "],\n\"plays\":[";
    for (size_t i = 0; i < plays_.size(); ++i) {
        const PlayEntry& p = plays_[i];
        o << (i ? ",\n" : "\n") << "{\"kind\":\"" << p.kind << "\",\"start\":" << p.start << ",\"end\":" << Opt(p.end)
          << ",\"t_ns\":" << p.tNs << "}";
    }
    o << "]}\n";
    return o.str();
}

}  // namespace modsim
