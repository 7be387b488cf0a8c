// Frame exchange exports: write one frame, then collect the reply as asked.
#include "Commport.h"
#include "port_object.h"

namespace sertra {

namespace {

// Per-byte allowance while searching for the SendOrder reply head.
constexpr int64_t kHeadSearchWaitMs = 3;
// Read time-out per byte during SendOrder.
constexpr int32_t kOrderReadMsPerByte = 20;

// Where SendOrder finds lengths, chosen by the frame head's top two bits.
//   0x00: head, b1, len,            payload...
//   0x40: head, b1, lenHi, lenLo,   payload...
//   0x80: head, b1, b2, len,        payload...
//   0xC0: head, b1, b2, lenHi, lenLo, payload...
// The outgoing frame and the reply share the layout; the length counts the
// payload only. Under 0x80 the reply's length is taken from byte 3, as in
// its outgoing frame and like every other layout (the last header byte).
struct OrderLayout {
    int headerBytes;  // header bytes after the head byte
    int lengthAt;     // index of the length (its high byte for two-byte lengths)
    bool twoByteLength;
};

OrderLayout LayoutFor(int32_t head) {
    switch (head & 0xC0) {
        case 0x40: return {3, 2, true};
        case 0x80: return {3, 3, false};
        case 0xC0: return {4, 3, true};
        default: return {2, 2, false};
    }
}

int32_t PayloadLength(const OrderLayout& layout, const uint8_t* bytes) {
    if (layout.twoByteLength) return bytes[layout.lengthAt] * 256 + bytes[layout.lengthAt + 1];
    return bytes[layout.lengthAt];
}

int64_t ByteWait(const CCommPort& port, int64_t count) { return int64_t{port.perByteMs} * count; }

// Terminator mode of SendData: one byte at a time until the terminator is stored.
int32_t ReceiveUntilTerminator(CCommPort& port, uint8_t* reply, int32_t timeoutMs, uint8_t terminator) {
    if (port.WaitForReceive(timeoutMs) != SERTRA_OK) return SERTRA_ERR_RECEIVE_WAIT;
    if (terminator == 0) return SERTRA_OK;
    if (reply == nullptr) return SERTRA_ERR_READ_START;

    int64_t wait = timeoutMs;
    int32_t stored = 0;
    for (;;) {
        if (stored == SERTRA_TERMINATOR_REPLY_MAX)
            return SERTRA_ERR_READ_WAIT;  // no terminator within the bound: never write past it
        int32_t got = 0;
        const int32_t code = port.ReadPort(reply + stored, 1, &got, wait);
        if (code != SERTRA_OK) return code;
        if (got != 1) return SERTRA_ERR_READ_TIMEOUT;
        ++stored;
        if (reply[stored - 1] == terminator) return SERTRA_OK;
        wait = wait / stored + 10;
    }
}

// Reply to SendOrder: head byte (found within the first three bytes), header, payload.
int32_t ReceiveOrderReply(CCommPort& port, uint8_t* reply, int32_t timeoutMs) {
    // No purge here: the one before the write already dropped stale input, and
    // a second one would race with a module that answers at once.
    if (port.WaitForReceive(timeoutMs) != SERTRA_OK) return SERTRA_ERR_RECEIVE_WAIT;

    uint8_t last = 0;
    for (int count = 0; last != port.frameHead && count < 3; ++count) {
        int32_t got = 0;
        if (port.ReadPort(&last, 1, &got, kHeadSearchWaitMs) != SERTRA_OK || got != 1) return SERTRA_ERR_WAIT_EVENT;
    }
    reply[0] = last;

    const OrderLayout layout = LayoutFor(port.frameHead);
    const int32_t code = port.ReadPort(reply + 1, layout.headerBytes, nullptr, ByteWait(port, layout.headerBytes));
    if (code != SERTRA_OK) return code;
    const int32_t length = PayloadLength(layout, reply);
    return port.ReadPort(reply + 1 + layout.headerBytes, length, nullptr, ByteWait(port, length));
}

// SendData on an open port.
int32_t SendAndReceive(CCommPort& port, const uint8_t* frame, uint8_t* reply, int32_t frameLen, int32_t timeoutMs,
                       int32_t replyLen, uint8_t terminator, uint8_t waitReply) {
    port.PurgePort();
    // t / r + 1 ms per byte lets a whole reply take a little over t, so the
    // caller's wait of t always ends a silent read first. Terminator mode reads
    // single bytes bounded by their own waits: no read time-out.
    int32_t msPerByte = 0;
    if (replyLen > 0 && timeoutMs > 0) msPerByte = timeoutMs / replyLen + 1;
    port.SetReadTimeout(msPerByte);

    const int32_t code = port.WritePort(frame, frameLen, nullptr, ByteWait(port, frameLen));
    if (code != SERTRA_OK) return code;
    if (waitReply == 0) return SERTRA_OK;  // a reply stays queued until the next exchange purges it
    if (timeoutMs <= 0) return SERTRA_ERR_NO_TIMEOUT;
    if (replyLen > 0) return port.ReadPort(reply, replyLen, nullptr, timeoutMs);
    return ReceiveUntilTerminator(port, reply, timeoutMs, terminator);
}

// SendOrder on an open port, frame and reply given.
int32_t SendOrderAndReceive(CCommPort& port, const uint8_t* frame, uint8_t* reply, int32_t timeoutMs) {
    const OrderLayout layout = LayoutFor(port.frameHead);
    const int32_t length = PayloadLength(layout, frame) + 1 + layout.headerBytes;
    port.PurgePort();
    const int32_t code = port.WritePort(frame, length, nullptr, ByteWait(port, length));
    if (code != SERTRA_OK) return code;
    return ReceiveOrderReply(port, reply, timeoutMs);
}

}  // namespace

}  // namespace sertra

using sertra::CCommPort;
using sertra::ThePort;

extern "C" {

int32_t SendData(const uint8_t* frame, uint8_t* reply, int32_t frameLen, int32_t timeoutMs, int32_t replyLen,
                 uint8_t terminator, uint8_t waitReply) {
    CCommPort& port = ThePort();
    if (!port.IsOpen()) return SERTRA_ERR_NOT_OPEN;
    port.BeginExchange(waitReply != 0 ? timeoutMs : 0);
    return port.EndExchange(
        sertra::SendAndReceive(port, frame, reply, frameLen, timeoutMs, replyLen, terminator, waitReply));
}

int32_t SendOrder(const uint8_t* frame, uint8_t* reply, int32_t timeoutMs) {
    CCommPort& port = ThePort();
    port.SetReadTimeout(sertra::kOrderReadMsPerByte);
    if (!port.IsOpen()) return SERTRA_ERR_NOT_OPEN;
    if (frame == nullptr) return SERTRA_ERR_WRITE;
    if (reply == nullptr) return SERTRA_ERR_READ_START;
    port.BeginExchange(timeoutMs);
    return port.EndExchange(sertra::SendOrderAndReceive(port, frame, reply, timeoutMs));
}

int32_t SetFrameHead(int32_t head) {
    if (head < 0 || head > 256) return SERTRA_SET_REFUSED;
    ThePort().frameHead = head;
    return SERTRA_SET_ACCEPTED;
}

int32_t ReadBlock(uint8_t* buffer, int32_t length, int32_t timeoutMs) {
    CCommPort& port = ThePort();
    if (!port.IsOpen()) return SERTRA_ERR_NOT_OPEN;
    port.SetReadTimeout(0);
    int32_t waiting = 0;
    port.InputWaiting(&waiting);
    if (waiting == 0 && port.WaitForReceive(timeoutMs) != SERTRA_OK) return SERTRA_ERR_RECEIVE_WAIT;
    return port.ReadPort(buffer, length, nullptr, timeoutMs);
}

}  // extern "C"
