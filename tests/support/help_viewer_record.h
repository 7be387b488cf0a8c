// What the recording help viewer (recording_helpviewer.cpp) saw in its last
// call of HtmlHelpA; read through its export HelpTestLastCall.
#pragma once

#include <stdint.h>

struct HelpViewerCall {
    int calls;  // how many calls so far
    void* owner;
    char file[512];
    unsigned int command;
    uintptr_t data;
};

using HelpTestLastCallFn = const HelpViewerCall* (*)();
