// The simulator itself, driven by a plain terminal client: replies, frame
// checks, faults, log and map formats, and its life on the pseudo-terminal.
#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>

#include <nlohmann/json.hpp>
#include <regex>

#include "modsim_harness.h"

using namespace modsim_test;
using Bytes = std::vector<uint8_t>;
using Frames = std::vector<std::string>;

namespace {

// A raw client on the simulator's terminal.
class Client {
public:
    explicit Client(const std::string& path) {
        fd_ = open(path.c_str(), O_RDWR | O_NOCTTY);
        termios t;
        if (fd_ >= 0 && tcgetattr(fd_, &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(fd_, TCSANOW, &t);
        }
    }
    ~Client() {
        if (fd_ >= 0) close(fd_);
    }
    bool ok() const { return fd_ >= 0; }
    void Send(const Bytes& b) { ASSERT_EQ(write(fd_, b.data(), b.size()), static_cast<ssize_t>(b.size())); }

    // Whatever arrives within timeoutMs, up to n bytes.
    Bytes Read(size_t n, int timeoutMs) {
        Bytes got;
        const int64_t until = MonotonicNs() + timeoutMs * 1'000'000LL;
        while (got.size() < n) {
            const int64_t left = (until - MonotonicNs()) / 1'000'000;
            if (left <= 0) break;
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(left)) <= 0) break;
            if (p.revents & (POLLHUP | POLLERR)) {
                hungUp_ = true;
                break;
            }
            uint8_t buf[64];
            const ssize_t r = read(fd_, buf, std::min(sizeof buf, n - got.size()));
            if (r <= 0) {
                hungUp_ = true;
                break;
            }
            got.insert(got.end(), buf, buf + r);
        }
        return got;
    }
    bool HungUp() const { return hungUp_; }

private:
    int fd_ = -1;
    bool hungUp_ = false;
};

// A frame and the reply it gets. A reply ends the read at once: the long
// default only matters when none comes (a loaded machine may delay it).
Bytes Exchange(Client& c, const Bytes& frame, int timeoutMs = test_support::kWaitMs) {
    c.Send(frame);
    return c.Read(4, timeoutMs);
}

const Bytes kFirstHandshake{0x5A, 0x44, 0x44, 0x5A};
const Bytes kSecondHandshake{0x5A, 0x44, 0x00, 0x03, 0x1D};
const Bytes kSecondChip0102{0x5A, 0x44, 0x01, 0x02, 0x1D};

}  // namespace

TEST(ModSim, badFramesAreLoggedAndUnanswered_goodOnesAfterThemStillAre) {
    ModSim sim({"--module", "first"});
    Client c(sim.Path());
    EXPECT_TRUE(Exchange(c, {0x5A, 0x44, 0x44, 0x00}, 150).empty());                // wrong check byte
    EXPECT_TRUE(Exchange(c, {0x5A, 0x44, 0x00, 0x03, 0x1D}, 150).empty());          // the other module's frame
    EXPECT_EQ(Exchange(c, {0x13, 0x37, 0x5A, 0x44, 0x44, 0x5A}), kFirstHandshake);  // noise, then a frame
    c.Send({0x5A, 0x44});                                                           // a frame cut short
    ASSERT_EQ(sim.WaitRx(6).size(), 6u);  // the simulator has given up on it (100 ms without its rest)
    EXPECT_EQ(Exchange(c, kFirstHandshake), kFirstHandshake);
    auto rx = sim.WaitRx(7);
    EXPECT_EQ(Hexes(rx), (Frames{"5A 44 44 00", "5A 44 00 03", "1D", "13 37", "5A 44 44 5A", "5A 44", "5A 44 44 5A"}));
    for (auto& l : rx) EXPECT_EQ(l.hasArg, l.cmd != "bad_frame") << l.hex;
}

TEST(ModSim, logLinesAreOneJsonObjectEach_withMonotonicTimes) {
    ModSim sim({"--module", "second"});
    Client c(sim.Path());
    const int64_t before = MonotonicNs();
    Exchange(c, kSecondHandshake);
    c.Send({0x5A, 0x1A, 0x01, 0x23, 0x62});
    c.Send({0x5A, 0x44, 0x01, 0x02, 0x00});
    sim.WaitRx(3);
    const int64_t after = MonotonicNs();
    std::istringstream in(ReadBytes(sim.LogPath()));
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    ASSERT_EQ(lines.size(), 4u);
    const std::string t = "\\{\"t_ns\":([0-9]+),";
    EXPECT_TRUE(std::regex_match(
        lines[0], std::regex(t + "\"dir\":\"rx\",\"hex\":\"5A 44 00 03 1D\",\"cmd\":\"handshake\",\"arg\":3\\}")))
        << lines[0];
    EXPECT_TRUE(
        std::regex_match(lines[1], std::regex(t + "\"dir\":\"tx\",\"hex\":\"5A 44 FF E1\",\"cmd\":\"handshake\"\\}")))
        << lines[1];
    EXPECT_TRUE(std::regex_match(
        lines[2], std::regex(t + "\"dir\":\"rx\",\"hex\":\"5A 1A 01 23 62\",\"cmd\":\"record_aux\",\"arg\":291\\}")))
        << lines[2];
    EXPECT_TRUE(std::regex_match(lines[3],
                                 std::regex(t + "\"dir\":\"rx\",\"hex\":\"5A 44 01 02 00\",\"cmd\":\"bad_frame\"\\}")))
        << lines[3];
    auto log = sim.Log();
    for (size_t i = 0; i < log.size(); ++i) {
        EXPECT_GE(log[i].t_ns, before);
        EXPECT_LE(log[i].t_ns, after);
        if (i) {
            EXPECT_GE(log[i].t_ns, log[i - 1].t_ns);
        }
    }
}

TEST(ModSim, mapFile_recordsWithEndModeAndRelease_playsAndPrintedOnExit) {
    ModSim sim({"--module", "second"});
    Client c(sim.Path());
    EXPECT_EQ(sim.Map(), "{\"module\":\"second\",\"chip_code\":null,\n\"records\":[],\n\"plays\":[]}\n");
    Exchange(c, kSecondChip0102);
    for (const Bytes& f :
         {Bytes{0x5A, 0x66, 0x00, 0x00, 0x3C}, Bytes{0x5A, 0xDD, 0x04, 0x56, 0xD5}, Bytes{0x5A, 0x1A, 0x01, 0x23, 0x62},
          Bytes{0x5A, 0x66, 0x00, 0x00, 0x3C}, Bytes{0x5A, 0xDD, 0x00, 0xB0, 0x37}, Bytes{0x5A, 0x11, 0x00, 0x80, 0xCB},
          Bytes{0x5A, 0x33, 0x00, 0x80, 0xE9}, Bytes{0x5A, 0x22, 0x00, 0x05, 0x7D}}) {
        c.Send(f);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    auto rx = sim.WaitRx(9);
    ASSERT_EQ(rx.size(), 9u);
    // The map is written after the frame that changed it is logged.
    const std::string expected =
        "{\"module\":\"second\",\"chip_code\":258,\n\"records\":[\n"
        "{\"start\":291,\"end\":1110,\"mode\":\"aux\",\"chip_code\":258,\"t_record_ns\":" +
        std::to_string(rx[3].t_ns) + ",\"t_release_ns\":" + std::to_string(rx[4].t_ns) +
        "},\n"
        "{\"start\":128,\"end\":176,\"mode\":\"normal\",\"chip_code\":258,\"t_record_ns\":" +
        std::to_string(rx[6].t_ns) +
        ",\"t_release_ns\":null}],\n\"plays\":[\n"
        "{\"kind\":\"play\",\"start\":128,\"end\":176,\"t_ns\":" +
        std::to_string(rx[7].t_ns) +
        "},\n"
        "{\"kind\":\"pulse_play\",\"start\":5,\"end\":null,\"t_ns\":" +
        std::to_string(rx[8].t_ns) + "}]}\n";
    EXPECT_EQ(sim.WaitMap([&](const std::string& map) { return map == expected; }), expected);
    EXPECT_EQ(sim.Stop(), expected);
    EXPECT_TRUE(WIFEXITED(sim.Status()) && WEXITSTATUS(sim.Status()) == 0);
    // One JSON document, whatever its line breaks.
    const nlohmann::json map = nlohmann::json::parse(expected);
    EXPECT_EQ(map.at("chip_code"), 258);
    EXPECT_EQ(map.at("records").size(), 2u);
    EXPECT_EQ(map.at("plays").at(1).at("end"), nullptr);
}

TEST(ModSim, terminalOutlivesClients_andDelayedRepliesComeLate) {
    ModSim sim({"--module", "first", "--delay", "200", "--fault-after", "3"});
    for (int i = 0; i < 3; ++i) {
        Client c(sim.Path());
        ASSERT_TRUE(c.ok());
        EXPECT_EQ(Exchange(c, kFirstHandshake), kFirstHandshake) << "client " << i;
    }
    Client c(sim.Path());
    const int64_t t0 = MonotonicNs();
    EXPECT_EQ(Exchange(c, kFirstHandshake), kFirstHandshake);
    const double ms = (MonotonicNs() - t0) / 1e6;
    EXPECT_GE(ms, 200);
    EXPECT_LE(ms, 200 + test_support::kLoadSlackMs);
}

TEST(ModSim, hangUpAfterNFrames_closesTheTerminalAndExits) {
    const TempDir dir;
    const std::string link = dir / "ttyMOD";
    ModSim sim({"--module", "first", "--hangup-after", "2", "--link", link});
    char target[256] = {0};
    ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(sim.Path(), target);
    Client c(link);
    EXPECT_EQ(Exchange(c, kFirstHandshake), kFirstHandshake);
    EXPECT_TRUE(Exchange(c, kFirstHandshake).empty());
    EXPECT_TRUE(c.HungUp());
    sim.Stop();
    EXPECT_TRUE(WIFEXITED(sim.Status()) && WEXITSTATUS(sim.Status()) == 0);
    struct stat st;
    EXPECT_NE(lstat(link.c_str(), &st), 0);  // the link goes with the terminal
}
