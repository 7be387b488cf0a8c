// play_latency: Open (pre-roll), then Play, and the time from the Play call to
// the first buffer at a synchronised sink, taken from the SONMIRA_PLAY_LOG
// stamp. WAV, MP3 and MIDI files in turn; prints median and 95th percentile.
//
// usage: play_latency [plays]   (default 60; SONMIRA_AUDIO_SINK defaults to "fakesink sync=true")
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "audio/media_player.h"
#include "audio/mono_clock.h"
#include "audio/play_log.h"

namespace {

bool Sh(const std::string& cmd) { return std::system((cmd + " >/dev/null 2>&1").c_str()) == 0; }

// The t_ns of the last line in the log, or -1.
int64_t LastStamp(const std::string& log, size_t* lines) {
    std::ifstream in(log);
    std::string line, last;
    size_t n = 0;
    while (std::getline(in, line)) {
        last = line;
        ++n;
    }
    *lines = n;
    const nlohmann::json j = nlohmann::json::parse(last, nullptr, false);
    return j.is_object() && j.contains("t_ns") ? j["t_ns"].get<int64_t>() : -1;
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    size_t i = size_t(p * (v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

}  // namespace

int main(int argc, char** argv) {
    int plays = argc > 1 ? std::atoi(argv[1]) : 60;
    char tmpl[] = "/tmp/sonmira_latency_XXXXXX";
    std::string dir = mkdtemp(tmpl);
    std::string log = dir + "/play.log";
    setenv("SONMIRA_AUDIO_SINK", getenv("SONMIRA_AUDIO_SINK") ? getenv("SONMIRA_AUDIO_SINK") : "fakesink sync=true", 1);
    setenv("SONMIRA_PLAY_LOG", log.c_str(), 1);

    std::string wav = dir + "/a.wav", mp3 = dir + "/a.mp3", mid = dir + "/a.mid";
    Sh("sox -r 44100 -c 2 -n -b 16 '" + wav + "' synth 0.2 sine 440");
    Sh("lame --quiet -V 4 '" + wav + "' '" + mp3 + "'");
    const unsigned char smf[] = {'M', 'T', 'h', 'd', 0,  0, 0,    6,  0,   0,  0,    1,  0, 96, 'M',  'T',  'r',
                                 'k', 0,   0,   0,   12, 0, 0x90, 60, 100, 19, 0x80, 60, 0, 0,  0xFF, 0x2F, 0};
    std::ofstream(mid, std::ios::binary).write(reinterpret_cast<const char*>(smf), sizeof smf);
    const std::string files[] = {wav, mp3, mid};
    const char* kinds[] = {"WAV", "MP3", "MIDI"};

    std::printf("sink: %s, %d plays\n", getenv("SONMIRA_AUDIO_SINK"), plays);
    audio::CMyMediaPlayer player;
    std::map<std::string, std::vector<double>> latency, openMs;
    std::vector<double> all;
    int missing = 0;
    for (int i = -3; i < plays; ++i) {  // three warm-up plays load the plug-ins and the soundfont
        int k = (i + 3) % 3;
        player.Close();
        player.SetFileName(files[k]);
        int64_t t0 = audio::MonotonicNs();
        if (player.Open() != 0) {
            std::fprintf(stderr, "Open failed for %s\n", files[k].c_str());
            return 1;
        }
        int64_t t1 = audio::MonotonicNs();
        size_t before = 0, after = 0;
        LastStamp(log, &before);
        int64_t start = audio::MonotonicNs();
        player.Play();
        int64_t stamp = -1;
        for (int wait = 0; wait < 2000; ++wait) {  // up to 2 s
            stamp = LastStamp(log, &after);
            if (after > before) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        while (player.GetMode() == audio::kModePlay) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (i < 0) continue;
        if (after <= before || stamp < 0) {
            ++missing;
            continue;
        }
        double ms = (stamp - start) / 1e6;
        latency[kinds[k]].push_back(ms);
        openMs[kinds[k]].push_back((t1 - t0) / 1e6);
        all.push_back(ms);
    }
    player.Close();
    std::printf("%-6s %6s %12s %12s %12s %14s\n", "file", "plays", "median ms", "p95 ms", "max ms", "Open median ms");
    for (const char* k : kinds)
        std::printf("%-6s %6zu %12.3f %12.3f %12.3f %14.2f\n", k, latency[k].size(), Percentile(latency[k], 0.5),
                    Percentile(latency[k], 0.95), Percentile(latency[k], 1.0), Percentile(openMs[k], 0.5));
    std::printf("%-6s %6zu %12.3f %12.3f %12.3f\n", "all", all.size(), Percentile(all, 0.5), Percentile(all, 0.95),
                Percentile(all, 1.0));
    if (missing) std::printf("%d plays left no stamp\n", missing);
    Sh("rm -rf '" + dir + "'");
    return missing ? 1 : 0;
}
