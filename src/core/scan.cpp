#include "core/scan.h"

#include <cctype>
#include <charconv>

namespace velmora {
namespace {

constexpr std::size_t kMaxDigits = 9;  // any 9-digit number fits an int

bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int scanIntegers(std::string_view text, std::string_view layout,
                 std::initializer_list<int*> fields) {
    auto field = fields.begin();
    int stored = 0;
    std::size_t at = 0;
    for (std::size_t i = 0; i < layout.size(); ++i) {
        if (layout.substr(i, 2) == "%d") {
            ++i;
            if (field == fields.end()) break;
            while (at < text.size() && isSpace(text[at])) ++at;
            const bool negative = at < text.size() && text[at] == '-';
            if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
            const std::size_t digits = at;
            while (at < text.size() && isDigit(text[at])) ++at;
            if (at == digits) break;
            if (at - digits > kMaxDigits) return -1;
            int value = 0;
            std::from_chars(text.data() + digits, text.data() + at, value);
            **field++ = negative ? -value : value;
            ++stored;
        } else if (isSpace(layout[i])) {
            while (at < text.size() && isSpace(text[at])) ++at;
        } else if (at < text.size() && text[at] == layout[i]) {
            ++at;
        } else {
            break;
        }
    }
    return stored;
}

}  // namespace velmora
