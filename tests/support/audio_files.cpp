#include "audio_files.h"

#include <algorithm>
#include <iterator>

namespace audiotest {

const std::string& TempDir() {
    static std::string dir = [] {
        char tmpl[] = "/tmp/sonmira_audio_XXXXXX";
        std::string d = mkdtemp(tmpl);
        return d;
    }();
    return dir;
}

void TempDirCleaner::TearDown() { std::system(("rm -rf '" + TempDir() + "'").c_str()); }

std::string PathOf(const std::string& name) { return TempDir() + "/" + name; }

bool Sh(const std::string& cmd) {
    int rc = std::system((cmd + " >/dev/null 2>&1").c_str());
    EXPECT_EQ(rc, 0) << cmd;
    return rc == 0;
}

std::string RunOutput(const std::string& cmd) { return test_support::RunCommand(cmd).out; }

std::string MakeWav(const std::string& name, int rate, int channels, long samples, int bits) {
    std::string path = PathOf(name);
    Sh("sox -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " -n -b " + std::to_string(bits) + " '" +
       path + "' synth " + std::to_string(samples) + "s sine 440 vol 0.5");
    return path;
}

long RoundMs(long samples, int rate) { return std::lround(samples * 1000.0 / rate); }

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void Track::Delta(uint32_t ticks) {
    uint8_t tmp[5];
    int n = 0;
    tmp[n++] = ticks & 0x7F;
    while (ticks >>= 7) tmp[n++] = 0x80 | (ticks & 0x7F);
    while (n) bytes.push_back(tmp[--n]);
}

void Track::Event(uint32_t delta, std::initializer_list<uint8_t> ev) {
    Delta(delta);
    bytes.insert(bytes.end(), ev);
}

void Track::Tempo(uint32_t delta, uint32_t usPerQuarter) {
    Event(delta, {0xFF, 0x51, 0x03, uint8_t(usPerQuarter >> 16), uint8_t(usPerQuarter >> 8), uint8_t(usPerQuarter)});
}

void Track::End(uint32_t delta) { Event(delta, {0xFF, 0x2F, 0x00}); }

void Be(std::vector<uint8_t>& v, uint32_t x, int n) {
    for (int i = n - 1; i >= 0; --i) v.push_back(uint8_t(x >> (8 * i)));
}

std::vector<uint8_t> Smf(int format, uint16_t division, const std::vector<Track>& tracks) {
    std::vector<uint8_t> f = {'M', 'T', 'h', 'd'};
    Be(f, 6, 4);
    Be(f, format, 2);
    Be(f, uint32_t(tracks.size()), 2);
    Be(f, division, 2);
    for (const Track& t : tracks) {
        f.insert(f.end(), {'M', 'T', 'r', 'k'});
        Be(f, uint32_t(t.bytes.size()), 4);
        f.insert(f.end(), t.bytes.begin(), t.bytes.end());
    }
    return f;
}

void WriteTenHourMidi(const std::string& path) {
    Track t;
    t.Tempo(0, 0xFFFFFF);  // 16.78 s a quarter note, one tick a quarter
    t.Event(0, {0x90, 60, 100});
    t.Event(2146, {0x80, 60, 0});
    t.End(0);
    WriteBytes(path, Smf(0, 1, {t}));
}

double Pcm::Seconds() const { return channels && rate ? double(samples.size()) / channels / rate : 0; }

double Pcm::Rms(double from, double to) const {
    long a = long(from * rate), b = std::min(long(to * rate), long(samples.size() / channels));
    double sum = 0;
    for (long i = a; i < b; ++i) sum += double(samples[i * channels]) * samples[i * channels];
    return b > a ? std::sqrt(sum / (b - a)) : 0;
}

Pcm ReadPcm16(const std::string& path) {
    Pcm pcm;
    std::vector<uint8_t> b = ReadBytes(path);
    auto le32 = [&](size_t p) { return uint32_t(b[p]) | b[p + 1] << 8 | b[p + 2] << 16 | uint32_t(b[p + 3]) << 24; };
    auto le16 = [&](size_t p) { return uint16_t(b[p] | b[p + 1] << 8); };
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0) return pcm;
    size_t p = 12;
    while (p + 8 <= b.size()) {
        uint32_t len = le32(p + 4);
        if (!std::memcmp(&b[p], "fmt ", 4)) {
            pcm.channels = le16(p + 10);
            pcm.rate = int(le32(p + 12));
        } else if (!std::memcmp(&b[p], "data", 4)) {
            size_t n = std::min<size_t>(len, b.size() - p - 8) / 2;
            pcm.samples.resize(n);
            std::memcpy(pcm.samples.data(), &b[p + 8], n * 2);
            break;
        }
        p += 8 + len + (len & 1);
    }
    return pcm;
}

}  // namespace audiotest
