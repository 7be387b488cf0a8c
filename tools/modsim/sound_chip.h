// The chip behind the module's frames: what the AUX input hears is stored
// from a record frame's address on, a play frame plays to --line-out, and the
// memory is kept in the --chip file. Only made with --aux-in, --line-out or
// --chip; without them the simulator only logs and maps frames.
#pragma once

#include <poll.h>
#include <stdint.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "aux_capture.h"
#include "line_player.h"
#include "modsim_options.h"
#include "recorder.h"

namespace modsim {

class SoundChip {
public:
    static bool Wanted(const Options& o) { return !o.auxIn.empty() || !o.lineOut.empty() || !o.chipPath.empty(); }

    explicit SoundChip(const Options& o);
    ~SoundChip();

    // Loads the chip file and opens the input and output; false with a
    // message for stderr.
    bool Open(std::string* error);

    void OnCommand(const Command& c, int64_t tNs);

    // The descriptors to wait on beside the terminal, and until when at most.
    void AddFds(std::vector<pollfd>& fds) const;
    int64_t DeadlineNs() const;
    // After a wait: plays that ended, recordings that are done, the file.
    void Service(int64_t nowNs);

    // Ends play and capture; the last recording ends where it got to.
    void Finish();

private:
    void Save();

    Options opt_;
    ChipGeometry geo_;
    Recorder recorder_;
    AuxCapture capture_;
    LinePlayer player_;
    std::optional<int32_t> endAddress_;
    int wake_[2] = {-1, -1};  // the capture thread's word that a recording is done
    bool capturing_ = false;
};

}  // namespace modsim
