// What the last use of each port found: the records GetPortRecord hands out.
#include <errno.h>
#include <string.h>

#include "port_object.h"

namespace sertra {

namespace {

bool ValidNumber(int32_t number) { return number >= 1 && number <= 4; }

}  // namespace

const SertraPortRecord* CCommPort::Record(int32_t number) const {
    return ValidNumber(number) ? &records_[number - 1] : nullptr;
}

int32_t CCommPort::RecordOpen(int32_t code, int32_t failure, int error, const std::string& path) {
    if (!ValidNumber(portNumber)) return code;
    SertraPortRecord& r = records_[portNumber - 1];
    r = SertraPortRecord{};
    r.openTried = 1;
    r.openResult = code;
    r.openFailure = failure;
    r.openErrno = error;
    const size_t n = path.size() < sizeof r.path ? path.size() : sizeof r.path - 1;
    memcpy(r.path, path.data(), n);
    r.path[n] = '\0';
    if (code == SERTRA_OK) openNumber_ = portNumber;
    return code;
}

void CCommPort::BeginExchange(int32_t replyWaitMs) {
    if (!IsOpen()) return;
    SertraPortRecord& r = records_[openNumber_ - 1];
    r.exchanged = 1;
    r.exchangeResult = SERTRA_OK;
    r.replyWaitMs = replyWaitMs;
    r.sentBytes = 0;
    r.replyTimedOut = 0;
    r.receivedBytes = 0;
    memset(r.received, 0, sizeof r.received);
    exchanging_ = true;
}

int32_t CCommPort::EndExchange(int32_t code) {
    if (exchanging_) records_[openNumber_ - 1].exchangeResult = code;
    exchanging_ = false;
    return code;
}

void CCommPort::NoteSent(int32_t count) {
    if (exchanging_) records_[openNumber_ - 1].sentBytes += count;
}

void CCommPort::NoteReceived(const uint8_t* bytes, int32_t count) {
    if (!exchanging_) return;
    SertraPortRecord& r = records_[openNumber_ - 1];
    for (int32_t i = 0; i < count; ++i, ++r.receivedBytes)
        if (r.receivedBytes < SERTRA_RECORD_BYTES) r.received[r.receivedBytes] = bytes[i];
}

void CCommPort::NoteReplyTimeout() {
    if (exchanging_) records_[openNumber_ - 1].replyTimedOut = 1;
}

}  // namespace sertra
