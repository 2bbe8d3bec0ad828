#include "ui/logic/reminder/log_readback.h"

#include <string>

#include "core/text.h"
#include "resources/string_ids.h"

namespace velmora {

bool mergeAndStore(RecordStore& store, CurrentUser& user, const std::vector<LogEntry>& entries) {
    mergeLogEntries(user.history, entries);
    if (user.id < 1) return false;
    // Every statement and the commit are checked by the store: the history
    // just written need not be read back.
    return store.saveLogEntries(user.history, user.id);
}

ReadBackOutcome storeReadBack(RecordStore& store, CurrentUser& user, const AlarmTable& readBack,
                              bool connected, std::uint32_t sn, int owner,
                              bool checkProgrammingTime, Interaction& ui,
                              const StringSource& strings) {
    using namespace ids;
    if (!connected) return ReadBackOutcome::NotConnected;

    if (checkProgrammingTime && readBack.programming_time != store.programmingTimeOf(sn))
        ui.showMessage(strings.load(kProgrammedElsewhere), strings.load(kCaptionWarning),
                       MessageIcon::Information);

    if (readBack.log_entries.empty()) return ReadBackOutcome::NothingToStore;
    const std::vector<LogEntry> entries = toLogEntries(readBack.log_entries);
    if (owner >= 1) {
        if (owner != user.id) return ReadBackOutcome::OwnerNotFound;
    } else {
        // Without a selected user there is nobody to ask about.
        if (user.id < 1) return ReadBackOutcome::NoCurrentUser;
        if (!ui.askYesNo(fillPlaceholder(strings.load(kStoreAcknowledgementsFor), user.name),
                         strings.load(kCaptionQuestion)))
            return ReadBackOutcome::Dropped;
    }
    return mergeAndStore(store, user, entries) ? ReadBackOutcome::Stored
                                               : ReadBackOutcome::StoreFailed;
}

}  // namespace velmora
