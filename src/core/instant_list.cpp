#include "core/instant_list.h"

#include <algorithm>
#include <cstdint>

#include "core/datetime.h"

namespace velmora {

bool InstantList::add(TimeValue t) {
    if (items_.size() >= capacity_) return false;
    items_.push_back(t);
    return true;
}

void InstantList::sortUnique() {
    std::sort(items_.begin(), items_.end(), [](TimeValue a, TimeValue b) {
        return static_cast<std::uint32_t>(a) < static_cast<std::uint32_t>(b);
    });
    items_.erase(std::unique(items_.begin(), items_.end()), items_.end());
}

void InstantList::trimLastDay() {
    if (items_.empty()) return;
    const SYSTEMTIME last = fromTimeValue(static_cast<std::uint32_t>(items_.back()));
    auto sameDay = [&](TimeValue t) {
        const SYSTEMTIME s = fromTimeValue(static_cast<std::uint32_t>(t));
        return s.wYear == last.wYear && s.wMonth == last.wMonth && s.wDay == last.wDay;
    };
    items_.erase(std::remove_if(items_.begin(), items_.end(), sameDay), items_.end());
}

}  // namespace velmora
