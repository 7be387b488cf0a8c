// The driver object contract between the program and a module driver library.
// The program calls by virtual-table position: the order below is binary contract.
// Every call returns a result code (dev_result.h): kDevOk, a driver failure, or
// a Sertra failure code passed through.
#pragma once

#include <stdint.h>

#include "dev_result.h"

class IDevInter {
public:
    virtual ~IDevInter() {}                                                           // slot 0
    virtual int32_t Connect() = 0;                                                    // slot 1
    virtual int32_t Disconnect() = 0;                                                 // slot 2
    virtual int32_t PulsePlay(int32_t address, int32_t chipCode) = 0;                 // slot 3
    virtual int32_t BeginPlayback(int32_t chipCode) = 0;                              // slot 4
    virtual int32_t PlaySegment(int32_t start, int32_t end) = 0;                      // slot 5
    virtual int32_t EndPlayback() = 0;                                                // slot 6
    virtual int32_t BeginRecording(int32_t chipCode, int32_t auxMode) = 0;            // slot 7
    virtual int32_t RecordSegment(int32_t start, int32_t end, int32_t chipCode) = 0;  // slot 8
    virtual int32_t EndRecording() = 0;                                               // slot 9
};

// BeginRecording's auxMode: the program passes kAuxModeOn while AUX recording
// mode is on, kAuxModeOff otherwise.
constexpr int32_t kAuxModeOff = 0;
constexpr int32_t kAuxModeOn = 26;

// The one export of every driver library: stores a new driver object in *out
// (null when allocation fails) and returns non-zero in every case.
typedef int32_t (*CreateObjFn)(IDevInter** out);
#define SONMIRA_CREATE_OBJ_SYMBOL "CreateObj"
