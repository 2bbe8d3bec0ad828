#pragma once
// The work list: every user whose own reminder runs out within a chosen
// number of days, who needs programming, or whose reminder's log has not
// been read for a chosen number of days; with the date the reminder runs
// out and the reasons, sortable by any column. Choosing a row makes that
// person the current user. The Qt dock shows what this holds.
#include <filesystem>
#include <functional>
#include <vector>

#include "core/clock.h"
#include "core/interaction.h"
#include "store/record_store.h"
#include "ui/logic/command.h"

namespace velmora {

// The reasons of a row, as bits.
enum WorkReason : unsigned {
    kReasonRunsOut = 1,            // the own reminder runs out within the chosen days
    kReasonNeedsProgramming = 2,   // the stored flag
    kReasonLogNotRead = 4,         // the log was last read longer ago than the chosen days
};

struct WorkListOptions {
    static constexpr int kMinDays = 1;
    static constexpr int kMaxDays = 365;
    int runsOutDays = 7;
    int logDays = 14;
    friend bool operator==(const WorkListOptions&, const WorkListOptions&) = default;
};

struct WorkListRow {
    int userId = 0;
    Text name;
    Text ssn;
    bool hasOwnReminder = false;
    TimeValue runsOut = 0;  // last alarm of the own reminder; 0: empty or none
    unsigned reasons = 0;
    int daysSinceRead = 0;  // with kReasonLogNotRead
};

// The listed users among `users` on the local date of `now`. Days are
// calendar days: a reminder whose last alarm is on today + runsOutDays is
// listed, one day later it is not; a log read logDays ago is not listed,
// one day earlier it is. A reminder whose log was never read since it was
// programmed counts from its programming. An empty own reminder has run
// out; a user without an own reminder is listed only by the flag.
std::vector<WorkListRow> workListRows(const std::vector<UserReminderState>& users, TimeValue now,
                                      const WorkListOptions& options);
// The reasons of one user (0: not listed); `daysSinceRead` is set with
// kReasonLogNotRead.
unsigned workReasons(const UserReminderState& u, TimeValue now, const WorkListOptions& options,
                     int* daysSinceRead = nullptr);

// Whether the user's reminder runs out within 7 days or the user needs
// programming: due for programming this week.
bool dueThisWeek(const UserReminderState& u, TimeValue now);

class WorkListLogic {
public:
    enum Column { kColumnName, kColumnSsn, kColumnRunsOut, kColumnReasons, kColumnCount };
    // Keys of the configuration file.
    static constexpr const char* kRunsOutDaysKey = "work_list_runs_out_days";
    static constexpr const char* kLogDaysKey = "work_list_log_days";

    // `configFile` keeps the chosen days (none: they last for the run);
    // `choose` makes a user the current one, as user management does.
    WorkListLogic(RecordStore& store, const StringSource& strings, const Clock& clock,
                  std::filesystem::path configFile, std::function<void(int userId)> choose);

    // The rows read again from the database and sorted as before; the
    // listener is told.
    void reload();
    // Reloads now when shown, else when next shown.
    void recordsChanged();
    bool visible() const { return visible_; }
    void setVisible(bool visible);
    // Called after the rows or the visibility changed.
    void setListener(std::function<void()> listener) { listener_ = std::move(listener); }

    const WorkListOptions& options() const { return options_; }
    // Days outside kMinDays..kMaxDays are brought inside; the choice is
    // kept in the configuration file and the list reloaded.
    void setOptions(WorkListOptions options);

    // Sorts by `column`; rows equal there keep name, then id, order.
    void sort(int column, bool ascending);
    int sortColumn() const { return sortColumn_; }
    bool sortAscending() const { return ascending_; }

    const std::vector<WorkListRow>& rows() const { return rows_; }
    Text columnTitle(int column) const;
    Text cellText(int row, int column) const;
    // The person chose a row (double click or Enter).
    void choose(int row);
    // The row of the person chosen last, -1 when not listed: the list keeps
    // its place after it was read again.
    int chosenRow() const;

    // "Users due for programming this week: N", read from the database.
    Text dueThisWeekText();

private:
    void sortRows();

    RecordStore& store_;
    const StringSource& strings_;
    const Clock& clock_;
    std::filesystem::path configFile_;
    std::function<void(int)> choose_;
    std::function<void()> listener_;
    int chosenId_ = 0;
    WorkListOptions options_;
    std::vector<WorkListRow> rows_;
    TimeValue now_ = 0;
    int sortColumn_ = kColumnRunsOut;
    bool ascending_ = true;
    bool visible_ = false;
    bool stale_ = true;
};

// View > Work list: shows or hides the list.
class WorkListCommand final : public Command {
public:
    explicit WorkListCommand(WorkListLogic& list) : list_(list) {}
    void start() override {
        list_.setVisible(!list_.visible());
        finish();
    }

private:
    WorkListLogic& list_;
};

}  // namespace velmora
