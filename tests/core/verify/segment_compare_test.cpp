#include "verify/segment_compare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <regex>
#include <utility>
#include <vector>

namespace {

constexpr int kRate = 8000;

double Uniform(std::mt19937& random) { return random() / 4294967296.0; }

// Speech-band sound that repeats nowhere: 40 tones at odd frequencies between
// 400 and 3000 Hz, random phases, rms 0.1 (peaks well below full scale);
// `shift` samples late.
std::vector<float> Sound(int ms, unsigned seed, double shift = 0) {
    std::mt19937 random(seed);
    std::vector<double> hz(40), phase(40);
    for (size_t t = 0; t < hz.size(); ++t) {
        hz[t] = 400 + 2600 * Uniform(random);
        phase[t] = 2 * M_PI * Uniform(random);
    }
    std::vector<float> x(static_cast<size_t>(ms) * kRate / 1000);
    for (size_t i = 0; i < x.size(); ++i) {
        double v = 0;
        for (size_t t = 0; t < hz.size(); ++t) v += std::sin(2 * M_PI * hz[t] * (i - shift) / kRate + phase[t]);
        x[i] = static_cast<float>(0.1 * v / std::sqrt(20.0));
    }
    return x;
}

std::vector<float> Noise(size_t n, double rms, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<float> x(n);
    for (float& v : x) v = static_cast<float>(rms * std::sqrt(12.0) * (Uniform(random) - 0.5));
    return x;
}

// Sound from fromMs to toMs of x only, with 5 ms ramps so the cuts stay in the speech band.
std::vector<float> Gate(std::vector<float> x, int fromMs, int toMs) {
    const double ramp = 5.0 * kRate / 1000;
    for (size_t i = 0; i < x.size(); ++i) {
        const double from = fromMs * kRate / 1000.0, to = toMs * kRate / 1000.0;
        const double in = std::clamp(std::min(i + 1 - from, to - i) / ramp, 0.0, 1.0);
        x[i] *= static_cast<float>(0.5 - 0.5 * std::cos(M_PI * in));
    }
    return x;
}

// What the input hears: leadMs of silence, then x scaled by gain, then 200 ms of silence.
std::vector<float> Heard(const std::vector<float>& x, int leadMs, double gain) {
    std::vector<float> c(static_cast<size_t>(leadMs) * kRate / 1000, 0.0f);
    for (float v : x) c.push_back(static_cast<float>(gain * v));
    c.resize(c.size() + 200 * kRate / 1000, 0.0f);
    return c;
}

verify::SegmentReport Compare(const std::vector<float>& file, const std::vector<float>& capture) {
    return verify::CompareSegment(file, capture, verify::CompareSettings{});
}

TEST(SegmentCompare, FindsTheCaptureWhereverItSitsAndWhateverItsGainAndPolarity) {
    const std::vector<float> file = Sound(1500, 1);

    const verify::SegmentReport same = Compare(file, file);
    EXPECT_NEAR(same.similarity, 1.0, 1e-3);
    EXPECT_EQ(same.delayMs, 0);
    EXPECT_NEAR(same.levelDb, 0.0, 0.01);
    EXPECT_EQ(same.headMissingMs, 0);
    EXPECT_EQ(same.tailMissingMs, 0);
    EXPECT_TRUE(same.ok);
    EXPECT_EQ(same.reason, "");

    std::vector<float> late = Heard(file, 41, 0.5);
    const std::vector<float> hiss = Noise(late.size(), 0.005, 7);
    for (size_t i = 0; i < late.size(); ++i) late[i] += hiss[i];
    const verify::SegmentReport delayed = Compare(file, late);
    EXPECT_NEAR(delayed.delayMs, 41, 1);
    EXPECT_NEAR(delayed.levelDb, -6.0, 0.5);
    EXPECT_GE(delayed.similarity, 0.9);
    EXPECT_FALSE(delayed.silent);
    EXPECT_TRUE(delayed.ok) << delayed.reason;

    // Half a sample apart, as a capture's sampling mostly is: the match lies between two lags.
    const verify::SegmentReport between = Compare(file, Sound(1500, 1, 0.5));
    EXPECT_GE(between.similarity, 0.99);

    const verify::SegmentReport inverted = Compare(file, Heard(file, 12, -0.8));
    EXPECT_NEAR(inverted.similarity, 1.0, 1e-3);
    EXPECT_EQ(inverted.delayMs, 12);
    EXPECT_TRUE(inverted.ok) << inverted.reason;
}

TEST(SegmentCompare, SilenceAndStrangeSoundFail) {
    const std::vector<float> file = Sound(1000, 2);
    for (const std::vector<float>& quiet : {std::vector<float>(12000, 0.0f), Noise(12000, 3e-5, 3)}) {
        const verify::SegmentReport r = Compare(file, quiet);
        EXPECT_TRUE(r.silent);
        EXPECT_EQ(r.similarity, 0.0);
        EXPECT_EQ(r.headMissingMs, 0);
        EXPECT_EQ(r.tailMissingMs, 0);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.reason, "silent");
    }

    const verify::SegmentReport other = Compare(file, Heard(Sound(1000, 4), 50, 1.0));
    EXPECT_LT(other.similarity, 0.3);
    EXPECT_FALSE(other.ok);
    EXPECT_TRUE(std::regex_match(other.reason, std::regex(R"(similarity 0\.[0-2]\d below 0\.80(, .*)?)")))
        << other.reason;
}

TEST(SegmentCompare, TellsHowMuchOfTheHeadAndTailIsMissing) {
    const std::vector<float> file = Sound(2000, 5);

    const verify::SegmentReport head = Compare(file, Heard(Gate(file, 300, 2000), 37, 1.0));
    EXPECT_EQ(head.delayMs, 37);
    EXPECT_EQ(head.headMissingMs, 300);
    EXPECT_EQ(head.tailMissingMs, 0);
    EXPECT_GE(head.similarity, 0.8);
    EXPECT_EQ(head.reason, "head 300 ms missing");

    const verify::SegmentReport tail = Compare(file, Heard(Gate(file, 0, 1750), 37, 1.0));
    EXPECT_EQ(tail.headMissingMs, 0);
    EXPECT_EQ(tail.tailMissingMs, 250);
    EXPECT_EQ(tail.reason, "tail 250 ms missing");

    const verify::SegmentReport both = Compare(file, Heard(Gate(file, 300, 1750), 37, 1.0));
    EXPECT_EQ(both.reason, "head 300 ms missing, tail 250 ms missing");

    // One step (125 ms) missing at either end is what a chip's address grain allows.
    const verify::SegmentReport step = Compare(file, Heard(Gate(file, 120, 1880), 37, 1.0));
    EXPECT_EQ(step.headMissingMs, 120);
    EXPECT_EQ(step.tailMissingMs, 120);
    EXPECT_TRUE(step.ok) << step.reason;
}

TEST(SegmentCompare, CountsClippedSamples) {
    const std::vector<float> file = Sound(1000, 6);
    std::vector<float> loud = Heard(file, 20, 5.0);
    size_t full = 0;
    for (float& v : loud) {
        v = std::clamp(v, -1.0f, 1.0f);
        full += std::fabs(v) >= 0.999f;
    }
    const verify::SegmentReport r = Compare(file, loud);
    EXPECT_DOUBLE_EQ(r.clipped, static_cast<double>(full) / loud.size());
    ASSERT_GE(r.clipped, 0.01);
    char expected[32];
    std::snprintf(expected, sizeof expected, "clipped %.1f %%", r.clipped * 100);
    EXPECT_EQ(r.reason, expected);
}

TEST(SegmentCompare, TooLittleToCompareFailsWithoutAFigure) {
    const std::vector<float> some = Sound(100, 8);
    for (const auto& [file, capture] : {std::pair{std::vector<float>{}, some}, std::pair{some, std::vector<float>{}},
                                        std::pair{std::vector<float>{}, std::vector<float>{}}}) {
        const verify::SegmentReport r = Compare(file, capture);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.reason, "nothing to compare");
    }
    // Five samples would fit anywhere in any sound.
    const verify::SegmentReport blip = Compare(std::vector<float>(some.begin(), some.begin() + 5), some);
    EXPECT_FALSE(blip.ok);
    EXPECT_EQ(blip.reason, "file shorter than 10 ms");
}

}  // namespace
