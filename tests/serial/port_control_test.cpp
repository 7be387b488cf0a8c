// Port control on real pseudo-terminals: choosing, opening, exclusivity,
// device faults, line set-up, modem lines and the exported symbol table.
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <string>

#include "serial_fixture.h"

using namespace sertra_test;

namespace {

std::string RunProbe(const std::string& args) {
    const std::string command = std::string(SERTRA_PROBE_PATH) + " " + args;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return "popen failed";
    char line[64] = {};
    if (fgets(line, sizeof line, pipe) == nullptr) line[0] = 0;
    pclose(pipe);
    return line;
}

}  // namespace

TEST(SerialExports, dynamicSymbolTable_holdsExactlyTheFifteenExports) {
    const std::string command = std::string("nm -D --defined-only ") + SERTRA_LIB_PATH;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> names;
    char line[512];
    while (fgets(line, sizeof line, pipe) != nullptr) {
        char address[64], type[8], name[256];
        if (sscanf(line, "%63s %7s %255s", address, type, name) == 3) names.insert(name);
    }
    ASSERT_EQ(pclose(pipe), 0);
    const std::set<std::string> expected = {"OpenPort", "ClosePort", "SetCommPort",  "SetCommBaud",   "SetDTR",
                                            "ClrDTR",   "SetRTS",    "ClrRTS",       "GetCommHandle", "GetDllVersion",
                                            "SendData", "SendOrder", "SetFrameHead", "ReadBlock",     "GetPortRecord"};
    EXPECT_EQ(names, expected);
}

TEST_F(SerialTest, closedPort_versionHandleAndModemLinesAnswerWithoutDevice) {
    EXPECT_EQ(GetDllVersion(), 20427);
    EXPECT_EQ(GetCommHandle(), -1);
    EXPECT_EQ(SetDTR(), 0);
    EXPECT_EQ(ClrDTR(), 0);
    EXPECT_EQ(SetRTS(), 0);
    EXPECT_EQ(ClrRTS(), 0);
    ClosePort();  // closing a closed port does nothing
    EXPECT_EQ(GetCommHandle(), -1);
}

TEST_F(SerialTest, openPort_opensRawLineAndReportsDescriptor) {
    // Start from a cooked line so every setting the library must change is wrong.
    termios tio{};
    ASSERT_EQ(tcgetattr(pty->slave(), &tio), 0);
    tio.c_iflag |= IXON | ICRNL;
    tio.c_oflag |= OPOST | ONLCR;
    tio.c_lflag |= ICANON | ECHO | ISIG;
    tio.c_cflag |= PARENB | CSTOPB;
    ASSERT_EQ(tcsetattr(pty->slave(), TCSANOW, &tio), 0);
    ASSERT_EQ(SetCommBaud(115200), 1);

    ASSERT_EQ(OpenPort(), 0);
    EXPECT_EQ(GetDllVersion(), 20427);
    const intptr_t handle = GetCommHandle();
    ASSERT_GE(handle, 0);
    EXPECT_NE(fcntl(static_cast<int>(handle), F_GETFD), -1);

    ASSERT_EQ(tcgetattr(pty->slave(), &tio), 0);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB), 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | ICRNL), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B115200));

    // Pseudo-terminals have no modem lines: the platform refuses.
    EXPECT_EQ(SetDTR(), 0);
    EXPECT_EQ(ClrRTS(), 0);

    ClosePort();
    EXPECT_EQ(GetCommHandle(), -1);
}

TEST_F(SerialTest, openPortTwice_returns102AndStaysOpen) {
    ASSERT_EQ(OpenPort(), 0);
    const intptr_t handle = GetCommHandle();
    EXPECT_EQ(OpenPort(), SERTRA_ERR_NOT_OPEN);
    EXPECT_EQ(GetCommHandle(), handle);
    const uint8_t frame[4] = {0x5A, 0x01, 0x02, 0x59};
    EXPECT_EQ(SendData(frame, nullptr, 4, 500, 4, 0, 0), 0);
    EXPECT_EQ(ReadBytes(pty->master(), 4, 1000), Bytes(frame, frame + 4));
}

TEST_F(SerialTest, setCommPort_selectsNameUsedByNextOpen) {
    PtyPair second;
    setenv("SERTRA_COM1", "/nonexistent/sertra-com1", 1);
    setenv("SERTRA_COM2", second.path().c_str(), 1);
    setenv("SERTRA_COM4", pty->path().c_str(), 1);

    EXPECT_EQ(SetCommPort(2), 1);
    ASSERT_EQ(OpenPort(), 0);
    EXPECT_EQ(SetCommPort(4), 1);  // only the name changes; the open port stays
    const uint8_t frame[1] = {0x33};
    EXPECT_EQ(SendData(frame, nullptr, 1, 500, 4, 0, 0), 0);
    EXPECT_EQ(ReadBytes(second.master(), 1, 1000), Bytes{0x33});
    ClosePort();

    ASSERT_EQ(OpenPort(), 0);
    EXPECT_EQ(SendData(frame, nullptr, 1, 500, 4, 0, 0), 0);
    EXPECT_EQ(ReadBytes(pty->master(), 1, 1000), Bytes{0x33});
    ClosePort();

    for (int32_t bad : {5, 0, -1}) {
        EXPECT_EQ(SetCommPort(bad), 0);
        EXPECT_EQ(OpenPort(), SERTRA_ERR_OPEN) << "COM1 (missing) after SetCommPort(" << bad << ")";
    }
}

TEST_F(SerialTest, openPortHeldInThisProcess_returns101) {
    const int holder = open(pty->path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(OpenPort(), SERTRA_ERR_OPEN);
    EXPECT_EQ(GetCommHandle(), -1);
    close(holder);
    EXPECT_EQ(OpenPort(), 0);
}

TEST_F(SerialTest, openPortHeldByOtherProcess_returns101BothWays) {
    ASSERT_EQ(OpenPort(), 0);
    EXPECT_EQ(RunProbe("1"), "101\n");
    ClosePort();

    // The other process holds the port while this one tries.
    const std::string command = std::string(SERTRA_PROBE_PATH) + " 1 400";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char line[64] = {};
    ASSERT_NE(fgets(line, sizeof line, pipe), nullptr);
    EXPECT_STREQ(line, "0\n");
    EXPECT_EQ(OpenPort(), SERTRA_ERR_OPEN);
    pclose(pipe);
    EXPECT_EQ(OpenPort(), 0);
}

TEST_F(SerialTest, openPortOnMissingOrNonTerminalDevice_failsWithoutLeak) {
    char regular[] = "/tmp/sertra-regular-XXXXXX";
    const int made = mkstemp(regular);
    ASSERT_GE(made, 0);
    close(made);
    const int before = CountOpenFds();

    setenv("SERTRA_COM1", "/nonexistent/ttyUSB9", 1);
    EXPECT_EQ(OpenPort(), SERTRA_ERR_OPEN);
    setenv("SERTRA_COM1", "", 1);
    EXPECT_EQ(OpenPort(), SERTRA_ERR_OPEN);
    setenv("SERTRA_COM1", "/dev/null", 1);
    EXPECT_EQ(OpenPort(), SERTRA_ERR_BUFFERS);
    setenv("SERTRA_COM1", regular, 1);
    EXPECT_EQ(OpenPort(), SERTRA_ERR_BUFFERS);
    EXPECT_EQ(GetCommHandle(), -1);
    EXPECT_EQ(CountOpenFds(), before);

    // The failures leave nothing held: the port opens once it exists.
    setenv("SERTRA_COM1", pty->path().c_str(), 1);
    EXPECT_EQ(OpenPort(), 0);
    unlink(regular);
}

TEST_F(SerialTest, deviceGoneWhileOpen_failsPromptlyAndCloseReleases) {
    ASSERT_EQ(OpenPort(), 0);
    pty->CloseMaster();
    pty->CloseSlave();
    const int before = CountOpenFds() - 1;  // the library's descriptor

    const uint8_t frame[4] = {0x5A, 0x00, 0x00, 0x5A};
    uint8_t reply[4] = {};
    const int64_t start = NowMs();
    EXPECT_EQ(SendData(frame, reply, 4, 500, 4, 0, 1), SERTRA_ERR_WRITE);
    EXPECT_EQ(ReadBlock(reply, 4, 500), SERTRA_ERR_RECEIVE_WAIT);
    EXPECT_LT(NowMs() - start, 500);  // either call's 500 ms wait would take this long
    ClosePort();
    EXPECT_EQ(CountOpenFds(), before);
}

TEST_F(SerialTest, writeThatCannotLeave_returns104AfterPerByteWait) {
    ASSERT_EQ(OpenPort(), 0);
    uint8_t frame[50] = {};
    const struct {
        int32_t rate;
        int32_t accepted;
        int64_t perByteMs;
    } steps[] = {{1200, 1, 9}, {300, 0, 9}, {19200, 1, 1}, {9600, 1, 2}};
    for (const auto& step : steps) {
        EXPECT_EQ(SetCommBaud(step.rate), step.accepted);
        FillQueue(pty->slave());
        const int64_t start = NowMs();
        EXPECT_EQ(SendData(frame, nullptr, 50, 500, 4, 0, 0), SERTRA_ERR_WRITE);
        const int64_t elapsed = NowMs() - start;
        EXPECT_GE(elapsed, step.perByteMs * 50 - 2) << step.rate;
        // Not the 500 ms wait SendData was given (where that is longer than the per-byte wait).
        EXPECT_LT(elapsed, std::max<int64_t>(500, step.perByteMs * 50 + 250)) << step.rate;
    }
}

TEST_F(SerialTest, unloadingLibraryCopy_closesItsOpenPort) {
    char copy[] = "/tmp/sertra-copy-XXXXXX";
    const int out = mkstemp(copy);
    ASSERT_GE(out, 0);
    close(out);
    {
        std::ifstream src(SERTRA_LIB_PATH, std::ios::binary);
        std::ofstream dst(copy, std::ios::binary);
        dst << src.rdbuf();
    }
    const int before = CountOpenFds();
    void* lib = dlopen(copy, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    auto openOther = reinterpret_cast<int32_t (*)()>(dlsym(lib, "OpenPort"));
    ASSERT_NE(openOther, nullptr);
    ASSERT_EQ(openOther(), 0);
    EXPECT_EQ(OpenPort(), SERTRA_ERR_OPEN);  // the copy holds it
    dlclose(lib);
    unlink(copy);
    EXPECT_EQ(CountOpenFds(), before);
    EXPECT_EQ(OpenPort(), 0);
}
