#pragma once
// The reminder's flat, ascending list of alarm instants on the desktop side,
// and the byte image of the reminder's table area.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/instant_list.h"
#include "core/types.h"
#include "device/reminder_protocol.h"

namespace velmora {

// One decoded acknowledgement-log word (see log_decode.h).
struct ReadBackEntry {
    std::uint32_t reserved = 0;
    TimeValue alarm_time = 0;
    TimeValue ack = 0;  // 0 when none
    int status = 0;     // 1 not alarmed yet, 3 forgotten, 4 acknowledged, 5 late
    friend bool operator==(const ReadBackEntry&, const ReadBackEntry&) = default;
};

class AlarmTable {
public:
    explicit AlarmTable(std::size_t capacity = 500) : instants_(capacity) {}

    TimeValue programming_time = 0;
    std::vector<ReadBackEntry> log_entries;

    // Empties the instants and the log entries, programming time 0;
    // the capacity stays.
    void clear();
    // Appends an instant; false when the table already holds capacity instants.
    bool add(TimeValue t) { return instants_.add(t); }
    void sortUnique() { instants_.sortUnique(); }
    void trimLastDay() { instants_.trimLastDay(); }

    std::size_t capacity() const { return instants_.capacity(); }
    void setCapacity(std::size_t c) { instants_.setCapacity(c); }
    const std::vector<TimeValue>& instants() const { return instants_.items(); }
    InstantList& list() { return instants_; }
    const InstantList& list() const { return instants_; }

private:
    InstantList instants_;
};

// The byte image of the whole table area (map.tableAreaBytes() bytes; its
// first byte is address 32): header, the instants (at most `list`'s
// capacity of them, never more than the model's capacity or than the area
// holds), zeros after them.
std::vector<std::uint8_t> encodeTableArea(const InstantList& list, TimeValue programmingTime,
                                          const MemoryMap& map);

// Number of instants encodeTableArea writes for `list` into `map`'s area.
std::size_t encodedEntryCount(const InstantList& list, const MemoryMap& map);

// Fills `table` from the bytes read from the table area: the instants are
// cleared; when the entry count is at most 2000 the programming time is set
// and the entries are appended up to the count, the first 0 entry or the end
// of the bytes. The capacity is not consulted (nor changed).
void decodeTableArea(const std::uint8_t* bytes, std::size_t length, AlarmTable& table);

}  // namespace velmora
