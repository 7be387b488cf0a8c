// Whether what a chip played back from a segment is the segment's file: the
// capture from a sound input compared with the file's sound.
//
// Both signals are first cut to the speech band, 200-3400 Hz (FFT bins outside
// it set to zero); every figure below is of the band-limited signals except
// `clipped`.
//
// Alignment: for every lag from -(file length - 1) to capture length - 1,
// capture sample i + lag lines up with file sample i, and
//     similarity(lag) = |sum f[i] * c[i + lag]| / sqrt(E_file * E_window(lag))
// where E_file is the whole file's energy and E_window(lag) the capture's
// energy over the samples the file covers at that lag. Using the whole file's
// energy makes a capture that holds only part of the file score lower; the
// magnitude lets a module that inverts polarity pass. A window holding less
// than a millionth of the capture's energy (or a file with none) scores 0.
// The best alignment is the lag of the largest similarity (the earliest of
// equals, lag 0 when all are 0). Its similarity is then taken at the best
// fraction of a sample around that lag (the correlation interpolated with a
// windowed sinc): the capture's sampling does not line up with the file's.
#pragma once

#include <string>
#include <vector>

namespace verify {

struct CompareSettings {
    int rate = 8000;              // both signals' sampling rate (the chip's)
    int stepMs = 125;             // ms per chip address: head or tail may miss at most one step
    double minSimilarity = 0.80;  // the least similarity that passes
};

struct SegmentReport {
    // Normalised correlation at the best alignment, 0..1, independent of gain.
    double similarity = 0;
    // The best lag in ms, rounded: capture behind the file; negative when the
    // capture is ahead (for example its head is missing).
    int delayMs = 0;
    // 20 * log10(rms of the capture / rms of the file) over the span both
    // cover at the best alignment; 0 when either has no energy there.
    double levelDb = 0;
    // From 10 ms frames on the file's time axis at the best alignment (the
    // capture's frames outside it are silent): a frame is active above its
    // own signal's loudest frame - 30 dB, for the capture never below
    // -60 dBFS. head: first active capture frame - first active file frame;
    // tail: last active file frame - last active capture frame; neither below
    // 0. A window with no active frame lacks the file's active span at both ends.
    int headMissingMs = 0;
    int tailMissingMs = 0;
    // The capture's rms over its whole length below -50 dBFS (full scale 1.0).
    // A silent capture reports similarity 0, head and tail 0, reason "silent".
    bool silent = false;
    // Share (0..1) of the raw capture's samples with |x| >= 0.999.
    double clipped = 0;
    // !silent, similarity >= minSimilarity, head and tail each at most one
    // step, clipped below 1 %.
    bool ok = false;
    // "" when ok; else what failed, joined by ", " in this order: "silent",
    // "similarity 0.31 below 0.80" (the similarity cut, not rounded, to two
    // places), "head 375 ms missing", "tail 250 ms missing", "clipped 3.2 %".
    // "nothing to compare" when the file or the capture is empty, "file
    // shorter than 10 ms" when there is too little of it to recognise,
    // "sampling rate 0 Hz not usable" for a rate below 1, "out of memory"
    // when the transforms could not be made.
    std::string reason;
};

// A segment that could not be compared, or not played: not ok, for `reason`.
SegmentReport FailedReport(const std::string& reason);

// file: the file's sound as played (mono float, -1..1, at settings.rate);
// capture: what the input heard, from just before the segment was told to
// play until after it should have ended (mono float at the same rate).
// Safe to call from several threads at once.
SegmentReport CompareSegment(const std::vector<float>& file, const std::vector<float>& capture,
                             const CompareSettings& settings);

}  // namespace verify
