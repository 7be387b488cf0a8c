// Frame exchanges on a real pseudo-terminal; the test thread or a peer
// thread plays the module on the master side. Wire bytes are exact.
#include <string.h>
#include <unistd.h>

#include "load_margins.h"
#include "serial_fixture.h"

using namespace sertra_test;

namespace {

const Bytes kHandshake = {0x5A, 0x10, 0x00, 0x4A};
const Bytes kHandshakeReply = {0x5A, 0x10, 0x55, 0x1F};

class ExchangeTest : public SerialTest {
protected:
    void SetUp() override {
        SerialTest::SetUp();
        ASSERT_EQ(OpenPort(), 0);
    }
};

}  // namespace

TEST_F(ExchangeTest, sendDataWithReply_writesFrameAndFillsReply) {
    Bytes seen;
    Peer module([&] {
        seen = ReadBytes(pty->master(), 4, 2000);
        WriteBytes(pty->master(), kHandshakeReply);
    });
    uint8_t reply[6];
    memset(reply, 0xEE, sizeof reply);
    EXPECT_EQ(SendData(kHandshake.data(), reply, 4, 500, 4, 0, 1), 0);
    module.Join();
    EXPECT_EQ(seen, kHandshake);
    EXPECT_EQ(Bytes(reply, reply + 4), kHandshakeReply);
    EXPECT_EQ(reply[4], 0xEE);  // never past the reply length
    EXPECT_EQ(reply[5], 0xEE);
}

TEST_F(ExchangeTest, replyInPieces_isCollectedUntilComplete) {
    Peer module([&] {
        ReadBytes(pty->master(), 4, 2000);
        WriteBytes(pty->master(), {0x5A, 0x10});
        usleep(50000);
        WriteBytes(pty->master(), {0x55, 0x1F});
    });
    uint8_t reply[4] = {};
    EXPECT_EQ(SendData(kHandshake.data(), reply, 4, 500, 4, 0, 1), 0);
    EXPECT_EQ(Bytes(reply, reply + 4), kHandshakeReply);
}

TEST_F(ExchangeTest, sendDataWriteOnly_returnsAtOnceAndReadsNothing) {
    const Bytes frame = {0x5A, 0x21, 0x01, 0x00, 0x7A};
    uint8_t reply[4];
    memset(reply, 0xEE, sizeof reply);
    WriteBytes(pty->master(), {0x01});  // stale input, purged before the write
    EXPECT_EQ(SendData(frame.data(), reply, 5, 1000, 4, 0, 0), 0);
    EXPECT_EQ(ReadBytes(pty->master(), 5, 1000), frame);
    EXPECT_EQ(reply[0], 0xEE);
}

TEST_F(ExchangeTest, backToBackWriteOnlyFrames_bothReachPromptPeerIntact) {
    const Bytes first = {0x5A, 0x31, 0x12, 0x34, 0x4D};
    const Bytes second = {0x5A, 0x32, 0x00, 0x10, 0x78};
    Bytes seen;
    Peer module([&] { seen = ReadBytes(pty->master(), 10, 2000); });
    EXPECT_EQ(SendData(first.data(), nullptr, 5, 1000, 4, 0, 0), 0);
    EXPECT_EQ(SendData(second.data(), nullptr, 5, 1000, 4, 0, 0), 0);
    module.Join();
    Bytes expected = first;
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(seen, expected);
}

TEST_F(ExchangeTest, backToBackWriteOnlyFrames_bothReachLatePeerIntact) {
    // The peer reads only long after both writes: each still counts as sent,
    // and the purge before the second must not drop the first.
    const Bytes first = {0x5A, 0x31, 0x12, 0x34, 0x4D};
    const Bytes second = {0x5A, 0x32, 0x00, 0x10, 0x78};
    const int64_t start = NowMs();
    EXPECT_EQ(SendData(first.data(), nullptr, 5, 1000, 4, 0, 0), 0);
    EXPECT_EQ(SendData(second.data(), nullptr, 5, 1000, 4, 0, 0), 0);
    EXPECT_LT(NowMs() - start, 1000);  // waiting for the late peer would take the whole 1000 ms wait
    usleep(200000);
    Bytes expected = first;
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(ReadBytes(pty->master(), 10, 1000), expected);
}

TEST_F(ExchangeTest, silentLine_returns1033AfterTheWait) {
    uint8_t reply[4] = {};
    const int64_t start = NowMs();
    EXPECT_EQ(SendData(kHandshake.data(), reply, 4, 500, 4, 0, 1), SERTRA_ERR_READ_TIMEOUT);
    const int64_t elapsed = NowMs() - start;
    EXPECT_GE(elapsed, 498);
    EXPECT_LT(elapsed, 2 * 500);  // a second wait would take this long at least
    EXPECT_EQ(ReadBytes(pty->master(), 4, 1000), kHandshake);
}

TEST_F(ExchangeTest, shortReply_returns1033) {
    Peer module([&] {
        ReadBytes(pty->master(), 4, 2000);
        WriteBytes(pty->master(), {0x5A, 0x10});
    });
    uint8_t reply[4] = {};
    EXPECT_EQ(SendData(kHandshake.data(), reply, 4, 200, 4, 0, 1), SERTRA_ERR_READ_TIMEOUT);
}

TEST_F(ExchangeTest, waitWithoutTimeout_writesFrameThenReturns333) {
    uint8_t reply[4] = {};
    EXPECT_EQ(SendData(kHandshake.data(), reply, 4, 0, 4, 0, 1), SERTRA_ERR_NO_TIMEOUT);
    EXPECT_EQ(SendData(kHandshake.data(), reply, 4, -5, 4, 0x0D, 1), SERTRA_ERR_NO_TIMEOUT);
    Bytes expected = kHandshake;
    expected.insert(expected.end(), kHandshake.begin(), kHandshake.end());
    EXPECT_EQ(ReadBytes(pty->master(), 8, 1000), expected);
}

TEST_F(ExchangeTest, closedPort_exchangesReturn102AndWriteNothing) {
    ClosePort();
    uint8_t reply[8] = {};
    EXPECT_EQ(SendData(kHandshake.data(), reply, 4, 500, 4, 0, 1), SERTRA_ERR_NOT_OPEN);
    EXPECT_EQ(SendOrder(kHandshake.data(), reply, 500), SERTRA_ERR_NOT_OPEN);
    EXPECT_EQ(ReadBlock(reply, 4, 100), SERTRA_ERR_NOT_OPEN);
    EXPECT_TRUE(ReadBytes(pty->master(), 1, 100).empty());
}

TEST_F(ExchangeTest, badBuffersAndLengths_failWithoutTouchingMemory) {
    uint8_t reply[4] = {};
    EXPECT_EQ(SendData(nullptr, reply, 4, 500, 4, 0, 1), SERTRA_ERR_WRITE);
    EXPECT_EQ(SendData(kHandshake.data(), reply, -1, 500, 4, 0, 1), SERTRA_ERR_WRITE);
    EXPECT_EQ(SendData(kHandshake.data(), nullptr, 4, 100, 4, 0, 1), SERTRA_ERR_READ_START);
    EXPECT_EQ(ReadBlock(nullptr, 4, 50), SERTRA_ERR_RECEIVE_WAIT);
    EXPECT_EQ(ReadBlock(reply, 0, 0), SERTRA_ERR_RECEIVE_WAIT);
}

TEST_F(ExchangeTest, lateReply_isPurgedBeforeTheNextExchange) {
    uint8_t reply[4] = {};
    // First exchange gives up; the module answers afterwards.
    EXPECT_EQ(SendData(kHandshake.data(), reply, 4, 100, 4, 0, 1), SERTRA_ERR_READ_TIMEOUT);
    ReadBytes(pty->master(), 4, 1000);
    WriteBytes(pty->master(), {0xBA, 0xD0, 0xBA, 0xD0});
    usleep(20000);
    // A write-only frame's reply is left queued as well.
    EXPECT_EQ(SendData(kHandshake.data(), nullptr, 4, 500, 4, 0, 0), 0);
    ReadBytes(pty->master(), 4, 1000);
    WriteBytes(pty->master(), {0xBB, 0xBB, 0xBB, 0xBB});
    usleep(20000);

    Peer module([&] {
        ReadBytes(pty->master(), 4, 2000);
        WriteBytes(pty->master(), kHandshakeReply);
    });
    memset(reply, 0, sizeof reply);
    EXPECT_EQ(SendData(kHandshake.data(), reply, 4, 500, 4, 0, 1), 0);
    EXPECT_EQ(Bytes(reply, reply + 4), kHandshakeReply);
}

TEST_F(ExchangeTest, terminatorMode_storesUpToAndIncludingTerminator) {
    Peer module([&] {
        ReadBytes(pty->master(), 4, 2000);
        WriteBytes(pty->master(), {0x01, 0x02, 0x0D, 0x77});
    });
    uint8_t reply[8];
    memset(reply, 0xEE, sizeof reply);
    EXPECT_EQ(SendData(kHandshake.data(), reply, 4, 500, 0, 0x0D, 1), 0);
    EXPECT_EQ(Bytes(reply, reply + 4), (Bytes{0x01, 0x02, 0x0D, 0xEE}));
}

TEST_F(ExchangeTest, terminatorZero_endsAtOnceWithNothingStored) {
    WriteBytes(pty->master(), {0x00});  // purged before the write
    Peer module([&] {
        ReadBytes(pty->master(), 4, 2000);
        WriteBytes(pty->master(), {0x00, 0x05});
    });
    uint8_t reply[4];
    memset(reply, 0xEE, sizeof reply);
    EXPECT_EQ(SendData(kHandshake.data(), reply, 4, 500, -3, 0, 1), 0);
    EXPECT_EQ(reply[0], 0xEE);
}

TEST_F(ExchangeTest, terminatorModeSilentLine_returns209AfterTheWait) {
    uint8_t reply[4] = {};
    const int64_t start = NowMs();
    EXPECT_EQ(SendData(kHandshake.data(), reply, 4, 200, 0, 0x0D, 1), SERTRA_ERR_RECEIVE_WAIT);
    EXPECT_GE(NowMs() - start, 198);
    EXPECT_LT(NowMs() - start, 200 + test_support::kLoadSlackMs);
}

TEST_F(ExchangeTest, terminatorModeStalledReply_returns1033) {
    Peer module([&] {
        ReadBytes(pty->master(), 4, 2000);
        WriteBytes(pty->master(), {0x01, 0x02});
    });
    uint8_t reply[8] = {};
    const int64_t start = NowMs();
    EXPECT_EQ(SendData(kHandshake.data(), reply, 4, 300, 0, 0x0D, 1), SERTRA_ERR_READ_TIMEOUT);
    // After two bytes the wait is (300 / 1 + 10) / 2 + 10 = 165 ms.
    EXPECT_LT(NowMs() - start, 165 + test_support::kLoadSlackMs);
    EXPECT_EQ(Bytes(reply, reply + 2), (Bytes{0x01, 0x02}));
}

TEST_F(ExchangeTest, terminatorModeWithoutTerminator_stopsAtBoundAndFails) {
    Peer module([&] {
        ReadBytes(pty->master(), 4, 2000);
        WriteBytes(pty->master(), Bytes(SERTRA_TERMINATOR_REPLY_MAX + 40, 0x41));
    });
    Bytes reply(SERTRA_TERMINATOR_REPLY_MAX + 16, 0xEE);
    EXPECT_EQ(SendData(kHandshake.data(), reply.data(), 4, 500, 0, 0x0D, 1), SERTRA_ERR_READ_WAIT);
    EXPECT_EQ(reply[SERTRA_TERMINATOR_REPLY_MAX - 1], 0x41);
    EXPECT_EQ(reply[SERTRA_TERMINATOR_REPLY_MAX], 0xEE);
}

namespace {

struct OrderCase {
    int32_t head;
    Bytes frame;  // with one trailing byte that must never be sent
    size_t frameLength;
    Bytes reply;  // as the module sends it, after up to two bytes of noise
    size_t replyLength;
};

void RunOrder(PtyPair& pty, const OrderCase& c, const Bytes& noise) {
    ASSERT_EQ(SetFrameHead(c.head), 1);
    Bytes seen;
    Peer module([&] {
        seen = ReadBytes(pty.master(), c.frameLength, 2000);
        Bytes wire = noise;
        wire.insert(wire.end(), c.reply.begin(), c.reply.end());
        WriteBytes(pty.master(), wire);
    });
    Bytes reply(c.replyLength + 8, 0xEE);
    EXPECT_EQ(SendOrder(c.frame.data(), reply.data(), 500), 0) << std::hex << c.head;
    module.Join();
    EXPECT_EQ(seen, Bytes(c.frame.begin(), c.frame.begin() + c.frameLength)) << std::hex << c.head;
    EXPECT_EQ(Bytes(reply.begin(), reply.begin() + c.replyLength),
              Bytes(c.reply.begin(), c.reply.begin() + c.replyLength))
        << std::hex << c.head;
    EXPECT_EQ(reply[c.replyLength], 0xEE) << std::hex << c.head;
    EXPECT_TRUE(ReadBytes(pty.master(), 1, 50).empty()) << "extra frame bytes sent";
}

}  // namespace

TEST_F(ExchangeTest, sendOrder_everyHeaderLayoutWritesAndReadsByItsLengths) {
    const OrderCase cases[] = {
        // 0x00: length in byte 2.
        {0x12, {0x12, 0x01, 0x02, 0xAA, 0xBB, 0x99}, 5, {0x12, 0x07, 0x02, 0xAA, 0xBB, 0x66}, 5},
        // 0x40: length in bytes 2-3.
        {0x52, {0x52, 0x01, 0x00, 0x02, 0xAA, 0xBB, 0x99}, 6, {0x52, 0x09, 0x00, 0x03, 0xC1, 0xC2, 0xC3, 0x66}, 7},
        // 0x80: length in byte 3.
        {0x92, {0x92, 0x01, 0x07, 0x01, 0xAA, 0x99}, 5, {0x92, 0x01, 0x05, 0x02, 0xC1, 0xC2, 0x66}, 6},
        // 0xC0: length in bytes 3-4.
        {0xD2, {0xD2, 0x01, 0x02, 0x00, 0x01, 0xAA, 0x99}, 6, {0xD2, 0x01, 0x02, 0x00, 0x02, 0xC1, 0xC2, 0x66}, 7},
    };
    for (const OrderCase& c : cases) RunOrder(*pty, c, {});
    for (const OrderCase& c : cases) RunOrder(*pty, c, {0x00, 0xFF});  // up to two bytes of noise before the head
}

TEST_F(ExchangeTest, sendOrderSilentLine_returns209) {
    uint8_t reply[16] = {};
    const uint8_t frame[] = {0x12, 0x01, 0x00};
    EXPECT_EQ(SendOrder(frame, reply, 150), SERTRA_ERR_RECEIVE_WAIT);
    EXPECT_EQ(ReadBytes(pty->master(), 4, 500), (Bytes{0x12, 0x01, 0x00}));
}

TEST_F(ExchangeTest, sendOrderHeadMissing_storesThirdByteAsHead) {
    Peer module([&] {
        ReadBytes(pty->master(), 3, 2000);
        WriteBytes(pty->master(), {0x01, 0x02, 0x03, 0x04, 0x01, 0xC1});
    });
    uint8_t reply[16];
    memset(reply, 0xEE, sizeof reply);
    const uint8_t frame[] = {0x12, 0x01, 0x00};
    EXPECT_EQ(SendOrder(frame, reply, 500), 0);
    EXPECT_EQ(Bytes(reply, reply + 5), (Bytes{0x03, 0x04, 0x01, 0xC1, 0xEE}));
}

TEST_F(ExchangeTest, setFrameHead_acceptsZeroTo256AndKeepsHeadOtherwise) {
    EXPECT_EQ(SetFrameHead(0x52), 1);
    EXPECT_EQ(SetFrameHead(257), 0);
    EXPECT_EQ(SetFrameHead(-1), 0);
    // Still layout 0x40: the frame's length comes from bytes 2-3.
    OrderCase c{0x52, {0x52, 0x01, 0x00, 0x00, 0x99}, 4, {0x52, 0x00, 0x00, 0x00}, 4};
    RunOrder(*pty, c, {});
    EXPECT_EQ(SetFrameHead(256), 1);
    EXPECT_EQ(SetFrameHead(0), 1);
}

TEST_F(ExchangeTest, readBlock_takesWaitingOrArrivingBytes) {
    WriteBytes(pty->master(), {0x11, 0x22, 0x33});
    usleep(20000);
    uint8_t buffer[4];
    memset(buffer, 0xEE, sizeof buffer);
    EXPECT_EQ(ReadBlock(buffer, 3, 200), 0);
    EXPECT_EQ(Bytes(buffer, buffer + 4), (Bytes{0x11, 0x22, 0x33, 0xEE}));

    Peer module([&] {
        usleep(50000);
        WriteBytes(pty->master(), {0x44});
        usleep(30000);
        WriteBytes(pty->master(), {0x55});
    });
    EXPECT_EQ(ReadBlock(buffer, 2, 1000), 0);
    EXPECT_EQ(Bytes(buffer, buffer + 2), (Bytes{0x44, 0x55}));
}

TEST_F(ExchangeTest, readBlockSilentOrShort_returns209Or1033) {
    uint8_t buffer[4] = {};
    const int64_t start = NowMs();
    EXPECT_EQ(ReadBlock(buffer, 4, 150), SERTRA_ERR_RECEIVE_WAIT);
    EXPECT_GE(NowMs() - start, 148);
    WriteBytes(pty->master(), {0x11});
    usleep(20000);
    EXPECT_EQ(ReadBlock(buffer, 4, 100), SERTRA_ERR_READ_TIMEOUT);
}

TEST_F(ExchangeTest, deviceGoneDuringReplyWait_failsPromptly) {
    Peer module([&] {
        ReadBytes(pty->master(), 4, 2000);
        pty->CloseMaster();
    });
    uint8_t reply[4] = {};
    const int64_t start = NowMs();
    const int32_t code = SendData(kHandshake.data(), reply, 4, 2000, 4, 0, 1);
    module.Join();
    EXPECT_EQ(code, SERTRA_ERR_READ_RESULT);
    EXPECT_LT(NowMs() - start, 2000);  // not the whole 2000 ms wait
}
