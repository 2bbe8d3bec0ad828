#pragma once
// Storing the acknowledgement log read back from a reminder into the
// current user's history and table Log.
#include <cstdint>
#include <vector>

#include "core/interaction.h"
#include "core/records.h"
#include "device/alarm_table.h"
#include "device/log_decode.h"
#include "store/record_store.h"

namespace velmora {

enum class ReadBackOutcome {
    NotConnected,    // no reminder connected: nothing decided
    NothingToStore,  // the reminder holds no decoded entries
    Stored,          // merged into the history and written to table Log
    Dropped,         // the person said No: not this user's acknowledgements
    OwnerNotFound,   // the reminder's owner could not be selected (no such user, or a
                     // damaged database): nothing stored, the log stays on the reminder
    NoCurrentUser,   // entries, but no user selected to store them for
    StoreFailed,     // merged in memory, but table Log does not hold the history
};

// True when the read-back entries are in no user's table Log although the
// person did not decline them: clearing the reminder would lose them.
inline bool leftUnstored(ReadBackOutcome o) {
    return o == ReadBackOutcome::StoreFailed || o == ReadBackOutcome::OwnerNotFound ||
           o == ReadBackOutcome::NoCurrentUser;
}

// Merges `entries` into the user's history and writes the whole history to
// table Log for the user in one transaction. False when a statement or the
// commit fails (the merge stays in memory).
bool mergeAndStore(RecordStore& store, CurrentUser& user, const std::vector<LogEntry>& entries);

// After a reminder was read. `owner` is the owner of the reminder's serial
// number `sn` as the store knows it (0 or negative when none). With
// `checkProgrammingTime`, a reminder whose table was written at another time
// than the store recorded for it brings a notice. Entries of a reminder
// owned by the current user are stored; of one owned by a user who is not
// the current one (the owner could not be selected), kept on the reminder
// (OwnerNotFound); of one without owner, stored for the current user when
// the person agrees. StoreFailed and OwnerNotFound leave the log unstored,
// so that the caller warns before programming or emptying clears it.
ReadBackOutcome storeReadBack(RecordStore& store, CurrentUser& user, const AlarmTable& readBack,
                              bool connected, std::uint32_t sn, int owner,
                              bool checkProgrammingTime, Interaction& ui,
                              const StringSource& strings);

}  // namespace velmora
