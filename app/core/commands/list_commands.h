// The programming list's commands over the workspace: add file, drop from
// the file browser, delete, properties and the grid's double click. File
// dialogs and the properties dialog belong to the caller; it hands in the
// chosen path, or runs the dialog through the callback.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "list/segment_properties.h"
#include "audio/media_player.h"
#include "commands/workspace.h"

namespace commands {

// The length query of Add file and Drop on the main window's player:
// Close, SetFileName, Open, GetLength, Close. The player must outlive the query.
list::LengthQuery LengthThroughPlayer(audio::CMyMediaPlayer& player);

// Open-file dialog of Add file (its filters: file_filters.h).
inline constexpr const char* kAddDialogTitle = "增加声音文件";
inline constexpr const char* kAddDialogDefaultExt = "wav";

// Runs the properties dialog modally on `form`. The dialog's OK calls
// PropertiesOk below until it answers Accepted or Refused; returns true when
// the dialog closed through OK.
using PropertiesDialog = std::function<bool(list::SegmentForm& form)>;
// Runs the add-file dialog; nullopt when cancelled.
using OpenFileDialog = std::function<std::optional<std::string>()>;

// The dialog's OK: writes the row (list::PressOk) and sets the modified
// mark when accepted. The caller closes the dialog unless KeepOpen.
list::OkResult PropertiesOk(Workspace& w, const list::SegmentForm& form, messages::IUserPrompt& ui);

// Add file with the chosen path (nullopt: cancelled, nothing happens).
// Automatic addressing appends at once; otherwise `dialog` runs in add mode.
// A full list, a name that cannot be stored, or a file without a length
// (MsgId::AudioUnmeasurable and the reason) is refused with a message.
// Returns the list status (list::kListOk also when the dialog was cancelled).
list::Status AddFile(Workspace& w, messages::IUserPrompt& ui, const std::optional<std::string>& chosen,
                     const PropertiesDialog& dialog);

// The file browser's selected item as the drop sees it.
struct BrowserItem {
    std::string folder;       // browsed folder, with or without trailing '/'
    std::string displayName;  // may lack its extension
    int64_t kilobytes = 0;    // size div 1000
    std::string timeText;     // the browser's date text
};

// Drop from the file browser; nullopt = nothing selected there. Failures show
// MsgId::SystemError.
list::Status DropItem(Workspace& w, messages::IUserPrompt& ui, const std::optional<BrowserItem>& item,
                      const PropertiesDialog& dialog);

// Delete the segment in `row` after the question MsgId::AskDeleteSegment.
// Returns true when a row was removed.
bool DeleteSegment(Workspace& w, messages::IUserPrompt& ui, int row);

// Properties of `row` (edit mode). A row without number and path shows
// MsgId::NoAudioFile.
void EditSegment(Workspace& w, messages::IUserPrompt& ui, int row, const PropertiesDialog& dialog);

// Double click: Add file on a free row, Properties on a used one.
void GridDoubleClick(Workspace& w, messages::IUserPrompt& ui, int row, const OpenFileDialog& open_file,
                     const PropertiesDialog& dialog);

}  // namespace commands
