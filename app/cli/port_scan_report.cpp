#include "port_scan_report.h"

#include <dlfcn.h>

#include <cstring>

#include "devices/port_permission.h"
#include "messages/messages.h"

namespace cli {

namespace {

using GetPortRecordFn = int32_t (*)(int32_t, SertraPortRecord*);

std::string Hex(const uint8_t* bytes, int32_t count) {
    std::string text;
    for (int32_t i = 0; i < count; ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, i == 0 ? "%02X" : " %02X", bytes[i]);
        text += byte;
    }
    return text;
}

std::string WhatOpenFound(const SertraPortRecord& r) {
    switch (r.openFailure) {
        case SERTRA_OPEN_NO_PATH: return "no device for this port";
        case SERTRA_OPEN_NO_DEVICE: return "no device at this path";
        case SERTRA_OPEN_BUSY: return "held by another program";
        case SERTRA_OPEN_NOT_TERMINAL: return "not a serial device";
        case SERTRA_OPEN_NO_PERMISSION: return devices::NoPermissionText(r.path);
        default: return std::string("could not be opened: ") + std::strerror(r.openErrno);
    }
}

// The port opened: what the handshake brought back. The scan ended without a
// module, so a complete reply on an opened port is one that failed its check.
std::string WhatExchangeFound(const SertraPortRecord& r) {
    const int32_t kept = r.receivedBytes < SERTRA_RECORD_BYTES ? r.receivedBytes : SERTRA_RECORD_BYTES;
    const std::string bytes = Hex(r.received, kept) + (kept < r.receivedBytes ? " ..." : "");
    const std::string wait = std::to_string(r.replyWaitMs) + " ms";
    if (!r.exchanged) return "opened, nothing sent";
    if (r.replyTimedOut && r.receivedBytes == 0) return "opened, no reply within " + wait;
    if (r.exchangeResult == SERTRA_OK && r.receivedBytes > 0) return "opened, reply " + bytes + " failed its check";
    if (r.replyTimedOut) return "opened, incomplete reply within " + wait + ": " + bytes;
    std::string text = "opened, the exchange failed (Sertra code " + std::to_string(r.exchangeResult) + ")";
    if (r.receivedBytes > 0) text += ", received " + bytes;
    return text;
}

}  // namespace

bool IsPortNotOpenMessage(const std::string& text) {
    return text == messages::MessageText(messages::MsgId::PortNotOpen);
}

std::string PortScanLine(int32_t number, const SertraPortRecord& record) {
    if (!record.openTried) return "";
    std::string line = "  COM" + std::to_string(number);
    if (record.path[0] != '\0') line += std::string(" (") + record.path + ")";
    line += ": ";
    line += record.openFailure == SERTRA_OPEN_DONE ? WhatExchangeFound(record) : WhatOpenFound(record);
    return line;
}

void PrintPortScanReport(FILE* out) {
    // Only the copy the drivers loaded holds their records: never load one here.
    void* sertra = dlopen("libsertra.so", RTLD_LAZY | RTLD_NOLOAD);
    if (sertra == nullptr) return;
    const auto get = reinterpret_cast<GetPortRecordFn>(dlsym(sertra, "GetPortRecord"));
    for (int32_t number = 1; get != nullptr && number <= 4; ++number) {
        SertraPortRecord record{};
        if (get(number, &record) != SERTRA_OK) continue;
        const std::string line = PortScanLine(number, record);
        if (!line.empty()) std::fprintf(out, "%s\n", line.c_str());
    }
    std::fflush(out);
    dlclose(sertra);
}

}  // namespace cli
