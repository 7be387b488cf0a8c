// The speech band that a chip's recording and the comparison both care about.
#pragma once

#include <vector>

namespace verify {

constexpr double kSpeechLowHz = 200;
constexpr double kSpeechHighHz = 3400;

// x with everything outside kSpeechLowHz..kSpeechHighHz removed: its spectrum
// (zero-padded, so the filter's ringing does not wrap from one end onto the
// other) with the bins outside the band set to zero. Same length as x. Empty
// when the transform could not be made.
std::vector<float> SpeechBand(const std::vector<float>& x, int rate);

}  // namespace verify
