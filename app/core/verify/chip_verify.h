// Verifying a chip: each marked segment is played from the chip through the
// module (BeginPlayback once, PlaySegment per segment, EndPlayback at the
// end, as continuous play does) while a sound input listens, and what it
// heard is compared with the file.
//
// The caller opens the input first (audio::OpenSoundCapture), so that an
// input that does not open is refused before anything is sent.
#pragma once

#include <functional>
#include <cstdint>
#include <vector>

#include "audio/sound_capture.h"
#include "binding/driver_binding.h"
#include "verify/marked_segments.h"
#include "verify/segment_compare.h"

namespace verify {

// The rate of the comparison, and so of the capture: the speech band
// (200-3400 Hz) fits in 8 kHz.
inline constexpr int kCompareRate = 8000;

// Listening goes on this long after a segment's length: the module's and the
// input's latency.
inline constexpr int kListenAfterMs = 120;

struct SegmentOutcome {
    VerifySegment segment;
    SegmentReport report;  // not ok with a reason when it could not be played or heard
    bool heard = false;    // the report's figures come from a comparison
};

class IVerifyProgress {
public:
    virtual ~IVerifyProgress() = default;
    // index counts from 0 among `count` segments.
    virtual void SegmentStarted(const VerifySegment& s, int index, int count) = 0;
    virtual void SegmentDone(const SegmentOutcome& o, int index, int count) = 0;
};

struct VerifyJob {
    std::vector<VerifySegment> segments;
    int32_t chipCode = 0;
    binding::DriverBinding* drivers = nullptr;
    audio::ISoundCapture* capture = nullptr;
    CompareSettings settings;
};

enum class VerifyEnd {
    Finished,     // every segment has its outcome
    Cancelled,    // `cancel` was set: the outcomes so far are given
    NoDriver,     // nothing was sent
    InputFailed,  // the sound input failed midway: the outcomes so far are given
};

// Runs on the calling thread; `cancelled` is asked every few milliseconds
// (from this thread): true ends the run at once (after EndPlayback).
VerifyEnd VerifyChip(const VerifyJob& job, IVerifyProgress& progress, const std::function<bool()>& cancelled,
                     std::vector<SegmentOutcome>* out);

}  // namespace verify
