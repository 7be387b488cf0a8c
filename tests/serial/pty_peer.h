// The module's side of a pseudo-terminal for the serial tests: the library
// opens the slave through SERTRA_COMn, the test reads and writes the master.
#pragma once

#include <stdint.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace sertra_test {

using Bytes = std::vector<uint8_t>;

class PtyPair {
public:
    PtyPair();  // opens master and slave, both raw; slave kept open so the line never hangs up
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    int master() const { return master_; }
    int slave() const { return slave_; }
    const std::string& path() const { return path_; }
    void CloseMaster();
    void CloseSlave();

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

// Reads until n bytes have come or waitMs has passed; returns what came.
Bytes ReadBytes(int fd, size_t n, int waitMs);
// Everything that arrives until the line has been quiet for quietMs.
Bytes ReadUntilQuiet(int fd, int quietMs);
void WriteBytes(int fd, const Bytes& bytes);
// Fills the pty's queue towards the master until it takes no more.
void FillQueue(int slaveFd);

// Runs body on its own thread and joins it on destruction.
class Peer {
public:
    explicit Peer(std::function<void()> body) : thread_(std::move(body)) {}
    ~Peer() { Join(); }
    void Join() {
        if (thread_.joinable()) thread_.join();
    }

private:
    std::thread thread_;
};

int CountOpenFds();
int64_t NowMs();

}  // namespace sertra_test
