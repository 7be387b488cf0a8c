// Measures what the serial library adds to a 4-byte request / 4-byte reply on
// a pseudo-terminal whose peer answers at once, against the same exchange done
// with bare write/poll/read, and how closely a silent-line time-out keeps its wait.
#include <poll.h>
#include <pty.h>
#include <stdio.h>
#include <stdlib.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "Commport.h"

namespace {

int64_t NowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

void MakeRaw(int fd) {
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
}

bool ReadFull(int fd, uint8_t* buffer, size_t n) {
    size_t got = 0;
    while (got < n) {
        pollfd pfd{fd, POLLIN, 0};
        if (poll(&pfd, 1, 2000) <= 0) return false;
        const ssize_t r = read(fd, buffer + got, n - got);
        if (r <= 0) return false;
        got += static_cast<size_t>(r);
    }
    return true;
}

// Answers every 4-byte frame at once; records its own time per frame.
void Answer(int master, int count, std::vector<int64_t>* peerNs) {
    const uint8_t reply[4] = {0x5A, 0x10, 0x55, 0x1F};
    uint8_t frame[4];
    for (int i = 0; i < count; ++i) {
        if (!ReadFull(master, frame, 4)) return;
        const int64_t t0 = NowNs();
        if (write(master, reply, 4) != 4) return;
        peerNs->push_back(NowNs() - t0);
    }
}

double Percentile(std::vector<int64_t> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, static_cast<size_t>(p * (values.size() - 1) + 0.5));
    return values[index] / 1000.0;  // microseconds
}

void Report(const char* what, const std::vector<int64_t>& ns) {
    printf("%-34s median %8.1f us   p99 %8.1f us   (n=%zu)\n", what, Percentile(ns, 0.5), Percentile(ns, 0.99),
           ns.size());
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? atoi(argv[1]) : 2000;
    int master = -1, slave = -1;
    char name[128] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        perror("openpty");
        return 1;
    }
    MakeRaw(master);
    MakeRaw(slave);
    setenv("SERTRA_COM1", name, 1);
    SetCommPort(1);
    SetCommBaud(9600);
    if (OpenPort() != 0) {
        fprintf(stderr, "OpenPort failed\n");
        return 1;
    }
    const uint8_t frame[4] = {0x5A, 0x10, 0x00, 0x4A};
    uint8_t reply[4];

    // Library round trips.
    std::vector<int64_t> libNs, libPeerNs;
    {
        std::thread peer(Answer, master, rounds, &libPeerNs);
        for (int i = 0; i < rounds; ++i) {
            const int64_t t0 = NowNs();
            const int32_t code = SendData(frame, reply, 4, 500, 4, 0, 1);
            libNs.push_back(NowNs() - t0);
            if (code != 0) {
                fprintf(stderr, "SendData failed with %d at round %d\n", code, i);
                return 1;
            }
        }
        peer.join();
    }

    // The same exchange with bare system calls on the slave the test holds.
    std::vector<int64_t> rawNs, rawPeerNs;
    {
        std::thread peer(Answer, master, rounds, &rawPeerNs);
        for (int i = 0; i < rounds; ++i) {
            const int64_t t0 = NowNs();
            tcflush(slave, TCIFLUSH);
            if (write(slave, frame, 4) != 4 || !ReadFull(slave, reply, 4)) {
                fprintf(stderr, "bare exchange failed\n");
                return 1;
            }
            rawNs.push_back(NowNs() - t0);
        }
        peer.join();
    }

    printf("4-byte frame, 4-byte reply, pseudo-terminal, peer answers at once, %d rounds\n", rounds);
    Report("SendData round trip", libNs);
    Report("bare write/poll/read round trip", rawNs);
    Report("peer alone (read to reply written)", libPeerNs);
    printf("library overhead (median SendData - median bare): %.1f us\n",
           Percentile(libNs, 0.5) - Percentile(rawNs, 0.5));

    // Write-only frames, as the drivers send most commands; a peer drains them.
    std::vector<int64_t> writeNs;
    {
        std::atomic<bool> done{false};
        std::thread drain([&] {
            uint8_t sink[256];
            while (!done.load()) {
                pollfd pfd{master, POLLIN, 0};
                if (poll(&pfd, 1, 20) > 0 && read(master, sink, sizeof sink) <= 0) return;
            }
        });
        const uint8_t command[5] = {0x5A, 0x21, 0x01, 0x00, 0x7A};
        for (int i = 0; i < rounds; ++i) {
            const int64_t t0 = NowNs();
            const int32_t code = SendData(command, nullptr, 5, 1000, 4, 0, 0);
            writeNs.push_back(NowNs() - t0);
            if (code != 0) {
                fprintf(stderr, "write-only SendData failed with %d\n", code);
                return 1;
            }
        }
        done = true;
        drain.join();
    }
    Report("SendData write-only, 5 bytes", writeNs);

    // Time-outs on a silent line.
    for (int waitMs : {100, 500}) {
        const int runs = waitMs == 100 ? 10 : 4;
        std::vector<int64_t> overNs;
        for (int i = 0; i < runs; ++i) {
            const int64_t t0 = NowNs();
            const int32_t code = SendData(frame, reply, 4, waitMs, 4, 0, 1);
            overNs.push_back(NowNs() - t0 - int64_t{waitMs} * 1000000);
            if (code != SERTRA_ERR_READ_TIMEOUT) fprintf(stderr, "expected 1033, got %d\n", code);
            tcflush(master, TCIFLUSH);
        }
        std::sort(overNs.begin(), overNs.end());
        printf("silent line, wait %3d ms: returned 1033 after wait + median %.3f ms, max %.3f ms (n=%d)\n", waitMs,
               overNs[overNs.size() / 2] / 1e6, overNs.back() / 1e6, runs);
    }
    ClosePort();
    close(slave);
    close(master);
    return 0;
}
