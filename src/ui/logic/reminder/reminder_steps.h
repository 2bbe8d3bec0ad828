#pragma once
// Steps that the reminder flows and the programming job share: storing the
// connected reminder's log for whoever owns it, the owner who must program
// a reminder again, the record of an emptied reminder, and the failure
// messages that say why and what to do next.
#include <cstdint>

#include "device/reminder_link.h"
#include "ui/logic/reminder/reminder_context.h"

namespace velmora {

// Reads the connected reminder again and stores its log for the owner of
// its serial number (the current user or another). logSafe tells whether
// programming or emptying may now clear the log.
void readAndStoreForOwner(const ReminderContext& c);

// The owner's own reminder no longer holds what the owner's alarms say:
// the owner (the current user or another) must program it again.
void markNeedsProgramming(const ReminderContext& c, int owner);

// The reminder `sn` was emptied: its record holds no alarms any more.
void recordReminderEmptied(RecordStore& store, std::uint32_t sn);

// The failure message `firstLineId` with the reason (the reminder was
// pulled out, or the transfer failed at `step`) and `nextStepId`.
void showDeviceFailure(const ReminderContext& c, int firstLineId, LinkStep step, int nextStepId,
                       MessageIcon icon = MessageIcon::Error);

// A message box of the reminder commands: `textId` with `captionId`.
void tell(const ReminderContext& c, int textId, int captionId, MessageIcon icon);

}  // namespace velmora
