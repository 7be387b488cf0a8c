// Sertra: the process's one serial port and framed exchanges over it.
//
// Every export works on the library's single port object. Two kinds of return:
// - OpenPort, SendData, SendOrder and ReadBlock return a result code (enum
//   below): SERTRA_OK (0) for success, a positive code for a failure.
// - The setters SetCommPort, SetCommBaud, SetFrameHead, SetDTR, ClrDTR,
//   SetRTS and ClrRTS return the reverse: SERTRA_SET_ACCEPTED (1) when the
//   setting was taken, SERTRA_SET_REFUSED (0) when not. Binary contract:
//   check them against SERTRA_SET_ACCEPTED, never as a result code.
// GetCommHandle and GetDllVersion return their value.
// GetPortRecord is a Sonmira extension (see below); it returns a result code.
// Thread contract: no locks. Callers must not use the library from two
// threads at once; the application serialises all driver calls.
#pragma once

#include <stdint.h>

#if defined(_WIN32)
#define SERTRA_API __declspec(dllexport)
#else
#define SERTRA_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Port control.
SERTRA_API int32_t OpenPort(void);
SERTRA_API void ClosePort(void);
// The setters return SERTRA_SET_ACCEPTED (1) or SERTRA_SET_REFUSED (0), not a result code.
SERTRA_API int32_t SetCommPort(int32_t number);  // 1..4 select COM1..COM4; refused: COM1
SERTRA_API int32_t SetCommBaud(int32_t rate);    // refused: the default rate
SERTRA_API int32_t SetDTR(void);                 // refused while the port is closed
SERTRA_API int32_t ClrDTR(void);
SERTRA_API int32_t SetRTS(void);
SERTRA_API int32_t ClrRTS(void);
SERTRA_API intptr_t GetCommHandle(void);  // file descriptor, -1 while closed
SERTRA_API int32_t GetDllVersion(void);   // 20427

// Frame exchange.
// SendData with replyLen <= 0 stores the reply up to and including the
// terminator; reply must hold SERTRA_TERMINATOR_REPLY_MAX bytes, and a reply
// without a terminator within that many bytes fails with 1034.
// SendOrder stores head, header and payload, its length taken from the reply's
// own header: reply must hold the largest reply the frame head's layout allows
// (0x00: 258 bytes, 0x80: 259, 0x40: 65539, 0xC0: SERTRA_ORDER_REPLY_MAX).
SERTRA_API int32_t SendData(const uint8_t* frame, uint8_t* reply, int32_t frameLen, int32_t timeoutMs, int32_t replyLen,
                            uint8_t terminator, uint8_t waitReply);
SERTRA_API int32_t SendOrder(const uint8_t* frame, uint8_t* reply, int32_t timeoutMs);
SERTRA_API int32_t SetFrameHead(int32_t head);  // 0..256; SERTRA_SET_ACCEPTED or SERTRA_SET_REFUSED
SERTRA_API int32_t ReadBlock(uint8_t* buffer, int32_t length, int32_t timeoutMs);

// Sonmira extension: what the last use of each port found, so a caller whose
// port scan found no module can tell the user, port by port, why. The library
// keeps one record per port number, from the last OpenPort with that port
// chosen (an OpenPort while a port is open records nothing) and from the last
// SendData or SendOrder while that open lasted. ClosePort keeps it.
enum {
    SERTRA_RECORD_PATH_MAX = 256,  // path bytes kept, the terminating 0 included
    SERTRA_RECORD_BYTES = 16,      // received bytes kept
};

// How the last OpenPort on the port went (SertraPortRecord.openFailure).
enum {
    SERTRA_OPEN_DONE = 0,           // opened
    SERTRA_OPEN_NO_PATH = 1,        // the port has no device (SERTRA_COMn empty, or no n-th serial device)
    SERTRA_OPEN_NO_DEVICE = 2,      // nothing at the path (ENOENT, ENODEV, ENXIO)
    SERTRA_OPEN_BUSY = 3,           // held by another opener: the exclusive lock, or EBUSY
    SERTRA_OPEN_FAILED = 4,         // open() failed otherwise; openErrno says why
    SERTRA_OPEN_NOT_TERMINAL = 5,   // opened, but the device is no terminal
    SERTRA_OPEN_NO_PERMISSION = 6,  // the user may not open the device (EACCES, EPERM)
};

typedef struct SertraPortRecord {
    int32_t openTried;                  // 0: no OpenPort on this port since the library was loaded
    int32_t openResult;                 // what OpenPort returned
    int32_t openFailure;                // SERTRA_OPEN_*
    int32_t openErrno;                  // errno of the failed call, 0 when none
    char path[SERTRA_RECORD_PATH_MAX];  // the device tried, 0-terminated (cut if longer); "" for no device
    int32_t exchanged;                  // 1 when a SendData or SendOrder ran while that open lasted
    int32_t exchangeResult;             // what it returned
    int32_t replyWaitMs;                // the time-out it was given for the reply; 0 when no reply was awaited
    int32_t sentBytes;                  // bytes written
    int32_t replyTimedOut;              // 1 when a wait for reply bytes ran out
    int32_t receivedBytes;              // bytes read; the first SERTRA_RECORD_BYTES of them in received
    uint8_t received[SERTRA_RECORD_BYTES];
} SertraPortRecord;

// Copies the record of port `number` (1..4) into *record: SERTRA_OK, or
// SERTRA_ERR_ARGUMENT for another number or a null record.
SERTRA_API int32_t GetPortRecord(int32_t number, SertraPortRecord* record);

#ifdef __cplusplus
}
#endif

enum {
    SERTRA_TERMINATOR_REPLY_MAX = 256,
    SERTRA_ORDER_REPLY_MAX = 5 + 65535,
};

// What the setters return (1 for success, unlike the result codes below).
enum {
    SERTRA_SET_REFUSED = 0,
    SERTRA_SET_ACCEPTED = 1,
};

// Result codes of OpenPort, SendData, SendOrder, ReadBlock and GetPortRecord (0 for success).
enum {
    SERTRA_OK = 0,
    SERTRA_ERR_WAIT_EVENT = 1,  // reply wait event, or a read in the head search
    SERTRA_ERR_OPEN = 101,      // device cannot be opened
    SERTRA_ERR_NOT_OPEN = 102,  // port not open (OpenPort: already open)
    SERTRA_ERR_WRITE = 104,     // write failed or timed out
    SERTRA_ERR_EVENT = 200,
    SERTRA_ERR_GET_STATE = 201,
    SERTRA_ERR_SET_STATE = 202,
    SERTRA_ERR_GET_TIMEOUTS = 203,
    SERTRA_ERR_SET_TIMEOUTS = 204,
    SERTRA_ERR_BUFFERS = 205,
    SERTRA_ERR_PURGE = 207,
    SERTRA_ERR_EVENT_MASK = 208,
    SERTRA_ERR_RECEIVE_WAIT = 209,  // waiting for the first received character
    SERTRA_ERR_ARGUMENT = 300,      // GetPortRecord only: no such port, or no record to fill
    SERTRA_ERR_NO_TIMEOUT = 333,    // SendData asked to wait with a time-out <= 0
    SERTRA_ERR_READ_START = 1031,
    SERTRA_ERR_READ_RESULT = 1032,
    SERTRA_ERR_READ_TIMEOUT = 1033,
    SERTRA_ERR_READ_WAIT = 1034,
};
