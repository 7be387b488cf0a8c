// What a programming or playback worker hands to the user-interface side.
// SetCaption, SetStatus and SetRange return only after the change has been
// made on the user-interface thread (the GUI runs them as blocking queued
// calls, the command-line tool prints). CloseDialog only asks for the close:
// the dialog's close step waits for the worker, so a worker blocked in that
// call would stall the close for its whole 1000 ms wait.
#pragma once

#include <cstdint>
#include <string>

namespace runs {

class IRunView {
public:
    virtual ~IRunView() = default;
    virtual void SetCaption(const std::string& text) = 0;
    // Label text and progress bar position.
    virtual void SetStatus(const std::string& text, int32_t position) = 0;
    // Progress bar range 0 .. max.
    virtual void SetRange(int32_t max) = 0;
    virtual void CloseDialog() = 0;
};

}  // namespace runs
