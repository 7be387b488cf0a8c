// Driver of the first module: 4-byte frames, one argument byte
// (so at most 256 chip rows), no chip code, no end address, no AUX mode.
#include <new>

#include "IDevInter.h"
#include "driver_steps.h"

namespace {

using drv::Frame;
using drv::Pause;
using drv::RunSteps;
using drv::WriteOnly;

constexpr uint8_t kCmdHandshake = 0x44;  // the only command with a reply
constexpr uint8_t kArgHandshake = 0x44;  // fixed argument of the handshake
constexpr uint8_t kCmdRelease = 0x66;    // ends a recording or playback
constexpr uint8_t kArgRelease = 0xFF;    // fixed argument of release
constexpr uint8_t kCmdPlay = 0x33;       // play from an address
constexpr uint8_t kCmdRecord = 0x11;     // record from an address until the next release

constexpr int32_t kReleasePauseMs = 10;  // the module's settle time after release

// The module takes one address byte. A wider address is refused rather than
// cut: 0x100 sent as 0x00 would record over the start of the chip.
bool Fits8(int32_t v) { return v >= 0 && v <= 0xFF; }

constexpr Frame kHandshake = drv::MakeFrame4(kCmdHandshake, kArgHandshake);  // 5A 44 44 5A
constexpr Frame kRelease = drv::MakeFrame4(kCmdRelease, kArgRelease);        // 5A 66 FF C3

static_assert(kHandshake.bytes[3] == 0x5A && kRelease.bytes[3] == 0xC3, "frame table");

int32_t Release() { return WriteOnly(kRelease, drv::kReplyTimeoutMs, kReleasePauseMs); }
int32_t Play(int32_t address) {
    if (!Fits8(address)) return kDevBadStart;
    return WriteOnly(drv::MakeFrame4(kCmdPlay, static_cast<uint8_t>(address)));
}
int32_t Record(int32_t address) {
    if (!Fits8(address)) return kDevBadStart;
    return WriteOnly(drv::MakeFrame4(kCmdRecord, static_cast<uint8_t>(address)), drv::kRecordTimeoutMs);
}

class CDev final : public IDevInter {
public:
    ~CDev() override { drv::CloseLinkIfUp(); }

    int32_t Connect() override { return drv::Connect(kHandshake); }

    int32_t Disconnect() override {
        drv::CloseLink();
        return drv::Store(kDevOk);
    }

    int32_t PulsePlay(int32_t address, int32_t /*chipCode*/) override {
        return RunSteps({
            [this] { return drv::LinkCheck(*this, kHandshake); },
            [] { return Release(); },
            [] { return Pause(20); },
            [=] { return Play(address); },
            [] { return Release(); },
        });
    }

    int32_t BeginPlayback(int32_t /*chipCode*/) override {
        return RunSteps({[this] { return drv::LinkCheck(*this, kHandshake); }});
    }

    int32_t PlaySegment(int32_t start, int32_t /*end*/) override {
        return RunSteps({
            [] { return Pause(1); },
            [] { return Release(); },
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

    int32_t BeginRecording(int32_t /*chipCode*/, int32_t /*auxMode*/) override {
        return RunSteps({[this] { return drv::LinkCheck(*this, kHandshake); }});
    }

    int32_t RecordSegment(int32_t start, int32_t /*end*/, int32_t /*chipCode*/) override {
        return RunSteps({
            [] { return Release(); },
            [=] { return Record(start); },
        });
    }

    int32_t EndRecording() override {
        return RunSteps({[] { return Release(); }});
    }
};

}  // namespace

SONMIRA_DRIVER_EXPORT int32_t CreateObj(IDevInter** out) {
    if (out) *out = new (std::nothrow) CDev();
    return 1;
}
