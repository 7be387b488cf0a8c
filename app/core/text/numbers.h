// Integer conversion and the address text forms used by every file and cell.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace text {

// Decimal, or hexadecimal with a "$", "0x" or "0X" prefix; leading blanks and
// one sign allowed; nothing may follow the digits; the value must fit 32 bits.
bool TryStrToInt(std::string_view text, int32_t* value);

// The conversion's error text: "'<text>' is not a valid integer value".
std::string InvalidIntegerMessage(std::string_view text);

// v limited to the 32-bit range.
int32_t Clamp32(int64_t v);

// Chip address form: "0X" + upper-case hexadecimal, at least four digits.
std::string AddrText(int32_t value);

// Upper-case hexadecimal of at least four digits, no prefix.
std::string Hex4(int32_t value);

}  // namespace text
