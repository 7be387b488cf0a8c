// Driver of the second module: 5-byte frames with a 16-bit argument (high byte
// first); told the chip type before each run and each recorded segment; plays
// between a start and an end address; records in normal or AUX mode.
#include <new>

#include "IDevInter.h"
#include "driver_steps.h"

namespace {

using drv::Frame;
using drv::MakeFrame5;
using drv::Pause;
using drv::RunSteps;
using drv::WriteOnly;

constexpr uint8_t kCmdHandshake = 0x44;   // handshake and chip type share this byte
constexpr uint16_t kArgHandshake = 3;     // the handshake is command 0x44 with argument 3
constexpr uint8_t kCmdChipType = 0x44;    // tells the chip code; reply byte 2 = FF when ready
constexpr uint8_t kCmdCC = 0xCC;          // sent after the chip type before a run
constexpr uint8_t kCmdBB = 0xBB;          // sent once when a programming run begins
constexpr uint8_t kCmdRelease = 0x66;     // ends a recording or playback
constexpr uint8_t kCmdEndAddress = 0xDD;  // end address of the next play or record
constexpr uint8_t kCmdPlay = 0x33;        // play from a start address to the end address
constexpr uint8_t kCmdPulsePlay = 0x22;   // one-shot play from an address
constexpr uint8_t kCmdRecord = 0x11;      // record in normal mode until the next release
constexpr uint8_t kCmdRecordAux = 0x1A;   // record in AUX mode until the next release

constexpr uint8_t kChipReady = 0xFF;  // chip-type reply byte 2 when the module is ready

constexpr int32_t kChipTypePauseMs = 100;
constexpr int32_t kCCPauseMs = 100;
constexpr int32_t kBBPauseMs = 10;
constexpr int32_t kReleasePauseMs = 10;
constexpr int32_t kPlayPauseMs = 10;

constexpr Frame kHandshake = MakeFrame5(kCmdHandshake, kArgHandshake);  // 5A 44 00 03 1D
constexpr Frame kCC = MakeFrame5(kCmdCC, 0);                            // 5A CC 00 00 96
constexpr Frame kBB = MakeFrame5(kCmdBB, 0);                            // 5A BB 00 00 E1
constexpr Frame kRelease = MakeFrame5(kCmdRelease, 0);                  // 5A 66 00 00 3C
static_assert(kHandshake.bytes[4] == 0x1D && kCC.bytes[4] == 0x96 && kBB.bytes[4] == 0xE1 && kRelease.bytes[4] == 0x3C,
              "frame table");

// Stored by each BeginRecording, even one whose link check then fails; read by
// every record frame. One per driver library, reset by CreateObj.
int32_t g_auxMode = 0;

// Chip codes are cut to 16 bits. Addresses that do not fit are refused rather
// than cut, which would record or play at the wrong place of the chip.
uint16_t Low16(int32_t v) { return static_cast<uint16_t>(v & 0xFFFF); }
bool Fits16(int32_t v) { return v >= 0 && v <= 0xFFFF; }

// Chip type: reply as the handshake's, and byte 2 = FF (ready). The pause
// follows the exchange whatever its outcome.
//   reply:  5A  x  FF  5A^x^FF
int32_t ChipType(int32_t chipCode) {
    uint8_t reply[drv::kReplyLen];
    const int32_t rc = drv::Exchange(MakeFrame5(kCmdChipType, Low16(chipCode)), reply);
    Pause(kChipTypePauseMs);
    if (rc > 0) return rc;
    return drv::ReplyGood(reply) && reply[2] == kChipReady ? kDevOk : kDevBusy;
}

int32_t CommandCC() { return WriteOnly(kCC, drv::kReplyTimeoutMs, kCCPauseMs); }
int32_t CommandBB() { return WriteOnly(kBB, drv::kReplyTimeoutMs, kBBPauseMs); }
int32_t Release() { return WriteOnly(kRelease, drv::kReplyTimeoutMs, kReleasePauseMs); }
int32_t EndAddress(int32_t end) {
    if (!Fits16(end)) return kDevBadEnd;
    return WriteOnly(MakeFrame5(kCmdEndAddress, Low16(end)));
}
int32_t Play(int32_t start) {
    if (!Fits16(start)) return kDevBadStart;
    return WriteOnly(MakeFrame5(kCmdPlay, Low16(start)), drv::kReplyTimeoutMs, kPlayPauseMs);
}
int32_t PulsePlayCommand(int32_t address) {
    if (!Fits16(address)) return kDevBadStart;
    return WriteOnly(MakeFrame5(kCmdPulsePlay, Low16(address)), drv::kReplyTimeoutMs, kPlayPauseMs);
}
int32_t Record(int32_t start) {
    if (!Fits16(start)) return kDevBadStart;
    const uint8_t command = g_auxMode == kAuxModeOn ? kCmdRecordAux : kCmdRecord;
    return WriteOnly(MakeFrame5(command, Low16(start)), drv::kRecordTimeoutMs);
}

class CDev final : public IDevInter {
public:
    ~CDev() override { drv::CloseLinkIfUp(); }

    int32_t Connect() override { return drv::Connect(kHandshake); }

    int32_t Disconnect() override {
        drv::CloseLink();
        return drv::Store(kDevOk);
    }

    int32_t PulsePlay(int32_t address, int32_t chipCode) override {
        return RunSteps({
            [this] { return drv::LinkCheck(*this, kHandshake); },
            [=] { return ChipType(chipCode); },
            [] { return CommandCC(); },
            [] { return Pause(20); },
            [] { return Release(); },
            [] { return Pause(20); },
            [=] { return PulsePlayCommand(address); },
        });
    }

    int32_t BeginPlayback(int32_t chipCode) override {
        return RunSteps({
            [this] { return drv::LinkCheck(*this, kHandshake); },
            [=] { return ChipType(chipCode); },
            [] { return CommandCC(); },
        });
    }

    int32_t PlaySegment(int32_t start, int32_t end) override {
        return RunSteps({
            [] { return Pause(1); },
            [] { return Release(); },
            [] { return Pause(50); },
            [=] { return EndAddress(end); },
            [] { return Pause(20); },
            [=] { return Play(start); },
        });
    }

    int32_t EndPlayback() override {
        return RunSteps({
            [] { return Pause(1); },
            [] { return Release(); },
        });
    }

    int32_t BeginRecording(int32_t chipCode, int32_t auxMode) override {
        g_auxMode = auxMode;
        return RunSteps({
            [this] { return drv::LinkCheck(*this, kHandshake); },
            [=] { return ChipType(chipCode); },
            [] { return CommandCC(); },
            [] { return CommandBB(); },
            [] { return Pause(100); },
            [=] { return ChipType(chipCode); },
        });
    }

    int32_t RecordSegment(int32_t start, int32_t end, int32_t chipCode) override {
        return RunSteps({
            [] { return Pause(50); },
            [=] { return ChipType(chipCode); },
            [] { return Release(); },
            [=] { return EndAddress(end); },
            [=] { return Record(start); },
        });
    }

    int32_t EndRecording() override {
        return RunSteps({[] { return Release(); }});
    }
};

}  // namespace

SONMIRA_DRIVER_EXPORT int32_t CreateObj(IDevInter** out) {
    g_auxMode = 0;
    if (out) *out = new (std::nothrow) CDev();
    return 1;
}
