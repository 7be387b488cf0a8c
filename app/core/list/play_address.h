// Rules of the play start address box: hexadecimal digits without a prefix,
// at most four characters, shown after a "0X" label. The box text belongs to
// the caller (a widget, a command-line argument); these functions read it and
// correct it in place.
#pragma once

#include <cstdint>
#include <string>

#include "messages/user_prompt.h"

namespace list {

inline constexpr int kBackspace = 8;
inline constexpr int kMaxChars = 4;

// Key filter: 0-9, A-F, a-f and backspace pass; every other key is dropped.
bool KeyPasses(int key);

// The box value: its text read as hexadecimal ("0X" put in front).
// False when the text is not a number (an empty box, for one).
bool BoxValue(const std::string& box, int32_t* value);

// The generic report for a box that is not a number: "'0X…' is not a valid
// integer value." under the application's title with a stop icon.
void ReportNotANumber(const std::string& box, messages::IUserPrompt& ui);

// Leaving the box: a value below the lowest start address is raised to it and
// MsgId::StartBelowLowest with the new text is shown. No upper check.
// Returns false when the box was not a number (then reported).
bool LeaveBox(std::string& box, int32_t lowestStart, messages::IUserPrompt& ui);

// First steps of both play commands. True with *address when the value lies
// within lowest start .. last address; otherwise the box is set to the bound
// it crossed, the message shown, and false returned.
bool CheckPlayAddress(std::string& box, int32_t lowestStart, int32_t lastAddress, messages::IUserPrompt& ui,
                      int32_t* address);

}  // namespace list
