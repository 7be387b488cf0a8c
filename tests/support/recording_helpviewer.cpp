// A help viewer library that only records how it was called.
#include <cstring>

#include "help_viewer_record.h"

namespace {
HelpViewerCall last{};
}

extern "C" __attribute__((visibility("default"))) void* HtmlHelpA(void* owner, const char* file, unsigned int command,
                                                                  uintptr_t data) {
    ++last.calls;
    last.owner = owner;
    std::strncpy(last.file, file ? file : "", sizeof last.file - 1);
    last.command = command;
    last.data = data;
    return nullptr;
}

extern "C" __attribute__((visibility("default"))) const HelpViewerCall* HelpTestLastCall() { return &last; }
