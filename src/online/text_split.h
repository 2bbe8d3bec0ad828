#pragma once
// Splitting of the service's texts (replies, pouch data) into pieces.
#include <cstddef>
#include <string>
#include <vector>

namespace velmora {

// The pieces of `text` between runs of any of the `separators`; a run
// counts as one separator and empty pieces do not occur. At most `limit`
// pieces are taken.
inline std::vector<std::string> splitAtRuns(const std::string& text, const char* separators,
                                            std::size_t limit = std::string::npos) {
    std::vector<std::string> pieces;
    std::size_t pos = 0;
    while (pieces.size() < limit) {
        pos = text.find_first_not_of(separators, pos);
        if (pos == std::string::npos) break;
        std::size_t end = text.find_first_of(separators, pos);
        if (end == std::string::npos) end = text.size();
        pieces.push_back(text.substr(pos, end - pos));
        pos = end;
    }
    return pieces;
}

}  // namespace velmora
