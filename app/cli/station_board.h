// What sonmira-cli line shows while its stations run: on a terminal one live
// line per station (file in work, percent, time left), redrawn in place;
// otherwise each station's progress lines, prefixed with the station.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "station_process.h"

namespace cli {

class StationBoard {
public:
    // names: how each station is shown, e.g. "station 1 (COM1)".
    StationBoard(FILE* out, std::vector<std::string> names);

    // A station's run sent these lines and now shows `p`.
    void Update(size_t station, const std::vector<std::string>& lines, const StationProgress& p,
                std::chrono::steady_clock::duration elapsed);
    // The round is over: the live lines stay as they are and later text goes below.
    void Finish();

    // "45%  b.wav  0:12 left": the live line's text after the station's name.
    static std::string LiveText(const StationProgress& p, std::chrono::steady_clock::duration elapsed);

private:
    void Redraw();

    FILE* out_;
    const bool tty_;
    std::vector<std::string> names_, live_;
    bool drawn_ = false;
};

}  // namespace cli
