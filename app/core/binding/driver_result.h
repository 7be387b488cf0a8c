// What the user is told about a driver operation's result code.
#pragma once

#include <stdint.h>

#include <string>

class IUserPrompt;

// Message text for a driver result code; empty for 0 (success, no message).
// Covers the drivers' own codes, the table's reserved ones (-5, -6, -8) and
// everything else, Sertra's positive codes among them.
std::string DriverResultMessage(int32_t code);

// For 0 shows nothing and returns false (go on); otherwise shows the message
// with caption "信息提示" and an information icon and returns true (stop).
bool ShowDriverResult(IUserPrompt& ui, int32_t code);
