// Port control exports: choose, set up, open and close the one port, and
// what each port's last use found.
#include "Commport.h"
#include "port_object.h"

namespace sertra {

namespace {
// Made when the library is loaded, destroyed (closing the port) when it is unloaded.
CCommPort g_port;
}  // namespace

CCommPort& ThePort() { return g_port; }

}  // namespace sertra

using sertra::ThePort;

extern "C" {

int32_t OpenPort(void) { return ThePort().Open(); }

void ClosePort(void) { ThePort().Close(); }

int32_t SetCommPort(int32_t number) {
    const bool valid = number >= 1 && number <= 4;
    ThePort().portNumber = valid ? number : 1;
    return valid ? SERTRA_SET_ACCEPTED : SERTRA_SET_REFUSED;
}

int32_t SetCommBaud(int32_t rate) {
    sertra::CCommPort& port = ThePort();
    if (!sertra::IsAcceptedBaud(rate)) {
        port.baudRate = sertra::kDefaultBaud;
        return SERTRA_SET_REFUSED;
    }
    port.baudRate = rate;
    port.perByteMs = sertra::PerByteMs(rate);
    return SERTRA_SET_ACCEPTED;
}

int32_t SetDTR(void) { return ThePort().SetModemLine(sertra::ModemLine::Dtr, true); }

int32_t ClrDTR(void) { return ThePort().SetModemLine(sertra::ModemLine::Dtr, false); }

int32_t SetRTS(void) { return ThePort().SetModemLine(sertra::ModemLine::Rts, true); }

int32_t ClrRTS(void) { return ThePort().SetModemLine(sertra::ModemLine::Rts, false); }

intptr_t GetCommHandle(void) { return ThePort().Handle(); }

int32_t GetDllVersion(void) { return 20427; }

int32_t GetPortRecord(int32_t number, SertraPortRecord* record) {
    const SertraPortRecord* kept = ThePort().Record(number);
    if (kept == nullptr || record == nullptr) return SERTRA_ERR_ARGUMENT;
    *record = *kept;
    return SERTRA_OK;
}

}  // extern "C"
