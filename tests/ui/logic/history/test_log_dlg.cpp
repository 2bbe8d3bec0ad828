// History dialog: lines, counters and texts, on the program's own
// (Finnish) string table.
#include <gtest/gtest.h>

#include "core/datetime.h"
#include "resources/resource_module.h"
#include "ui/logic/history/log_dlg_logic.h"

namespace velmora {
namespace {

const StringSource& fi() { return ResourceModule::builtIn(); }

TimeValue at(int y, int mo, int d, int h, int mi) { return toTimeValue(makeTime(y, mo, d, h, mi)); }

void addEntry(CurrentUser& u, TimeValue alarm, int status, TimeValue ack = 0) {
    u.history[alarm] = LogEntry{alarm, ack, status};
}

// Entries of other statuses count only in the total.
TEST(LogDlgLogic, ThePeriodChoosesTheLinesAndTotals) {
    CurrentUser u;
    addEntry(u, at(2026, 1, 10, 8, 0), kStatusForgotten);
    addEntry(u, at(2026, 4, 15, 8, 0), kStatusAcknowledgedLate, at(2026, 4, 15, 8, 40));
    addEntry(u, at(2026, 5, 31, 23, 59), kStatusForgottenAlt);  // the day before the last 30
    addEntry(u, at(2026, 6, 1, 0, 0), kStatusAcknowledged, at(2026, 6, 1, 0, 5));
    addEntry(u, at(2026, 6, 2, 8, 0), kStatusNotAlarmed);
    addEntry(u, at(2026, 6, 3, 8, 0), 9);
    LogDlgLogic dlg(u, fi(), at(2026, 6, 30, 12, 0));
    const struct {
        AdherencePeriod period;
        const char *total, *acknowledged, *late, *forgotten, *firstLine;
    } cases[] = {
        {AdherencePeriod::Last30Days, "3", "1", "0", "0", "01.06.2026 00:00 - kuitattu: 01.06.2026 00:05"},
        {AdherencePeriod::Last90Days, "5", "1", "1", "1", "15.04.2026 08:00 - kuitattu myöhässä: 15.04.2026 08:40"},
        {AdherencePeriod::All, "6", "1", "1", "2", "10.01.2026 08:00 - unohdettu"},
    };
    for (const auto& c : cases) {
        dlg.setPeriod(c.period);
        EXPECT_EQ(dlg.numberText(LogDlgLogic::kIdTotal), c.total);
        EXPECT_EQ(dlg.numberText(LogDlgLogic::kIdAcknowledged), c.acknowledged);
        EXPECT_EQ(dlg.numberText(LogDlgLogic::kIdLate), c.late);
        EXPECT_EQ(dlg.numberText(LogDlgLogic::kIdForgotten), c.forgotten);
        ASSERT_EQ(dlg.lines().size(), std::stoul(c.total));
        EXPECT_EQ(dlg.lines().front(), c.firstLine);
    }
}

TEST(LogDlgLogic, LinesOfEveryStatus) {
    const TimeValue alarm = at(2026, 10, 25, 3, 30);  // the night clocks go back
    const struct {
        int status;
        TimeValue ack;
        const char* line;
    } cases[] = {
        {0, 0, "25.10.2026 03:30 - "},
        {7, 0, "25.10.2026 03:30 - "},
        {kStatusForgottenAlt, 0, "25.10.2026 03:30 - unohdettu"},
        // An acknowledged entry whose instant was never recorded shows no 1970 date.
        {kStatusAcknowledged, 0, "25.10.2026 03:30 - kuitattu"},
        // Status 1 never shows an acknowledgement, even when one is stored.
        {kStatusNotAlarmed, alarm + 60, "25.10.2026 03:30 - ei hälytetty"},
    };
    for (const auto& c : cases) EXPECT_EQ(LogDlgLogic::formatLine({alarm, c.ack, c.status}, fi()), c.line);
}

}  // namespace
}  // namespace velmora
