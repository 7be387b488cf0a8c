// What the simulated module did to its chip: recorded ranges and plays.
#pragma once

#include <stdint.h>

#include <optional>
#include <string>
#include <vector>

#include "modsim_protocol.h"

namespace modsim {

struct RecordEntry {
    int32_t start = 0;
    std::optional<int32_t> end;  // second module: last end address; first: none (open-ended)
    bool aux = false;
    std::optional<int32_t> chipCode;  // last chip type told before the record frame
    int64_t tRecordNs = 0;
    std::optional<int64_t> tReleaseNs;  // the release that ended it; none while recording
};

struct PlayEntry {
    std::string kind;  // play or pulse_play
    int32_t start = 0;
    std::optional<int32_t> end;
    int64_t tNs = 0;
};

class ChipMap {
public:
    explicit ChipMap(Module m) : module_(m) {}

    // Applies one well-formed frame; true when the map changed.
    bool Apply(const Command& c, int64_t tNs);

    std::string ToJson() const;

private:
    Module module_;
    std::optional<int32_t> chipCode_;
    std::optional<int32_t> endAddress_;
    bool recording_ = false;  // the last record entry is still open
    std::vector<RecordEntry> records_;
    std::vector<PlayEntry> plays_;
};

}  // namespace modsim
