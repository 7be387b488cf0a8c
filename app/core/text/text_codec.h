// Text at the file boundary: files are 8-bit GBK on disk, the core works in UTF-8.
//
// Decoding never loses bytes: a byte that does not start a valid GBK character
// becomes a private-use code point (U+F700 + byte), and encoding turns that
// code point back into the same byte. So a damaged file read and written again
// keeps every byte it had.
#pragma once

#include <string>
#include <string_view>

namespace text {

// GBK bytes to UTF-8. Never fails.
std::string FromGbk(std::string_view gbk);

// UTF-8 to GBK bytes. Characters that GBK cannot hold (and invalid UTF-8)
// become '?'; *lossless is set to false when that happened.
std::string ToGbk(std::string_view utf8, bool* lossless = nullptr);

}  // namespace text
