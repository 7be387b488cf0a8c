#include "driver_steps.h"

#include <string.h>

#include <chrono>
#include <thread>

#include "Commport.h"

namespace drv {

namespace {

// One copy per driver library (see the header): hidden, never interposed.
uint8_t g_linkUp = 0;
int32_t g_lastResult = 0;

constexpr int32_t kBaud = 9600;
constexpr int32_t kFirstPort = 1;
constexpr int32_t kLastPort = 4;

}  // namespace

bool LinkUp() { return g_linkUp != 0; }
int32_t LastResult() { return g_lastResult; }

int32_t Store(int32_t code) {
    g_lastResult = code;
    return code;
}

int32_t Pause(int32_t ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return kDevOk;
}

//   byte:   0    1    2    3
//   reply:  5A   x    y    5A^x^y
bool ReplyGood(const uint8_t reply[kReplyLen]) { return reply[0] == kHeader && reply[3] == CheckByte(reply, 3); }

int32_t Exchange(const Frame& frame, uint8_t reply[kReplyLen]) {
    memset(reply, 0, kReplyLen);
    return Store(SendData(frame.bytes, reply, frame.len, kReplyTimeoutMs, kReplyLen, 0, 1));
}

int32_t Handshake(const Frame& frame) {
    uint8_t reply[kReplyLen];
    const int32_t rc = Exchange(frame, reply);
    if (rc > 0) return rc;
    return Store(ReplyGood(reply) ? kDevOk : kDevNoModule);
}

int32_t WriteOnly(const Frame& frame, int32_t timeoutMs, int32_t pauseMs) {
    uint8_t reply[kReplyLen] = {0, 0, 0, 0};
    const int32_t rc = Store(SendData(frame.bytes, reply, frame.len, timeoutMs, kReplyLen, 0, 0));
    Pause(pauseMs);
    return rc > 0 ? rc : kDevOk;
}

int32_t Connect(const Frame& handshake) {
    if (g_linkUp) CloseLink();
    if (SetCommBaud(kBaud) != SERTRA_SET_ACCEPTED) return Store(kDevNoPort);
    for (int32_t port = kFirstPort; port <= kLastPort; ++port) {
        if (SetCommPort(port) != SERTRA_SET_ACCEPTED) return Store(kDevNoPort);
        if (OpenPort() != SERTRA_OK) continue;
        if (Handshake(handshake) == kDevOk) {
            g_linkUp = 1;
            return Store(kDevOk);
        }
        ClosePort();
    }
    // A bad reply on the last port is still "no port", not kDevNoModule.
    return Store(kDevNoPort);
}

void CloseLink() {
    ClosePort();
    g_linkUp = 0;
}

void CloseLinkIfUp() {
    if (g_linkUp) CloseLink();
}

int32_t LinkCheck(IDevInter& self, const Frame& handshake) {
    if (!g_linkUp) {
        const int32_t rc = Store(self.Connect());
        if (rc != kDevOk) return rc;
    }
    return Handshake(handshake);
}

int32_t RunSteps(std::initializer_list<Step> steps) {
    for (const Step& step : steps) {
        const int32_t rc = Store(step());
        if (rc != kDevOk) return rc;
    }
    return kDevOk;
}

}  // namespace drv
