// Any bytes as a configuration file: reads never crash, and a write changes
// exactly the one key and keeps every other line of the file.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "files/ini_file.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

// The lines of the bytes, line ends included.
size_t CountLines(const std::string& s) {
    size_t n = 0;
    for (char c : s) n += c == '\n';
    return n + (!s.empty() && s.back() != '\n');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    files::CIniText text(bytes);
    for (const char* section : {"Option", "Device", "SM-1 编程器", "a"}) {
        for (const char* key : {"0", "1", "File", "AUTO", "WavVal"}) {
            text.ReadString(section, key, "");
            text.ReadInteger(section, key, 7);
            text.ReadBool(section, key, true);
        }
    }

    // Section and key names taken from the input itself, so that writes hit
    // existing sections and keys as well as new ones.
    std::string section = size > 0 ? std::string(1, static_cast<char>('a' + data[0] % 4)) : "Option";
    std::string key = size > 1 ? std::string(1, static_cast<char>('0' + data[1] % 4)) : "AUTO";
    for (const std::string& value : {std::string("v=1 值"), std::string("")}) {
        files::CIniText edited(text.Bytes());
        bool existed = edited.Find(section, key).has_value();
        Check(edited.Write(section, key, value) == files::kIniOk);
        auto got = edited.Find(section, key);
        Check(got && *got == std::string(value == "" ? "" : "v=1 值"));
        const std::string& before = text.Bytes();
        const std::string& after = edited.Bytes();
        size_t lines = CountLines(before), linesAfter = CountLines(after);
        // One line changed, or one (plus a line end, plus a header) added.
        if (existed)
            Check(lines == linesAfter);
        else
            Check(linesAfter >= lines + 1 && linesAfter <= lines + 2);
        // Everything before the first difference and after the last is untouched.
        size_t head = 0;
        while (head < before.size() && head < after.size() && before[head] == after[head]) ++head;
        size_t tail = 0;
        while (tail < before.size() - head && tail < after.size() - head &&
               before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
            ++tail;
        std::string removed = before.substr(head, before.size() - head - tail);
        // A new key only inserts bytes; a changed key only touches its own line.
        if (existed)
            Check(removed.find('\n') == std::string::npos);
        else
            Check(removed.empty());
    }
    // Junk names are refused, never written.
    files::CIniText junk(text.Bytes());
    Check(junk.Write("a]b", "k", "v") == files::kIniBadName);
    Check(junk.Write("a", "k", "v\nw") == files::kIniBadName);
    Check(junk.Bytes() == text.Bytes());
    return 0;
}
