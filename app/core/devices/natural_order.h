// Device names in the order a person counts them: ttyUSB2 before ttyUSB10.
#pragma once

#include <string>

namespace devices {

// a < b with each run of digits compared by its value (then by its length, so
// "01" and "1" still have an order), everything else byte by byte.
bool NaturalLess(const std::string& a, const std::string& b);

}  // namespace devices
