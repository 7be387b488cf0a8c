#include "chip_map.h"

#include <nlohmann/json.hpp>

namespace modsim {

namespace {

using Json = nlohmann::ordered_json;  // keys in the order written

template <typename T>
Json Opt(const std::optional<T>& v) {
    return v ? Json(*v) : Json(nullptr);
}

// A value on one line, as nlohmann-json writes it: strings escaped, and a
// string that is not UTF-8 written with U+FFFD for its bad bytes rather than
// as invalid JSON.
std::string Line(const Json& j) { return j.dump(-1, ' ', false, Json::error_handler_t::replace); }

// An array with each element on a line of its own: "[\n{...},\n{...}]", or "[]".
std::string OneALine(const Json& array) {
    std::string out = "[";
    for (size_t i = 0; i < array.size(); ++i) out += (i ? ",\n" : "\n") + Line(array[i]);
    return out + "]";
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
    Json records = Json::array();
    for (const RecordEntry& r : records_) {
        records.push_back({{"start", r.start},
                           {"end", Opt(r.end)},
                           {"mode", r.aux ? "aux" : "normal"},
                           {"chip_code", Opt(r.chipCode)},
                           {"t_record_ns", r.tRecordNs},
                           {"t_release_ns", Opt(r.tReleaseNs)}});
    }
    Json plays = Json::array();
    for (const PlayEntry& p : plays_)
        plays.push_back({{"kind", p.kind}, {"start", p.start}, {"end", Opt(p.end)}, {"t_ns", p.tNs}});
    // One JSON object; each record and play on a line of its own, for a
    // person reading the file as it grows.
    return "{\"module\":" + Line(ModuleName(module_)) + ",\"chip_code\":" + Line(Opt(chipCode_)) +
           ",\n\"records\":" + OneALine(records) + ",\n\"plays\":" + OneALine(plays) + "}\n";
}

}  // namespace modsim
