#pragma once
// Storing the acknowledgement log read back from a reminder into the
// current user's history and table Log.
#include <cstdint>
#include <vector>

#include "core/interaction.h"
#include "core/records.h"
#include "device/alarm_table.h"
#include "store/record_store.h"

namespace velmora {

enum class ReadBackOutcome {
    NotConnected,    // no reminder connected: nothing decided
    NothingToStore,  // the reminder holds no decoded entries
    Stored,          // merged into the history and written to table Log
    Dropped,         // the reminder belongs to someone else, or the person said No
    NoCurrentUser,   // entries, but no user selected to store them for
    StoreFailed,     // merged in memory, but table Log does not hold the history
};

// The decoded entries as log records.
std::vector<LogEntry> toLogEntries(const std::vector<ReadBackEntry>& entries);

// Merges `entries` into the user's history and writes the whole history to
// table Log for the user in one transaction. False when a statement or the
// commit fails (the merge stays in memory).
bool mergeAndStore(RecordStore& store, CurrentUser& user, const std::vector<LogEntry>& entries);

// After a reminder was read. `owner` is the owner of the reminder's serial
// number `sn` as the store knows it (0 or negative when none). With
// `checkProgrammingTime`, a reminder whose table was written at another time
// than the store recorded for it brings a notice. Entries of a reminder
// owned by the current user are stored; of one owned by another user,
// dropped; of one without owner, stored for the current user when the
// person agrees. A failed write comes back as StoreFailed, so that the
// caller can warn before programming clears the reminder's log.
ReadBackOutcome storeReadBack(RecordStore& store, CurrentUser& user, const AlarmTable& readBack,
                              bool connected, std::uint32_t sn, int owner,
                              bool checkProgrammingTime, Interaction& ui,
                              const StringSource& strings);

}  // namespace velmora
