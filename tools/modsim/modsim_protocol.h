// What the simulated module understands: frame length, check byte, command
// names, and the 4-byte replies it gives.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace modsim {

enum class Module { First, Second };

constexpr uint8_t kHeader = 0x5A;

// Names used in the log and the map.
const char* ModuleName(Module m);
size_t FrameLength(Module m);

// A well-formed frame's meaning. name is one of: handshake, chip_type, release,
// play, record, record_aux, end_address, pulse_play, cmd_cc, cmd_bb, unknown.
struct Command {
    std::string name;
    int32_t arg = 0;  // the argument byte (first module) or 16-bit argument (second)
    bool wantsReply = false;
};

// frame holds FrameLength(m) bytes with a good header and check byte.
Command Decode(Module m, const std::vector<uint8_t>& frame);

bool CheckGood(const std::vector<uint8_t>& frame);

enum class ReplyKind { Good, Wrong, Busy };

// 4-byte reply to a command that wants one:
//   good:  5A 44 44 5A (first module), 5A 44 FF E1 (second: byte 2 FF = ready)
//   busy:  chip type only, 5A 44 00 1E (check good, byte 2 not FF)
//   wrong: the good reply with its check byte zeroed
std::vector<uint8_t> Reply(Module m, const Command& c, ReplyKind kind);

std::string Hex(const std::vector<uint8_t>& bytes);  // "5A 44 44 5A"

// Cuts the received byte stream into frames. A frame starts at 0x5A and has
// the module's length; bytes before a header, and frames whose check byte is
// wrong, come out as bad units.
class FrameSplitter {
public:
    struct Unit {
        std::vector<uint8_t> bytes;
        bool good = false;
    };

    explicit FrameSplitter(size_t frameLength) : len_(frameLength) {}

    void Feed(const uint8_t* data, size_t n, std::vector<Unit>& out);
    bool HasPartial() const { return !buf_.empty(); }
    // A frame that stopped arriving is given up as a bad unit.
    bool TakePartial(Unit& out);

private:
    size_t len_;
    std::vector<uint8_t> buf_;
    std::vector<uint8_t> junk_;
};

}  // namespace modsim
