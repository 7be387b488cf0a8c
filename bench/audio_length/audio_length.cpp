// audio_length: builds a corpus of WAV, MP3 (LAME header CBR/VBR, headerless
// VBR), WMA and MIDI files with known durations, measures every file with the
// player's length measurement and with ffprobe, and prints per format the
// largest error against the true duration and the files per second.
//
// usage: audio_length [corpus-dir]   (default: a fresh folder under /tmp, removed after)
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "audio/audio_length.h"

namespace {

struct Item {
    std::string format;
    std::string path;
    double trueMs;      // duration of the sound that went into the encoder
    double renderedMs;  // for headerless MP3: whole decoded frames (what any decoder plays); else = trueMs
};

bool Sh(const std::string& cmd) {
    if (std::system((cmd + " >/dev/null 2>&1").c_str()) == 0) return true;
    std::fprintf(stderr, "failed: %s\n", cmd.c_str());
    return false;
}

std::string Out(const std::string& cmd) {
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

std::string Wav(const std::string& dir, const std::string& name, int rate, int ch, int bits, long samples,
                const char* tone = "sine 440") {
    std::string path = dir + "/" + name;
    Sh("sox -r " + std::to_string(rate) + " -c " + std::to_string(ch) + " -n -b " + std::to_string(bits) + " '" + path +
       "' synth " + std::to_string(samples) + "s " + tone + " vol 0.5");
    return path;
}

void Vlq(std::vector<uint8_t>& v, uint32_t x) {
    uint8_t t[5];
    int n = 0;
    t[n++] = x & 0x7F;
    while (x >>= 7) t[n++] = 0x80 | (x & 0x7F);
    while (n) v.push_back(t[--n]);
}

// A melody in `notes` steps of `ticks` each, the tempo changing every `every` notes.
double WriteMidi(const std::string& path, int division, int notes, int ticks, int every, uint32_t tempo0) {
    std::vector<uint8_t> trk;
    double us = 0;
    uint32_t tempo = tempo0;
    Vlq(trk, 0);
    trk.insert(trk.end(), {0xFF, 0x51, 0x03, uint8_t(tempo >> 16), uint8_t(tempo >> 8), uint8_t(tempo)});
    Vlq(trk, 0);
    trk.insert(trk.end(), {0xC0, 0});
    for (int i = 0; i < notes; ++i) {
        if (i && i % every == 0) {
            tempo = tempo * 3 / 4 + 100000 * (i / every % 3);
            Vlq(trk, 0);
            trk.insert(trk.end(), {0xFF, 0x51, 0x03, uint8_t(tempo >> 16), uint8_t(tempo >> 8), uint8_t(tempo)});
        }
        Vlq(trk, 0);
        trk.insert(trk.end(), {0x90, uint8_t(60 + i % 12), 100});
        Vlq(trk, ticks);
        trk.insert(trk.end(), {0x80, uint8_t(60 + i % 12), 0});
        us += double(ticks) * tempo / division;
    }
    Vlq(trk, 0);
    trk.insert(trk.end(), {0xFF, 0x2F, 0x00});
    std::vector<uint8_t> f = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, uint8_t(division >> 8), uint8_t(division),
                              'M', 'T', 'r', 'k'};
    for (int i = 3; i >= 0; --i) f.push_back(uint8_t(trk.size() >> (8 * i)));
    f.insert(f.end(), trk.begin(), trk.end());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(f.data()), f.size());
    return us / 1000;
}

std::vector<Item> BuildCorpus(const std::string& dir) {
    std::vector<Item> items;
    struct W {
        int rate, ch, bits;
        long samples;
    };
    const W wavs[] = {{8000, 1, 16, 12345},   {11025, 1, 8, 30000},   {16000, 2, 16, 77777}, {22050, 1, 16, 99999},
                      {22050, 2, 8, 44100},   {32000, 2, 24, 160001}, {44100, 1, 16, 44144}, {44100, 2, 16, 441000},
                      {48000, 2, 16, 123457}, {48000, 1, 24, 96001}};
    int k = 0;
    for (const W& w : wavs) {
        std::string p = Wav(dir, "wav" + std::to_string(k++) + ".wav", w.rate, w.ch, w.bits, w.samples);
        items.push_back({"WAV", p, w.samples * 1000.0 / w.rate, w.samples * 1000.0 / w.rate});
    }
    // Sources for the compressed formats: several rates, channels and lengths.
    const W srcs[] = {{44100, 2, 16, 44144},  {44100, 2, 16, 198450}, {22050, 1, 16, 70560},
                      {48000, 2, 16, 240017}, {32000, 1, 16, 100000}, {44100, 1, 16, 441441}};
    const char* cbr[] = {"-b 128", "-b 320", "-b 64", "-b 192", "-b 96", "-b 160"};
    const char* vbr[] = {"-V 2", "-V 4", "-V 6", "-V 0", "-V 9", "-V 5"};
    for (int i = 0; i < 6; ++i) {
        const W& s = srcs[i];
        double ms = s.samples * 1000.0 / s.rate;
        std::string src = Wav(dir, "src" + std::to_string(i) + ".wav", s.rate, s.ch, s.bits, s.samples,
                              i % 2 ? "pluck 220" : "sine 440");
        std::string base = dir + "/f" + std::to_string(i);
        if (Sh("lame --quiet " + std::string(cbr[i]) + " '" + src + "' '" + base + "_cbr.mp3'"))
            items.push_back({"MP3 CBR+LAME", base + "_cbr.mp3", ms, ms});
        if (Sh("lame --quiet " + std::string(vbr[i]) + " '" + src + "' '" + base + "_vbr.mp3'"))
            items.push_back({"MP3 VBR+LAME", base + "_vbr.mp3", ms, ms});
        if (Sh("ffmpeg -y -i '" + src + "' -c:a libmp3lame -q:a " + std::to_string(i + 2) + " -write_xing 0 '" + base +
               "_nohdr.mp3'")) {
            long frames = std::atol(Out("ffprobe -v error -count_packets -show_entries stream=nb_read_packets -of "
                                        "csv=p=0 '" +
                                        base + "_nohdr.mp3'")
                                        .c_str());
            int spf = s.rate >= 32000 ? 1152 : 576;  // MPEG-2 and 2.5 frames hold half as many
            items.push_back({"MP3 VBR no header", base + "_nohdr.mp3", ms, frames * spf * 1000.0 / s.rate});
        }
        if (Sh("ffmpeg -y -i '" + src + "' -c:a wmav2 -b:a " + std::to_string(48 + 16 * i) + "k '" + base + ".wma'"))
            items.push_back({"WMA", base + ".wma", ms, ms});
    }
    const int divisions[] = {96, 480, 960, 192, 384, 120};
    for (int i = 0; i < 6; ++i) {
        std::string p = dir + "/m" + std::to_string(i) + ".mid";
        double ms = WriteMidi(p, divisions[i], 8 + 6 * i, divisions[i] / (1 + i % 3), 3 + i % 4, 400000 + 70000 * i);
        items.push_back({"MIDI", p, ms, ms});
    }
    return items;
}

double FfprobeMs(const std::string& path) {
    std::string out = Out("ffprobe -v error -show_entries format=duration -of csv=p=0 '" + path + "' 2>/dev/null");
    return out.empty() || out[0] == 'N' ? -1 : std::atof(out.c_str()) * 1000;
}

double Seconds(std::chrono::steady_clock::time_point a) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - a).count();
}

}  // namespace

int main(int argc, char** argv) {
    std::string dir;
    bool own = argc < 2;
    if (own) {
        char tmpl[] = "/tmp/sonmira_length_bench_XXXXXX";
        dir = mkdtemp(tmpl);
    } else {
        dir = argv[1];
        Sh("mkdir -p '" + dir + "'");
    }
    std::printf("building corpus in %s ...\n", dir.c_str());
    std::vector<Item> items = BuildCorpus(dir);

    int warm = 0;
    audio::MeasureAudioLength(items.front().path, &warm);  // GStreamer's registry, loaded once per process

    std::vector<int> ours(items.size());
    std::vector<double> probe(items.size());
    std::map<std::string, double> oursTime, probeTime;
    for (size_t i = 0; i < items.size(); ++i) {
        auto t = std::chrono::steady_clock::now();
        audio::MeasureAudioLength(items[i].path, &ours[i]);
        oursTime[items[i].format] += Seconds(t);
        t = std::chrono::steady_clock::now();
        probe[i] = FfprobeMs(items[i].path);
        probeTime[items[i].format] += Seconds(t);
    }

    if (getenv("AUDIO_LENGTH_VERBOSE"))
        for (size_t i = 0; i < items.size(); ++i)
            std::printf("%-18s %-40s true %9.1f rendered %9.1f sonmira %7d ffprobe %9.1f\n", items[i].format.c_str(),
                        items[i].path.c_str(), items[i].trueMs, items[i].renderedMs, ours[i], probe[i]);
    std::printf("\n%zu files\n", items.size());
    std::printf("%-18s %5s | %-26s %9s | %-26s %9s\n", "format", "files", "sonmira max |error| ms", "files/s",
                "ffprobe max |error| ms", "files/s");
    std::map<std::string, std::vector<size_t>> byFormat;
    for (size_t i = 0; i < items.size(); ++i) byFormat[items[i].format].push_back(i);
    double allOurs = 0, allProbe = 0;
    for (auto& [format, idx] : byFormat) {
        double eo = 0, eoRendered = 0, ep = 0;
        size_t probeFailed = 0;
        for (size_t i : idx) {
            eo = std::max(eo, std::fabs(ours[i] - items[i].trueMs));
            eoRendered = std::max(eoRendered, std::fabs(ours[i] - items[i].renderedMs));
            if (probe[i] < 0)
                ++probeFailed;
            else
                ep = std::max(ep, std::fabs(probe[i] - items[i].trueMs));
        }
        char oursText[64], probeText[64];
        if (format == "MP3 VBR no header")
            std::snprintf(oursText, sizeof oursText, "%.1f (frames: %.1f)", eo, eoRendered);
        else
            std::snprintf(oursText, sizeof oursText, "%.1f", eo);
        if (probeFailed == idx.size())
            std::snprintf(probeText, sizeof probeText, "n/a (cannot read)");
        else if (probeFailed)
            std::snprintf(probeText, sizeof probeText, "%.1f (%zu failed)", ep, probeFailed);
        else
            std::snprintf(probeText, sizeof probeText, "%.1f", ep);
        std::printf("%-18s %5zu | %-26s %9.1f | %-26s %9.1f\n", format.c_str(), idx.size(), oursText,
                    idx.size() / oursTime[format], probeText, idx.size() / probeTime[format]);
        allOurs += oursTime[format];
        allProbe += probeTime[format];
    }
    std::printf("%-18s %5zu | %-26s %9.1f | %-26s %9.1f\n", "all", items.size(), "", items.size() / allOurs, "",
                items.size() / allProbe);
    std::printf("throughput ratio sonmira/ffprobe: %.1fx\n", allProbe / allOurs);
    std::printf(
        "\nerrors are against the duration of the sound given to the encoder (MIDI: its tempo map);\n"
        "\"frames\" is against the whole MPEG frames in the file, the length a decoder plays.\n");
    if (own) Sh("rm -rf '" + dir + "'");
    return 0;
}
