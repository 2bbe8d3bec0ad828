#pragma once
// "Ohjelmoi laite": programming the current user's alarms into the reminder.
// The job: the clock check once per run, the pass on the user's own
// reminder, the report, the spare offer and the spare's pass.
#include "device/programming_pass.h"
#include "ui/logic/reminder/reminder_context.h"

namespace velmora {

class ProgramCommand final : public Command {
public:
    explicit ProgramCommand(const ReminderContext& context) : c_(context) {}

    // A user and alarms ahead (else the person is told why not), then the
    // job. Also after new pouch alarms.
    // Finished when the job ended, programmed or not (device events held
    // back during it may run then).
    void start() override;
    // With a reminder read.
    bool enabled() const override { return c_.window.reminderConnected(); }

private:
    void job();
    void end();
    // One pass on the connected reminder, the user's own (true) or a spare;
    // stores the reminder's record and the user's settings only after the
    // whole table was written. A failed pass leaves the user needing
    // programming.
    bool programReminder(bool own);
    void offerSpare(std::uint32_t ownSerial);
    // Before a pass writes the connected reminder: the log of a spare or of
    // another person's reminder is read and stored for its owner first;
    // false when the person does not want another person's reminder taken
    // over or its log lost. On Yes that owner's own reminder must be
    // programmed again.
    bool mayWriteConnected(bool spare);
    // True when the connected reminder's log may be cleared (asks when it
    // was not read or could not be stored).
    bool logMayBeCleared();

    ReminderContext c_;
    LinkStep failedStep_ = LinkStep::None;  // of the last pass
};

}  // namespace velmora
