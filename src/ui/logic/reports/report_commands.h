#pragma once
// The report commands of the main window: the current user's alarm time
// report in the text viewer (cmd::kPrintAlarmReport), the stored one on
// paper or as PDF (cmd::kPrintAlarmReportOnPaper, kSaveAlarmReportAsPdf),
// and the report dialog over every user (cmd::kReport).
#include "core/clock.h"
#include "store/record_store.h"
#include "ui/logic/command.h"
#include "ui/logic/ui_host.h"

namespace velmora {

struct ReportContext {
    const CurrentUser& user;
    RecordStore& store;
    const StringSource& strings;
    UiHost& host;
};

class AlarmReportCommand final : public Command {
public:
    explicit AlarmReportCommand(ReportContext context) : c_(context) {}
    void start() override;
    bool enabled() const override { return c_.user.id > 0; }

private:
    ReportContext c_;
};

// Offered only when the user has a stored alarm time report.
class StoredAlarmReportCommand final : public Command {
public:
    StoredAlarmReportCommand(ReportContext context, bool asPdf) : c_(context), asPdf_(asPdf) {}
    void start() override;
    bool enabled() const override;

private:
    ReportContext c_;
    bool asPdf_;
};

// The current user is closed first: the dialog works over every user.
class ReportCommand final : public Command {
public:
    ReportCommand(CurrentUser& user, ReportContext context, const Clock& clock, WindowNotices& window)
        : user_(user), c_(context), clock_(clock), window_(window) {}
    void start() override;

private:
    CurrentUser& user_;
    ReportContext c_;
    const Clock& clock_;
    WindowNotices& window_;
};

}  // namespace velmora
