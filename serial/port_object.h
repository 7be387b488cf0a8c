// CCommPort: the library's one serial port and the primitives the exports use.
//
// The object is process-wide (one per loaded library); its settings persist
// across open and close. The primitives return the library's result codes
// (Commport.h, the exported API); the platform half lives in port_posix.cpp.
#pragma once

#include <stdint.h>

#include <string>

#include "Commport.h"
#include "line_speed.h"

namespace sertra {

enum class Parity { None, Odd, Even };
enum class ModemLine { Dtr, Rts };

class CCommPort {
public:
    CCommPort() = default;
    // Unloading the library closes a port left open, so a later load can open it again.
    ~CCommPort();
    CCommPort(const CCommPort&) = delete;
    CCommPort& operator=(const CCommPort&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    intptr_t Handle() const { return fd_; }

    int32_t Open();
    void Close();

    int32_t ConfigureLine(int32_t rate, int dataBits, Parity parity, int stopBits);
    // Read time-out: a read may last up to msPerByte x requested bytes; 0 = no read time-out.
    int32_t SetReadTimeout(int32_t msPerByte);
    // Discards received bytes not yet read. Output is never discarded: a write
    // only counts as done once its bytes have left, so nothing pending belongs
    // to an exchange that is still wanted.
    int32_t PurgePort();
    int32_t WritePort(const uint8_t* buffer, int32_t length, int32_t* written, int64_t waitMs);
    int32_t ReadPort(uint8_t* buffer, int32_t length, int32_t* read, int64_t waitMs);
    // Waits until at least one received byte can be read: 0, or 209. poll()
    // needs no character-received event mask to be set and cleared around it.
    int32_t WaitForReceive(int64_t waitMs);
    // Bytes received and not yet read (clears nothing on this platform).
    int32_t InputWaiting(int32_t* count);
    // 1 when the line was changed, 0 when closed or refused.
    int32_t SetModemLine(ModemLine line, bool raise);

    // The per-port records behind GetPortRecord (port_record.cpp). An exchange
    // is recorded from BeginExchange to EndExchange, which returns its code.
    const SertraPortRecord* Record(int32_t number) const;
    void BeginExchange(int32_t replyWaitMs);
    int32_t EndExchange(int32_t code);

    int32_t frameHead = 0x12;
    int32_t portNumber = 1;  // COM1..COM4
    int32_t baudRate = kDefaultBaud;
    int32_t perByteMs = kDefaultPerByteMs;

private:
    // Records an open attempt on portNumber and returns `code`.
    int32_t RecordOpen(int32_t code, int32_t failure, int error, const std::string& path);
    // Notes for the exchange in progress, if any.
    void NoteSent(int32_t count);
    void NoteReceived(const uint8_t* bytes, int32_t count);
    void NoteReplyTimeout();

    int fd_ = -1;
    bool isPty_ = false;
    int32_t readMsPerByte_ = 0;
    SertraPortRecord records_[4] = {};
    int32_t openNumber_ = 1;   // the port the open descriptor belongs to
    bool exchanging_ = false;  // between BeginExchange and EndExchange
};

// The library's one port object.
CCommPort& ThePort();

}  // namespace sertra
