#include "core/text.h"

namespace velmora {

Text fillPlaceholder(const Text& pattern, const Text& value, bool every) {
    Text out;
    std::size_t from = 0;
    for (auto at = pattern.find("%s"); at != Text::npos; at = pattern.find("%s", from)) {
        out.append(pattern, from, at - from);
        out += value;
        from = at + 2;
        if (!every) break;
    }
    out.append(pattern, from);
    return out;
}

std::vector<Text> tabSeparatedFields(const Text& text) {
    std::vector<Text> fields(1);
    for (char c : text) {
        if (c == '\t')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

Text lowerAscii(Text text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace velmora
