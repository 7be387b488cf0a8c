// The per-port records behind GetPortRecord: what each port's last open
// attempt and exchange found, on real pseudo-terminals.
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "as_nobody.h"
#include "serial_fixture.h"

using namespace sertra_test;

namespace {

SertraPortRecord RecordOf(int32_t number) {
    SertraPortRecord r;
    memset(&r, 0xEE, sizeof r);
    EXPECT_EQ(GetPortRecord(number, &r), SERTRA_OK);
    return r;
}

const uint8_t kHandshake[4] = {0x5A, 0x44, 0x44, 0x5A};

}  // namespace

TEST_F(SerialTest, portRecord_keepsEachPortsOpenAttempt) {
    SertraPortRecord r;
    EXPECT_EQ(GetPortRecord(0, &r), SERTRA_ERR_ARGUMENT);
    EXPECT_EQ(GetPortRecord(5, &r), SERTRA_ERR_ARGUMENT);
    EXPECT_EQ(GetPortRecord(1, nullptr), SERTRA_ERR_ARGUMENT);
    EXPECT_EQ(RecordOf(4).openTried, 0);  // this program never opens COM4

    const int holder = open(pty->path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    setenv("SERTRA_COM2", "/nonexistent/sertra-com2", 1);
    setenv("SERTRA_COM3", "", 1);
    const struct {
        int32_t port, result, failure, error;
        std::string path;
    } cases[] = {
        {1, SERTRA_ERR_OPEN, SERTRA_OPEN_BUSY, EWOULDBLOCK, pty->path()},
        {2, SERTRA_ERR_OPEN, SERTRA_OPEN_NO_DEVICE, ENOENT, "/nonexistent/sertra-com2"},
        {3, SERTRA_ERR_OPEN, SERTRA_OPEN_NO_PATH, 0, ""},
    };
    for (const auto& c : cases) {
        SetCommPort(c.port);
        EXPECT_EQ(OpenPort(), c.result) << c.port;
        r = RecordOf(c.port);
        EXPECT_EQ(r.openTried, 1) << c.port;
        EXPECT_EQ(r.openResult, c.result) << c.port;
        EXPECT_EQ(r.openFailure, c.failure) << c.port;
        EXPECT_EQ(r.openErrno, c.error) << c.port;
        EXPECT_EQ(std::string(r.path), c.path) << c.port;
        EXPECT_EQ(r.exchanged, 0) << c.port;
    }
    close(holder);
}

// Root opens any device, so the attempt runs as nobody on a device only root may open.
TEST_F(SerialTest, portRecord_aDeviceTheUserMayNotOpenIsNoPermission) {
    if (geteuid() != 0) GTEST_SKIP() << "only root can become nobody";
    ASSERT_EQ(chown(pty->path().c_str(), 0, 0), 0);
    ASSERT_EQ(chmod(pty->path().c_str(), 0600), 0);
    const test_support::CommandResult r = test_support::RunAsNobody([] {
        const int32_t result = OpenPort();
        SertraPortRecord record{};
        GetPortRecord(1, &record);
        std::printf("%d %d %d %d", result, record.openResult, record.openFailure, record.openErrno);
        return 0;
    });
    EXPECT_EQ(r.status, 0);
    const std::string open = std::to_string(SERTRA_ERR_OPEN);
    EXPECT_EQ(r.out,
              open + " " + open + " " + std::to_string(SERTRA_OPEN_NO_PERMISSION) + " " + std::to_string(EACCES));
}

TEST_F(SerialTest, portRecord_keepsTheLastExchangeOfTheOpenPortPastClose) {
    PtyPair second;
    setenv("SERTRA_COM2", second.path().c_str(), 1);
    ASSERT_EQ(OpenPort(), SERTRA_OK);
    SetCommPort(2);  // the exchange still belongs to COM1, the port that is open
    uint8_t reply[4];
    // A module that answers with a wrong check byte.
    Peer module([&] {
        ReadBytes(pty->master(), 4, 5000);
        WriteBytes(pty->master(), {0x5A, 0x01, 0x02, 0xFF});
    });
    EXPECT_EQ(SendData(kHandshake, reply, 4, 5000, 4, 0, 1), SERTRA_OK);
    module.Join();
    ClosePort();
    SertraPortRecord r = RecordOf(1);
    EXPECT_EQ(r.exchanged, 1);
    EXPECT_EQ(r.exchangeResult, SERTRA_OK);
    EXPECT_EQ(r.replyWaitMs, 5000);
    EXPECT_EQ(r.sentBytes, 4);
    EXPECT_EQ(r.replyTimedOut, 0);
    EXPECT_EQ(Bytes(r.received, r.received + r.receivedBytes), (Bytes{0x5A, 0x01, 0x02, 0xFF}));
    EXPECT_EQ(RecordOf(2).exchanged, 0);

    // A silent module; a second OpenPort while open leaves the record alone.
    ASSERT_EQ(OpenPort(), SERTRA_OK);
    EXPECT_EQ(OpenPort(), SERTRA_ERR_NOT_OPEN);
    EXPECT_EQ(SendData(kHandshake, reply, 4, 50, 4, 0, 1), SERTRA_ERR_READ_TIMEOUT);
    r = RecordOf(2);
    EXPECT_EQ(r.exchangeResult, SERTRA_ERR_READ_TIMEOUT);
    EXPECT_EQ(r.replyTimedOut, 1);
    EXPECT_EQ(r.receivedBytes, 0);
    ClosePort();

    // A new open attempt starts the record afresh.
    setenv("SERTRA_COM2", "/nonexistent/sertra-com2", 1);
    EXPECT_EQ(OpenPort(), SERTRA_ERR_OPEN);
    r = RecordOf(2);
    EXPECT_EQ(r.openFailure, SERTRA_OPEN_NO_DEVICE);
    EXPECT_EQ(r.exchanged, 0);
}
