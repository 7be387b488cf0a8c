// The segment properties dialog without its widgets: the form's values, the
// address key filter and the OK logic that writes a row (add mode) or
// rewrites one and re-addresses the rows after it (edit mode).
#pragma once

#include <cstdint>
#include <string>

#include "list/address_math.h"
#include "list/programming_list.h"
#include "messages/user_prompt.h"

namespace list {

inline constexpr const char* kCaption = "文件资料";  // the dialog's title
inline constexpr int kAddressMaxChars = 4;

enum class Mode { Add, Edit };

// Everything the dialog shows and is handed.
struct SegmentForm {
    Mode mode = Mode::Add;
    int32_t upper_limit = 159;  // the chip's last address
    std::string path;           // FilePathName
    std::string name;           // FileName
    std::string timeText;       // ChangeDate
    std::string playTime;       // PlayTime: length + " MS"
    std::string address;        // Eadd: hex without prefix, at most 4 characters
    bool program = false;       // PCheck
    int32_t lengthMs = 0;
    std::string sizeText;
    std::string typeText;
    bool autoAddressing = false;  // edit mode only
    int row = 0;                  // edit mode only
};

// Add mode: empty address, PCheck cleared.
SegmentForm FormForAdd(const list::FileFacts& f, int32_t upper_limit);

// Edit mode from row `row`. False and *bad_text when the row's start, length
// or flag cell does not convert.
bool FormForEdit(const list::ProgrammingList& list, int row, int32_t upper_limit, bool auto_addressing,
                 SegmentForm* form, std::string* bad_text);

// Key filter of the address field, the same as the play address box's:
// 0-9, A-F, a-f and Backspace (8) pass.
bool AcceptAddressKey(int key);

enum class OkResult {
    Accepted,  // row written: close the dialog, the modified mark is to be set
    KeepOpen,  // a message was shown; focus back to the address field
    Refused,   // add mode with all 160 rows used: message shown, close, list unchanged
};

// OK button. Messages go through `ui` (empty address, out of range, a text
// that is not hexadecimal, list full in add mode).
OkResult PressOk(const SegmentForm& form, list::ProgrammingList& list, const files::ChipProfile& chip,
                 messages::IUserPrompt& ui);

}  // namespace list
