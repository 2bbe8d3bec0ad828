#pragma once
// A bounded list of alarm instants: what a reminder's table holds.
#include <cstddef>
#include <vector>

#include "core/types.h"

namespace velmora {

class InstantList {
public:
    explicit InstantList(std::size_t capacity = 500) : capacity_(capacity) {}

    std::size_t capacity() const { return capacity_; }
    void setCapacity(std::size_t c) { capacity_ = c; }

    // Appends an instant; fails when the list already holds capacity instants.
    bool add(TimeValue t);
    void clear() {
        items_.clear();
        endsAtTimeLimit_ = false;
    }
    // Sorts ascending (as unsigned 32-bit values) and removes duplicates.
    void sortUnique();
    // Removes every instant on the local calendar date of the last one.
    void trimLastDay();

    const std::vector<TimeValue>& items() const { return items_; }
    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    TimeValue operator[](std::size_t i) const { return items_[i]; }

    // Whether the list stops short at kLastTimeValue: the alarms it was
    // filled from go on after it, and the list had room for more.
    bool endsAtTimeLimit() const { return endsAtTimeLimit_; }
    void setEndsAtTimeLimit(bool v) { endsAtTimeLimit_ = v; }

private:
    std::size_t capacity_;
    std::vector<TimeValue> items_;
    bool endsAtTimeLimit_ = false;
};

}  // namespace velmora
