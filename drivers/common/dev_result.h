// Result codes of the IDevInter calls, the one place they are named. 0 is
// success; the drivers' own failures are negative; a failure code of the
// Sertra serial library (positive, serial/Commport.h) passes through unchanged.
// The values are binary contract between the program and the driver libraries.
#pragma once

#include <stdint.h>

enum DevResult : int32_t {
    kDevOk = 0,
    kDevNoPort = -1,        // no port among COM1..COM4 opened and answered the handshake
    kDevBusy = -2,          // the chip-type reply failed its check: the module is not ready
    kDevNotConnected = -5,  // reserved: no driver returns it; told like kDevNoModule
    kDevBadEnd = -6,        // the end address does not fit the frame's argument
    kDevNoModule = -7,      // the handshake reply failed its check
    kDevBadStart = -8,      // the start address does not fit the frame's argument
};
