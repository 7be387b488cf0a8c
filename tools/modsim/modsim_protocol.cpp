#include "modsim_protocol.h"

#include <stdio.h>

namespace modsim {

namespace {

constexpr uint8_t kReadyByte = 0xFF;
constexpr uint8_t kBusyByte = 0x00;
constexpr int32_t kSecondHandshakeArg = 3;

}  // namespace

const char* ModuleName(Module m) { return m == Module::First ? "first" : "second"; }

size_t FrameLength(Module m) { return m == Module::First ? 4 : 5; }

bool CheckGood(const std::vector<uint8_t>& frame) {
    if (frame.size() < 2 || frame[0] != kHeader) return false;
    uint8_t x = 0;
    for (size_t i = 0; i + 1 < frame.size(); ++i) x ^= frame[i];
    return x == frame.back();
}

Command Decode(Module m, const std::vector<uint8_t>& frame) {
    Command c;
    const uint8_t cmd = frame[1];
    if (m == Module::First) {
        c.arg = frame[2];
        switch (cmd) {
            case 0x44:
                c.name = "handshake";
                c.wantsReply = true;
                break;
            case 0x66: c.name = "release"; break;
            case 0x33: c.name = "play"; break;
            case 0x11: c.name = "record"; break;
            default: c.name = "unknown"; break;
        }
        return c;
    }
    c.arg = (frame[2] << 8) | frame[3];
    switch (cmd) {
        case 0x44:
            // Handshake and chip type share the byte; the handshake's argument is 3.
            c.name = c.arg == kSecondHandshakeArg ? "handshake" : "chip_type";
            c.wantsReply = true;
            break;
        case 0xCC: c.name = "cmd_cc"; break;
        case 0xBB: c.name = "cmd_bb"; break;
        case 0x66: c.name = "release"; break;
        case 0xDD: c.name = "end_address"; break;
        case 0x33: c.name = "play"; break;
        case 0x22: c.name = "pulse_play"; break;
        case 0x11: c.name = "record"; break;
        case 0x1A: c.name = "record_aux"; break;
        default: c.name = "unknown"; break;
    }
    return c;
}

std::vector<uint8_t> Reply(Module m, const Command& c, ReplyKind kind) {
    uint8_t y = m == Module::First ? 0x44 : kReadyByte;
    if (kind == ReplyKind::Busy && c.name == "chip_type") y = kBusyByte;
    std::vector<uint8_t> r{kHeader, 0x44, y, 0};
    r[3] = static_cast<uint8_t>(r[0] ^ r[1] ^ r[2]);
    if (kind == ReplyKind::Wrong) r[3] = 0x00;
    return r;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
    std::string s;
    char b[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        snprintf(b, sizeof b, i ? " %02X" : "%02X", bytes[i]);
        s += b;
    }
    return s;
}

void FrameSplitter::Feed(const uint8_t* data, size_t n, std::vector<Unit>& out) {
    for (size_t i = 0; i < n; ++i) {
        const uint8_t b = data[i];
        if (buf_.empty() && b != kHeader) {
            junk_.push_back(b);
            continue;
        }
        if (!junk_.empty()) {
            out.push_back({junk_, false});
            junk_.clear();
        }
        buf_.push_back(b);
        if (buf_.size() == len_) {
            const bool good = CheckGood(buf_);
            out.push_back({buf_, good});
            buf_.clear();
        }
    }
    if (!junk_.empty()) {
        out.push_back({junk_, false});
        junk_.clear();
    }
}

bool FrameSplitter::TakePartial(Unit& out) {
    if (buf_.empty()) return false;
    out = {buf_, false};
    buf_.clear();
    return true;
}

}  // namespace modsim
