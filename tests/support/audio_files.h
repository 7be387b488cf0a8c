// Real encoded files for the audio tests, made at test time by sox, lame and
// ffmpeg in a temporary folder that lives as long as the test program.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "test_files.h"

namespace audiotest {

// The test program's folder for sound files, made on first use.
const std::string& TempDir();

struct TempDirCleaner : ::testing::Environment {
    void TearDown() override;
};

std::string PathOf(const std::string& name);

// Runs a shell command quietly; fails the test when it fails.
bool Sh(const std::string& cmd);

std::string RunOutput(const std::string& cmd);

// A sine of `samples` samples (sox takes an exact sample count with "s").
std::string MakeWav(const std::string& name, int rate, int channels, long samples, int bits = 16);

long RoundMs(long samples, int rate);

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

std::vector<uint8_t> ReadBytes(const std::string& path);

// A small SMF builder: events are appended with their delta ticks.
struct Track {
    std::vector<uint8_t> bytes;
    void Delta(uint32_t ticks);
    void Event(uint32_t delta, std::initializer_list<uint8_t> ev);
    void Tempo(uint32_t delta, uint32_t usPerQuarter);
    void End(uint32_t delta);
};

void Be(std::vector<uint8_t>& v, uint32_t x, int n);

std::vector<uint8_t> Smf(int format, uint16_t division, const std::vector<Track>& tracks);

// A MIDI file of ten hours (one held note): tiny on disk, endless to play.
void WriteTenHourMidi(const std::string& path);

// 16-bit PCM WAV as written by sox or wavenc: rate, channels and samples.
struct Pcm {
    int rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;  // interleaved
    double Seconds() const;
    // RMS of the first channel over [from, to) seconds.
    double Rms(double from, double to) const;
};

Pcm ReadPcm16(const std::string& path);

}  // namespace audiotest
