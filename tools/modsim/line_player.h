// The module's audio output: plays a stretch of chip memory in real time on
// the --line-out sink. One pipeline per play, so stopping one is immediate
// and a file sink gets each play whole.
#pragma once

#include <gst/gst.h>
#include <stdint.h>

#include <string>
#include <vector>

namespace modsim {

class LinePlayer {
public:
    LinePlayer() = default;
    ~LinePlayer();
    LinePlayer(const LinePlayer&) = delete;
    LinePlayer& operator=(const LinePlayer&) = delete;

    // Checks that the sink opens; false with *error when it does not.
    bool Open(const std::string& name, std::string* error);

    // Stops a play in progress and plays `samples` (mono, at `rate`).
    void Play(const std::vector<int16_t>& samples, int32_t rate);
    void Stop();

    // A descriptor readable when the play has news; -1 when none plays.
    int BusFd() const;
    // Ends a play that has finished; reports errors on stderr.
    void DrainBus();

private:
    std::string name_;
    GstElement* pipeline_ = nullptr;
};

}  // namespace modsim
