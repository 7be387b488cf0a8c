// From the start of the process to the main window's first paint, and to the
// splash's: sonmira beside a bare Qt main window, ten runs each, alternating;
// needs DISPLAY (e.g. xvfb-run -a build/out/bench_startup).
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

long long NowNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

// Milliseconds from the spawn to a stamp the program printed; -1 when it printed none.
double StampMs(const std::string& text, const char* name, long long started) {
    const std::string key = std::string(name) + " ";
    const size_t at = text.find(key);
    if (at == std::string::npos) return -1;
    return (std::atoll(text.c_str() + at + key.size()) - started) / 1e6;
}

struct Run {
    double firstPaint = -1;
    double splashPaint = -1;  // -1 for a program without a splash
};

// Spawns `program` and reads its stamps; firstPaint stays -1 on failure.
Run OneRun(const std::string& program) {
    Run run;
    int out[2];
    if (pipe(out) != 0) return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    const long long started = NowNs();
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (rc != 0) {
        close(out[0]);
        return run;
    }
    std::string text;
    char buf[256];
    for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(n));
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    run.firstPaint = StampMs(text, "first_paint_ns", started);
    run.splashPaint = StampMs(text, "splash_paint_ns", started);
    return run;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main() {
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "bench_startup: needs an X server (run it under xvfb-run -a)\n");
        return 2;
    }
    setenv("SONMIRA_FIRST_PAINT", "1", 1);
    const std::string dir = SONMIRA_OUT_DIR "/";
    std::vector<double> program, splash, bare;
    for (int i = 0; i < 10; ++i) {
        const Run p = OneRun(dir + "sonmira"), b = OneRun(dir + "bench_bare_window");
        if (p.firstPaint < 0 || p.splashPaint < 0 || b.firstPaint < 0) {
            std::fprintf(stderr, "bench_startup: a run gave no first-paint stamp\n");
            return 1;
        }
        program.push_back(p.firstPaint);
        splash.push_back(p.splashPaint);
        bare.push_back(b.firstPaint);
    }
    const double mp = Median(program), ms = Median(splash), mb = Median(bare);
    std::printf(
        "start-up, median of 10: bare Qt window painted at %.1f ms; sonmira's splash at %.1f ms (ratio %.2f, "
        "target <= 1.2), its main window at %.1f ms (ratio %.2f, target <= 1.5)\n",
        mb, ms, ms / mb, mp, mp / mb);
    return 0;
}
