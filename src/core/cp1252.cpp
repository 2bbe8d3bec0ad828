#include "core/cp1252.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace velmora {
namespace {

// Code points of bytes 0x80-0x9F. The five bytes the code page leaves
// undefined map to the C1 control of the same value.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char byteOf(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == cp) return static_cast<char>(0x80 + i);
    }
    return '?';
}

char16_t codePointOf(unsigned char b) {
    if (b >= 0x80 && b < 0xA0) return kHigh[b - 0x80];
    return b;
}

// Decodes one UTF-8 sequence at s[i]; advances i. Malformed input gives
// U+FFFD and consumes one byte.
char32_t nextCodePoint(const std::string& s, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    int len = 0;
    char32_t cp = 0;
    if (b0 < 0x80) {
        ++i;
        return b0;
    } else if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        cp = b0 & 0x07;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (i + len > s.size()) {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return 0xFFFD;
    }
    i += len;
    return cp;
}

// Writes the UTF-8 form of one code point at `o`; returns the end.
char* putUtf8(char* o, char32_t cp) {
    if (cp < 0x80) {
        *o++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *o++ = static_cast<char>(0xC0 | (cp >> 6));
        *o++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *o++ = static_cast<char>(0xE0 | (cp >> 12));
        *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *o++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *o++ = static_cast<char>(0xF0 | (cp >> 18));
        *o++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *o++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return o;
}

void appendUtf8(Text& out, char32_t cp) {
    char buffer[4];
    out.append(buffer, static_cast<std::size_t>(putUtf8(buffer, cp) - buffer));
}

}  // namespace

Text charactersOutsideCp1252(const Text& utf8) {
    Text out;
    Text seen;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t from = i;
        const char32_t cp = nextCodePoint(utf8, i);
        if (cp == U'?' || byteOf(cp) != '?') continue;
        const Text one = cp == 0xFFFD ? Text("\xEF\xBF\xBD") : utf8.substr(from, i - from);
        if (seen.find(one + '\n') != Text::npos) continue;
        seen += one + '\n';
        if (!out.empty()) out += ' ';
        out += one;
    }
    return out;
}

std::string toCp1252(const Text& utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) out += byteOf(nextCodePoint(utf8, i));
    return out;
}

std::string toCp1252(const std::u16string& utf16) { return toCp1252(utf16ToUtf8(utf16)); }

Text fromCp1252(const std::string& bytes) {
    // Sized once: ASCII takes one byte, every other character two or three.
    std::size_t size = 0;
    for (char c : bytes) {
        const char16_t cp = codePointOf(static_cast<unsigned char>(c));
        size += cp < 0x80 ? 1 : cp < 0x800 ? 2 : 3;
    }
    Text out(size, '\0');
    char* o = out.data();
    for (char c : bytes) o = putUtf8(o, codePointOf(static_cast<unsigned char>(c)));
    return out;
}

Text fromCp1252(std::string&& bytes) {
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) return std::move(bytes);  // the same text in UTF-8
    return fromCp1252(static_cast<const std::string&>(bytes));
}

std::u16string cp1252ToUtf16(const std::string& bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (char c : bytes) out += codePointOf(static_cast<unsigned char>(c));
    return out;
}

std::u16string utf8ToUtf16(const Text& utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t cp = nextCodePoint(utf8, i);
        if (cp >= 0x10000) {
            const char32_t v = cp - 0x10000;
            out += static_cast<char16_t>(0xD800 + (v >> 10));
            out += static_cast<char16_t>(0xDC00 + (v & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

Text utf16ToUtf8(const std::u16string& utf16) {
    Text out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t cp = utf16[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        appendUtf8(out, cp);
    }
    return out;
}

}  // namespace velmora
