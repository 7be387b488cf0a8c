// Steps that both module drivers share: the port scan, the link check, the
// handshake with its reply check, write-only commands and step chaining.
//
// The link-up flag and the last result live in this library's own copy of the
// state: the static library is linked into each driver with hidden visibility,
// so two drivers loaded into one process never share them.
#pragma once

#include <stdint.h>

#include <functional>
#include <initializer_list>

#include "IDevInter.h"

namespace drv {

// Every step returns a result code of dev_result.h (through IDevInter.h);
// Sertra's own codes are positive and pass through.

constexpr uint8_t kHeader = 0x5A;         // first byte of every frame, both directions
constexpr int32_t kReplyLen = 4;          // every reply: 5A x y (5A^x^y)
constexpr int32_t kReplyTimeoutMs = 500;  // handshake, chip type and most writes
constexpr int32_t kRecordTimeoutMs = 1000;

// One command frame: 4 bytes (one argument byte) or 5 (two, high first).
struct Frame {
    uint8_t bytes[5];
    int32_t len;
};

// Check byte: XOR of every byte before it, header included.
constexpr uint8_t CheckByte(const uint8_t* bytes, int32_t n) {
    uint8_t x = 0;
    for (int32_t i = 0; i < n; ++i) x = static_cast<uint8_t>(x ^ bytes[i]);
    return x;
}

//   5A  command  argument  check
constexpr Frame MakeFrame4(uint8_t command, uint8_t argument) {
    Frame f{{kHeader, command, argument, 0, 0}, 4};
    f.bytes[3] = CheckByte(f.bytes, 3);
    return f;
}

//   5A  command  argument-high  argument-low  check
constexpr Frame MakeFrame5(uint8_t command, uint16_t argument) {
    Frame f{{kHeader, command, static_cast<uint8_t>(argument >> 8), static_cast<uint8_t>(argument & 0xFF), 0}, 5};
    f.bytes[4] = CheckByte(f.bytes, 4);
    return f;
}

// Library-wide state.
bool LinkUp();
int32_t LastResult();
int32_t Store(int32_t code);  // records the step's code as last result and returns it

// Whole-millisecond pause; always 0, so it chains like a step.
int32_t Pause(int32_t ms);

// Reply check: 5A, then any two bytes, then the XOR of the first three.
bool ReplyGood(const uint8_t reply[kReplyLen]);

// SendData with a 4-byte reply awaited; reply cleared first. Returns Sertra's code.
int32_t Exchange(const Frame& frame, uint8_t reply[kReplyLen]);

// Handshake: a positive Sertra code unchanged, else kDevOk for a good reply or kDevNoModule.
int32_t Handshake(const Frame& frame);

// Frame written without awaiting a reply, then the command's own pause.
int32_t WriteOnly(const Frame& frame, int32_t timeoutMs = kReplyTimeoutMs, int32_t pauseMs = 0);

// Port scan: baud 9600, COM1..COM4, open + handshake, first good port wins.
int32_t Connect(const Frame& handshake);

// ClosePort and clear the link-up flag. Disconnect uses it too: a flag left up
// over a closed port would skip the port scan and fail every later call.
void CloseLink();
// Destructor's step: close only when the link is up.
void CloseLinkIfUp();

// Connects through the object's own virtual table when the link is down,
// then handshakes in any case.
int32_t LinkCheck(IDevInter& self, const Frame& handshake);

// Runs the steps in order, storing each code; the first non-zero code ends the run.
using Step = std::function<int32_t()>;
int32_t RunSteps(std::initializer_list<Step> steps);

}  // namespace drv

// Export marker for a driver's CreateObj: the only visible symbol of a driver library.
#define SONMIRA_DRIVER_EXPORT extern "C" __attribute__((visibility("default")))
