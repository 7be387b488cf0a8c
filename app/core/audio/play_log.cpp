#include "audio/play_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace audio {

// One write with O_APPEND keeps lines whole when several writers log.
void AppendPlayLogLine(const std::string& path, const std::string& line) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;
    ssize_t ignored = write(fd, line.data(), line.size());
    (void)ignored;
    close(fd);
}

std::string FirstBufferLine(int64_t monotonicNs, const std::string& file, int pid) {
    std::string line = "{\"event\":\"first_buffer\",\"t_ns\":" + std::to_string(monotonicNs) + ",\"file\":\"";
    for (unsigned char c : file) {
        if (c == '"' || c == '\\') {
            line += '\\';
            line += char(c);
        } else if (c < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            line += esc;
        } else {
            line += char(c);
        }
    }
    line += "\",\"pid\":" + std::to_string(pid) + "}\n";
    return line;
}

std::string RecordSentLine(int64_t monotonicNs, int row, int pid) {
    return "{\"event\":\"record_sent\",\"t_ns\":" + std::to_string(monotonicNs) + ",\"row\":" + std::to_string(row) +
           ",\"pid\":" + std::to_string(pid) + "}\n";
}

void LogRecordSent(int64_t monotonicNs, int row) {
    const char* log = std::getenv("SONMIRA_PLAY_LOG");
    if (log && *log) AppendPlayLogLine(log, RecordSentLine(monotonicNs, row, getpid()));
}

}  // namespace audio
