// New, Open, Save, Save As and the exit routine over the workspace. The
// caller runs the file dialogs: Open takes the chosen name, Save As asks
// through the callback (nullopt = cancelled).
//
// A successful save or open clears the modified mark; a failed or refused
// save keeps the binding and the mark as they were and tells the user.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "commands/workspace.h"

namespace commands {

inline constexpr const char* kOpenDialogTitle = "打开岚舟声音数据文件";
inline constexpr const char* kOpenDialogDefaultExt = "QWF";
inline constexpr const char* kSaveDialogDefaultExt = "QWF";

// Asks for a file name to save to, proposing `proposed` ("QV" + yyyymmdd).
using SaveAsDialog = std::function<std::optional<std::string>(const std::string& proposed)>;

// "QV" + today's date.
std::string ProposedProjectName();

// `path` with ".QWF" added when its file name has no extension.
std::string WithProjectExtension(const std::string& path);

// New: offers to save a modified list, then empties the list, the binding
// and the mark. False when the user cancelled the question, or wanted to save
// and the save did not happen (cancelled or failed): the list is kept.
bool NewProject(Workspace& w, messages::IUserPrompt& ui, const SaveAsDialog& save_as);

// Open the chosen file (nullopt: cancelled). The list is emptied first.
// Success binds the file, selects the header's programmer and chip and
// clears the mark. A missing file shows MsgId::OpenFailed and leaves the
// list as it was, unbound. A file with no project header (an empty one
// among them) shows MsgId::ProjectNotOpened with the reason and changes
// nothing, binding included. A file that is not whole (other line ends, cut,
// too many rows) is loaded as read, unbound, and MsgId::ProjectIncomplete
// says why. A program flag that is not a number shows the conversion error:
// the rows before it stay loaded, unbound, marked modified.
bool OpenProject(Workspace& w, messages::IUserPrompt& ui, const std::optional<std::string>& chosen);

// Save: to the bound file, else Save As. True when written.
bool SaveProject(Workspace& w, messages::IUserPrompt& ui, const SaveAsDialog& save_as);

// Save As: asks for a name (".QWF" added when it has no extension), asks
// before overwriting, writes, binds. True when written.
bool SaveProjectAs(Workspace& w, messages::IUserPrompt& ui, const SaveAsDialog& save_as);

// Exit routine: offers to save a modified list, restores the volume, writes
// the programmer and chip indexes, releases the configuration. Runs once.
// False when the user cancelled the question, or wanted to save and it did
// not happen: the window should stay open (the routine may run again later).
bool ExitRoutine(Workspace& w, messages::IUserPrompt& ui, const SaveAsDialog& save_as);

// Closing the main window: the exit routine, then the driver library is
// unloaded. False (nothing unloaded) when the exit routine says stay open.
bool CloseMainWindow(Workspace& w, messages::IUserPrompt& ui, const SaveAsDialog& save_as);

}  // namespace commands
