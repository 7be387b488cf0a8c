// The AUX recording mode toggle: the value handed to BeginRecording, and what
// the tool button shows. The hint names what the next click does.
#pragma once

namespace audio {

constexpr int kAuxModeOff = 0;
constexpr int kAuxModeOn = 26;

struct AuxModeState {
    int value = kAuxModeOff;  // off at start-up, never stored

    void Toggle() { value = value == kAuxModeOn ? kAuxModeOff : kAuxModeOn; }
    bool Pressed() const { return value == kAuxModeOn; }
    const char* Hint() const { return Pressed() ? "关闭AUX录音模式" : "启用AUX录音模式"; }
    int ImageIndex() const { return Pressed() ? 22 : 23; }
};

}  // namespace audio
