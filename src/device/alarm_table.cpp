#include "device/alarm_table.h"

#include <algorithm>

namespace velmora {

void AlarmTable::clear() {
    instants_.clear();
    log_entries.clear();
    programming_time = 0;
}

std::size_t encodedEntryCount(const InstantList& list, const MemoryMap& map) {
    const std::size_t area = map.tableAreaBytes();
    const std::size_t fit = area > kTableHeaderSize ? (area - kTableHeaderSize) / 4 : 0;
    return std::min({list.size(), list.capacity(), map.table_capacity, fit, kMaxTableEntries});
}

std::vector<std::uint8_t> encodeTableArea(const InstantList& list, TimeValue programmingTime,
                                          const MemoryMap& map) {
    std::vector<std::uint8_t> image(map.tableAreaBytes(), 0);
    if (image.size() < kTableHeaderSize) return image;
    const std::size_t count = encodedEntryCount(list, map);
    putU16(image.data(), kTableFormatMarker);
    putU16(image.data() + kTableByteLengthOffset,
           static_cast<std::uint16_t>(kTableHeaderSize + 4 * count));
    putU16(image.data() + kTableCountOffset, static_cast<std::uint16_t>(count));
    putU16(image.data() + kTableReservedOffset, 0);
    putU32(image.data() + kTableProgrammingTimeOffset, static_cast<std::uint32_t>(programmingTime));
    for (std::size_t i = 0; i < count; ++i)
        putU32(image.data() + kTableHeaderSize + 4 * i, static_cast<std::uint32_t>(list[i]));
    return image;
}

void decodeTableArea(const std::uint8_t* bytes, std::size_t length, AlarmTable& table) {
    InstantList& list = table.list();
    list.clear();
    if (length < kTableHeaderSize) return;
    const std::size_t count = getU16(bytes + kTableCountOffset);
    if (count > kMaxTableEntries) return;
    table.programming_time = static_cast<TimeValue>(getU32(bytes + kTableProgrammingTimeOffset));
    const std::size_t keep = list.capacity();
    list.setCapacity(std::max(keep, count));
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = kTableHeaderSize + 4 * i;
        if (at + 4 > length) break;
        const std::uint32_t v = getU32(bytes + at);
        if (v == 0) break;
        list.add(static_cast<TimeValue>(v));
    }
    list.setCapacity(keep);
}

}  // namespace velmora
