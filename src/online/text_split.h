#pragma once
// Splitting of the service's texts (replies, pouch data) into pieces.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Calls `visit` with each piece of `text` between runs of any of the
// `separators` (a run counts as one separator; empty pieces do not occur)
// until it returns false. Nothing is copied.
template <typename Visit>
void forEachRun(std::string_view text, const char* separators, Visit&& visit) {
    std::size_t pos = 0;
    for (;;) {
        pos = text.find_first_not_of(separators, pos);
        if (pos == std::string_view::npos) return;
        std::size_t end = text.find_first_of(separators, pos);
        if (end == std::string_view::npos) end = text.size();
        if (!visit(text.substr(pos, end - pos))) return;
        pos = end;
    }
}

// The pieces of `text` as forEachRun finds them; at most `limit` pieces
// are taken.
inline std::vector<std::string> splitAtRuns(const std::string& text, const char* separators,
                                            std::size_t limit = std::string::npos) {
    std::vector<std::string> pieces;
    if (limit == 0) return pieces;
    forEachRun(text, separators, [&](std::string_view piece) {
        pieces.emplace_back(piece);
        return pieces.size() < limit;
    });
    return pieces;
}

}  // namespace velmora
