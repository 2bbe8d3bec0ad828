#include "device/log_readback.h"

#include <string>

#include "core/text.h"
#include "device/device_strings.h"

namespace velmora {

std::vector<LogEntry> toLogEntries(const std::vector<ReadBackEntry>& entries) {
    std::vector<LogEntry> out;
    out.reserve(entries.size());
    for (const ReadBackEntry& e : entries) {
        LogEntry l;
        l.alarm_time = e.alarm_time;
        l.ack = e.ack;
        l.log_status = e.status;
        out.push_back(l);
    }
    return out;
}

bool mergeAndStore(RecordStore& store, CurrentUser& user, const std::vector<LogEntry>& entries) {
    mergeLogEntries(user.history, entries);
    if (user.id < 1) return false;
    if (!store.saveLogEntries(user.history, user.id)) return false;
    // The write reports only whether the database opened; what table Log
    // holds afterwards is what counts.
    std::vector<LogEntry> stored;
    if (!store.loadLog(user.id, stored)) return false;
    std::map<TimeValue, LogEntry> byTime;
    for (const LogEntry& e : stored) byTime[e.alarm_time] = e;
    for (const auto& [t, e] : user.history) {
        auto it = byTime.find(t);
        if (it == byTime.end() || it->second.log_status != e.log_status || it->second.ack != e.ack)
            return false;
    }
    return true;
}

ReadBackOutcome storeReadBack(RecordStore& store, CurrentUser& user, const AlarmTable& readBack,
                              bool connected, std::uint32_t sn, int owner,
                              bool checkProgrammingTime, Interaction& ui,
                              const StringSource& strings) {
    using namespace device_strings;
    if (!connected) return ReadBackOutcome::NotConnected;

    if (checkProgrammingTime && readBack.programming_time != store.programmingTimeOf(sn))
        ui.showMessage(strings.load(kProgrammedElsewhere), strings.load(kCaptionNote),
                       MessageIcon::Information);

    if (readBack.log_entries.empty()) return ReadBackOutcome::NothingToStore;
    const std::vector<LogEntry> entries = toLogEntries(readBack.log_entries);
    if (owner >= 1) {
        if (owner != user.id) return ReadBackOutcome::Dropped;
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
