#include "records/chip_record.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace records {
namespace {

// Length of the valid UTF-8 sequence at s[i] (RFC 3629: no overlong forms,
// no surrogates, nothing above U+10FFFF), or 0 when there is none.
size_t Utf8Length(const std::string& s, size_t i) {
    auto at = [&](size_t k) -> unsigned { return i + k < s.size() ? static_cast<unsigned char>(s[i + k]) : 0; };
    auto cont = [&](size_t k) { return (at(k) & 0xC0) == 0x80; };
    const unsigned c = at(0);
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) return cont(1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        const unsigned lo = c == 0xE0 ? 0xA0 : 0x80, hi = c == 0xED ? 0x9F : 0xBF;
        return at(1) >= lo && at(1) <= hi && cont(2) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const unsigned lo = c == 0xF0 ? 0x90 : 0x80, hi = c == 0xF4 ? 0x8F : 0xBF;
        return at(1) >= lo && at(1) <= hi && cont(2) && cont(3) ? 4 : 0;
    }
    return 0;
}

void AppendString(std::string* out, const std::string& s) {
    *out += '"';
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const size_t len = Utf8Length(s, i);
        if (len > 1) {
            out->append(s, i, len);
            i += len;
            continue;
        }
        ++i;
        switch (c) {
            case '"': *out += "\\\""; continue;
            case '\\': *out += "\\\\"; continue;
            case '\n': *out += "\\n"; continue;
            case '\t': *out += "\\t"; continue;
            case '\r': *out += "\\r"; continue;
            case '\b': *out += "\\b"; continue;
            case '\f': *out += "\\f"; continue;
        }
        if (len == 1 && c >= 0x20) {
            *out += static_cast<char>(c);
        } else {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            *out += esc;
        }
    }
    *out += '"';
}

void AppendKey(std::string* out, const char* key) {
    *out += '"';
    *out += key;
    *out += "\":";
}

void AppendStringField(std::string* out, const char* key, const std::string& value) {
    AppendKey(out, key);
    AppendString(out, value);
    *out += ',';
}

// An empty digest means the file could not be read: null, not "".
void AppendDigestField(std::string* out, const char* key, const std::string& hex) {
    AppendKey(out, key);
    if (hex.empty()) {
        *out += "null";
    } else {
        AppendString(out, hex);
    }
    *out += ',';
}

void AppendNumberField(std::string* out, const char* key, int64_t value) {
    AppendKey(out, key);
    *out += std::to_string(value);
    *out += ',';
}

void AppendBoolField(std::string* out, const char* key, bool value) {
    AppendKey(out, key);
    *out += value ? "true," : "false,";
}

// A fixed number of decimals, so that the line does not depend on the locale
// or on how a double prints its shortest form.
void AppendFixedField(std::string* out, const char* key, double value, int decimals) {
    AppendKey(out, key);
    char text[64];
    std::snprintf(text, sizeof text, "%.*f,", decimals, std::isfinite(value) ? value : 0.0);
    *out += text;
}

void AppendVerify(std::string* out, const VerifyRecord& v) {
    AppendKey(out, "verify");
    *out += '{';
    AppendBoolField(out, "ok", v.ok);
    AppendFixedField(out, "similarity", v.similarity, 3);
    AppendNumberField(out, "delay_ms", v.delay_ms);
    AppendFixedField(out, "level_db", v.level_db, 1);
    AppendNumberField(out, "head_missing_ms", v.head_missing_ms);
    AppendNumberField(out, "tail_missing_ms", v.tail_missing_ms);
    AppendBoolField(out, "silent", v.silent);
    AppendFixedField(out, "clipped", v.clipped, 4);
    out->back() = '}';
    *out += ',';
}

void AppendSegment(std::string* out, const SegmentRecord& s) {
    *out += '{';
    AppendNumberField(out, "row", s.row);
    AppendStringField(out, "file", s.file);
    AppendDigestField(out, "sha256", s.sha256);
    AppendNumberField(out, "start", s.start);
    AppendNumberField(out, "end", s.end);
    AppendBoolField(out, "recorded", s.recorded);
    if (!s.recorded) AppendStringField(out, "reason", s.reason);
    if (s.verify) AppendVerify(out, *s.verify);
    out->back() = '}';  // the last field's comma
}

}  // namespace

std::string IsoTimeWithOffset(std::chrono::system_clock::time_point t) {
    using namespace std::chrono;
    const int64_t ms = duration_cast<milliseconds>(t.time_since_epoch()).count();
    // Floor division, so a time before 1970 still gets 0..999 milliseconds.
    int64_t secs = ms / 1000, frac = ms % 1000;
    if (frac < 0) {
        frac += 1000;
        --secs;
    }
    const time_t tt = static_cast<time_t>(secs);
    struct tm local {};
    localtime_r(&tt, &local);
    const long offset = local.tm_gmtoff;
    const long absMinutes = (offset < 0 ? -offset : offset) / 60;
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02ld:%02ld", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(frac),
                  offset < 0 ? '-' : '+', absMinutes / 60, absMinutes % 60);
    return text;
}

std::string ChipRecordLine(const ChipRecord& r) {
    std::string out = "{";
    AppendStringField(&out, "time", IsoTimeWithOffset(r.time));
    AppendStringField(&out, "station", r.station);
    AppendStringField(&out, "port", r.port);
    AppendStringField(&out, "output", r.output);
    AppendNumberField(&out, "round", r.round);
    AppendStringField(&out, "project", r.project);
    AppendDigestField(&out, "project_sha256", r.project_sha256);
    AppendStringField(&out, "programmer", r.programmer);
    AppendStringField(&out, "chip", r.chip);
    AppendBoolField(&out, "aux", r.aux);
    AppendStringField(&out, "result", r.result);
    AppendStringField(&out, "message", r.message);
    AppendNumberField(&out, "duration_ms", r.duration_ms);
    AppendKey(&out, "segments");
    out += '[';
    for (size_t i = 0; i < r.segments.size(); ++i) {
        if (i > 0) out += ',';
        AppendSegment(&out, r.segments[i]);
    }
    out += "]}\n";
    return out;
}

}  // namespace records
