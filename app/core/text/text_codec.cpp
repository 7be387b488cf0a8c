#include "text/text_codec.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

namespace text {
namespace {

// Code points U+F700..U+F7FF carry bytes that were not valid GBK.
constexpr char32_t kEscapeBase = 0xF700;

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at s[i]; returns its length, 0 when invalid.
size_t DecodeUtf8(std::string_view s, size_t i, char32_t* cp) {
    auto b = [&](size_t k) { return static_cast<unsigned char>(s[i + k]); };
    unsigned char c = b(0);
    size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || i + len > s.size()) return 0;
    char32_t v = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    for (size_t k = 1; k < len; ++k) {
        if ((b(k) & 0xC0) != 0x80) return 0;
        v = (v << 6) | (b(k) & 0x3F);
    }
    static const char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (v < kMin[len] || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return 0;
    *cp = v;
    return len;
}

// Converts one GBK character (1 or 2 bytes) with iconv; returns bytes used, 0 if invalid.
size_t ConvertOneGbk(iconv_t cd, std::string_view in, size_t i, std::string& out) {
    size_t take = static_cast<unsigned char>(in[i]) < 0x80 ? 1 : 2;
    if (i + take > in.size()) return 0;
    char src[2] = {in[i], take == 2 ? in[i + 1] : '\0'};
    char dst[8];
    char* ip = src;
    char* op = dst;
    size_t il = take, ol = sizeof dst;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || il != 0) return 0;
    out.append(dst, static_cast<size_t>(op - dst));
    return take;
}

}  // namespace

std::string FromGbk(std::string_view gbk) {
    std::string out;
    out.reserve(gbk.size() * 3 / 2);
    static thread_local Iconv cd("UTF-8", "GBK");
    size_t i = 0;
    while (i < gbk.size()) {
        unsigned char c = static_cast<unsigned char>(gbk[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        size_t used = cd.ok() ? ConvertOneGbk(cd.get(), gbk, i, out) : 0;
        if (used == 0) {
            AppendUtf8(out, kEscapeBase + c);
            used = 1;
        }
        i += used;
    }
    return out;
}

std::string ToGbk(std::string_view utf8, bool* lossless) {
    std::string out;
    out.reserve(utf8.size());
    bool clean = true;
    static thread_local Iconv cd("GBK", "UTF-8");
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = 0;
        size_t len = DecodeUtf8(utf8, i, &cp);
        if (len == 0) {
            out += '?';
            clean = false;
            ++i;
            continue;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp >= kEscapeBase + 0x80 && cp <= kEscapeBase + 0xFF) {
            out += static_cast<char>(cp - kEscapeBase);
        } else {
            char src[4];
            for (size_t k = 0; k < len; ++k) src[k] = utf8[i + k];
            char dst[8];
            char* ip = src;
            char* op = dst;
            size_t il = len, ol = sizeof dst;
            if (cd.ok()) iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
            if (!cd.ok() || iconv(cd.get(), &ip, &il, &op, &ol) == static_cast<size_t>(-1) || il != 0) {
                out += '?';
                clean = false;
            } else {
                out.append(dst, static_cast<size_t>(op - dst));
            }
        }
        i += len;
    }
    if (lossless) *lossless = clean;
    return out;
}

}  // namespace text
