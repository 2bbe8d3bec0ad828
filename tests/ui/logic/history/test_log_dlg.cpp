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

TEST(LogDlgLogic, LinesShowTimeStatusWordAndAcknowledgement) {
    CurrentUser u;
    addEntry(u, at(2026, 3, 5, 8, 0), kStatusAcknowledgedLate, at(2026, 3, 5, 8, 45));
    addEntry(u, at(2026, 3, 5, 20, 0), kStatusAcknowledged, at(2026, 3, 5, 20, 3));
    addEntry(u, at(2026, 3, 6, 8, 0), kStatusForgotten);
    addEntry(u, at(2026, 3, 6, 20, 0), kStatusForgottenAlt);
    addEntry(u, at(2026, 3, 7, 8, 0), kStatusNotAlarmed);
    LogDlgLogic dlg(u, fi());
    const std::vector<Text> expected = {
        "05.03.2026 08:00 - kuitattu myöhässä: 05.03.2026 08:45",
        "05.03.2026 20:00 - kuitattu: 05.03.2026 20:03",
        "06.03.2026 08:00 - unohdettu",
        "06.03.2026 20:00 - unohdettu",
        "07.03.2026 08:00 - ei hälytetty",
    };
    EXPECT_EQ(dlg.lines(), expected);
}

TEST(LogDlgLogic, CountersAndATotalThatCanExceedTheirSum) {
    CurrentUser u;
    TimeValue t = at(2026, 3, 1, 8, 0);
    auto next = [&t] { return t += 3600; };
    for (int i = 0; i < 3; ++i) addEntry(u, next(), kStatusAcknowledged, t + 60);
    for (int i = 0; i < 2; ++i) addEntry(u, next(), kStatusAcknowledgedLate, t + 1800);
    addEntry(u, next(), kStatusForgotten);
    addEntry(u, next(), kStatusForgottenAlt);
    addEntry(u, next(), kStatusForgotten);
    for (int i = 0; i < 4; ++i) addEntry(u, next(), kStatusNotAlarmed);
    addEntry(u, next(), 0);
    addEntry(u, next(), 9);
    LogDlgLogic dlg(u, fi());
    EXPECT_EQ(dlg.numberText(LogDlgLogic::kIdTotal), "14");
    EXPECT_EQ(dlg.numberText(LogDlgLogic::kIdAcknowledged), "3");
    EXPECT_EQ(dlg.numberText(LogDlgLogic::kIdLate), "2");
    EXPECT_EQ(dlg.numberText(LogDlgLogic::kIdForgotten), "3");
}

TEST(LogDlgLogic, ThePeriodChoosesTheLinesAndTotals) {
    CurrentUser u;
    addEntry(u, at(2026, 1, 10, 8, 0), kStatusForgotten);
    addEntry(u, at(2026, 4, 15, 8, 0), kStatusAcknowledgedLate, at(2026, 4, 15, 8, 40));
    addEntry(u, at(2026, 5, 31, 23, 59), kStatusForgottenAlt);  // the day before the last 30
    addEntry(u, at(2026, 6, 1, 0, 0), kStatusAcknowledged, at(2026, 6, 1, 0, 5));
    LogDlgLogic dlg(u, fi(), at(2026, 6, 30, 12, 0));
    const struct {
        AdherencePeriod period;
        const char *total, *acknowledged, *late, *forgotten, *firstLine;
    } cases[] = {
        {AdherencePeriod::Last30Days, "1", "1", "0", "0", "01.06.2026 00:00 - kuitattu: 01.06.2026 00:05"},
        {AdherencePeriod::Last90Days, "3", "1", "1", "1", "15.04.2026 08:00 - kuitattu myöhässä: 15.04.2026 08:40"},
        {AdherencePeriod::All, "4", "1", "1", "2", "10.01.2026 08:00 - unohdettu"},
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

TEST(LogDlgLogic, UnknownStatusAndMissingAcknowledgementInstant) {
    const TimeValue alarm = at(2026, 10, 25, 3, 30);  // the night clocks go back
    for (int unknown : {0, 7}) EXPECT_EQ(LogDlgLogic::formatLine({alarm, 0, unknown}, fi()), "25.10.2026 03:30 - ");
    // An acknowledged entry whose instant was never recorded shows no 1970 date.
    EXPECT_EQ(LogDlgLogic::formatLine({alarm, 0, kStatusAcknowledged}, fi()),
              "25.10.2026 03:30 - kuitattu");
    // Status 1 never shows an acknowledgement, even when one is stored.
    EXPECT_EQ(LogDlgLogic::formatLine({alarm, alarm + 60, kStatusNotAlarmed}, fi()),
              "25.10.2026 03:30 - ei hälytetty");
}

}  // namespace
}  // namespace velmora
