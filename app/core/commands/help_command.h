// The help command: opens the help file beside the program in the help viewer.
//
// The viewer is a library loaded at run time by name, whose entry "HtmlHelpA"
// shows a compiled help file. On Windows that library is the system's
// "hhctrl.ocx"; that name means nothing on Linux, where the viewer is the
// program's own libhhctrl.so, looked for beside the program first, then
// through the system's library search.
#pragma once

#include <stdint.h>

#include <string>

#include "messages/user_prompt.h"

namespace commands {

inline constexpr const char* kHelpViewerLibrary = "libhhctrl.so";
inline constexpr const char* kHelpViewerEntry = "HtmlHelpA";
inline constexpr const char* kHelpFileName = "qv_help.chm";
// The viewer's command that shows a help file's default topic.
inline constexpr unsigned int kHelpDisplayTopic = 0;

// The entry's shape: owner window, help file, command, command's value; it
// returns the viewer's window or null.
using HtmlHelpFn = void* (*)(void* owner, const char* file, unsigned int command, uintptr_t data);

// Loads the viewer library (once per process: it stays loaded, as its windows
// outlive the call), looks up its entry and calls it with no owner, the path
// programDir + kHelpFileName (programDir ends in '/'), kHelpDisplayTopic and 0.
// The viewer's result is not looked at: a missing help file is the viewer's to
// report. A library that cannot be loaded or lacks the entry shows
// MsgId::HelpLoadFailed. `library` is the viewer library's name (tests name
// their own). Returns whether the viewer was called.
bool OpenHelpFile(messages::IUserPrompt& ui, const std::string& programDir,
                  const std::string& library = kHelpViewerLibrary);

}  // namespace commands
