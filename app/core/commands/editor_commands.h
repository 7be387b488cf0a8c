// The external sound editor: the settings command's logic (what its dialog
// starts with, what OK stores), the rule for a picked editor program, and the
// edit command that starts the editor on a segment's file.
#pragma once

#include <string>

#include "messages/user_prompt.h"
#include "commands/workspace.h"

namespace commands {

// What the settings dialog shows: the tick of "是否允许编辑文件" (which also
// enables the browse button) and the path box.
struct EditorSettings {
    bool enabled = false;
    std::string path;
};

// The dialog's start: EDIT and EditPath as the workspace holds them.
EditorSettings SettingsDialogStart(const commands::Workspace& w);

// OK pressed: ticked stores true and the path box's text, unticked stores
// false and an empty path; both are then written to the configuration at once.
void ApplySettingsOk(commands::Workspace& w, const EditorSettings& dialog);

// Whether a file picked in the browse dialog may become the editor path: an
// ".exe" in any case, or an executable regular file (Linux editors have no
// extension).
bool AcceptEditorPick(const std::string& path);

enum class LaunchResult {
    Started,
    NotStarted,  // the program is missing or cannot be run: not reported
    Failed,      // the system could not start anything (no process, no memory)
};

// Starts `program` with `argument` as its one argument, without a shell, and
// does not wait for it; the finished process is reaped in the background.
LaunchResult LaunchDetached(const std::string& program, const std::string& argument);

// The edit command on list row `row`: nothing for a row without a segment or
// path, nothing when no editor is named; otherwise the editor is started on
// the segment's file. A failure of the system to start it shows SystemError.
void RunEditCommand(commands::Workspace& w, messages::IUserPrompt& ui, int row);

}  // namespace commands
