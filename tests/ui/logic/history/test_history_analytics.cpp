// Adherence figures, the chronology chart's hit-testing and the CSV export
// of the history, on histories with known answers.
#include <gtest/gtest.h>

#include <tuple>

#include "core/datetime.h"
#include "resources/resource_module.h"
#include "ui/logic/history/adherence.h"
#include "ui/logic/history/chronology_chart.h"
#include "ui/logic/history/history_export.h"
#include "ui/logic/history/log_dlg_logic.h"

namespace velmora {
namespace {

TimeValue at(int d, int h, int mi = 0) { return toTimeValue(makeTime(2026, 3, d, h, mi)); }

// Every status; forgotten at 20:00 and 23:30 on the 2nd and 02:00 on the
// 3rd (a run of three over midnight), one more after taken doses; after now (the 4th at 12:00) a taken
// dose with a long delay and a forgotten one that must count nowhere.
std::map<TimeValue, LogEntry> knownHistory() {
    struct Row { int d, h, mi, status, ackMinutes; };
    const Row rows[] = {
        {2, 8, 0, 4, 2},  {2, 14, 0, 5, 40}, {2, 20, 0, 2, 0},  {2, 23, 30, 3, 0},
        {3, 2, 0, 2, 0},  {3, 8, 0, 4, -5},  {3, 13, 0, 1, 0},  {4, 9, 0, 4, 10},
        {4, 10, 0, 7, 0}, {4, 11, 0, 2, 0},  {4, 14, 0, 4, 999}, {5, 8, 0, 2, 0},
    };
    std::map<TimeValue, LogEntry> h;
    for (const Row& r : rows) {
        const TimeValue t = at(r.d, r.h, r.mi);
        h[t] = LogEntry{t, r.status >= 4 ? t + r.ackMinutes * 60 : 0, r.status};
    }
    return h;
}

TEST(Adherence, KnownHistoryOverPeriods) {
    const auto history = knownHistory();
    const TimeValue now = at(4, 12);
    struct Case {
        const char* name;
        TimeValue from;
        DoseCounts total;
        std::array<int, kSlotCount> slotDue, slotForgotten;
        int run, days, delays, median, p90;
        double taking, timing;
    };
    const Case cases[] = {
        {"all", 0, {8, 4, 3, 1, 4}, {1, 4, 1, 2}, {1, 1, 0, 2}, 3, 3, 4, 120, 2400, 50, 37.5},
        {"from the 3rd", at(3, 0), {4, 2, 2, 0, 2}, {1, 3, 0, 0}, {1, 1, 0, 0}, 1, 2, 2, -300, 600, 50, 50},
        {"empty", at(4, 11, 30), {}, {}, {}, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Adherence a = computeAdherence(history, c.from, now);
        EXPECT_EQ(std::tie(a.total.due, a.total.taken, a.total.onTime, a.total.late, a.total.forgotten),
                  std::tie(c.total.due, c.total.taken, c.total.onTime, c.total.late, c.total.forgotten));
        EXPECT_DOUBLE_EQ(a.total.takingPercent(), c.taking);
        EXPECT_DOUBLE_EQ(a.total.timingPercent(), c.timing);
        for (int s = 0; s < kSlotCount; ++s) {
            EXPECT_EQ(a.bySlot[s].due, c.slotDue[s]) << s;
            EXPECT_EQ(a.bySlot[s].forgotten, c.slotForgotten[s]) << s;
        }
        EXPECT_EQ(a.longestForgottenRun, c.run);
        EXPECT_EQ(a.daysWithForgotten, c.days);
        EXPECT_EQ(a.delayCount, c.delays);
        EXPECT_EQ(a.medianDelaySeconds, c.median);
        EXPECT_EQ(a.p90DelaySeconds, c.p90);
    }
}

// The last 30 and 90 days are the history dialog's test; the whole
// history runs from the day of its first entry, or is today alone.
TEST(Adherence, TheWholeHistoryBeginsWithTheDayOfItsFirstEntry) {
    const PeriodDays p = periodDays(AdherencePeriod::All, knownHistory(), at(4, 12));
    EXPECT_EQ(p.from, toTimeValue(makeTime(2026, 3, 2)));
    EXPECT_EQ(p.days, 3);
    EXPECT_EQ(periodDays(AdherencePeriod::All, {}, at(4, 12)).days, 1);
}

TEST(ChronologyChart, MarksRowsAndHitTesting) {
    auto history = knownHistory();
    const PeriodDays days = periodDays(AdherencePeriod::All, history, at(4, 12));
    // Taken late on the 3rd at 23:50 and acknowledged after midnight.
    history[at(3, 23, 50)] = LogEntry{at(3, 23, 50), at(4, 0, 20), kStatusAcknowledgedLate};
    ChronologyChart chart(history, days);
    chart.setWidth(ChronologyChart::kLabelWidth + 480);  // 20 px an hour
    const auto& marks = chart.marks();
    ASSERT_EQ(marks.size(), 12u);  // the 5th lies beyond the period's days
    const ChartMark& late = marks[7];
    EXPECT_EQ(late.row, 1);
    EXPECT_EQ(late.ackRow, 2);
    EXPECT_EQ(chart.xOf(late.ackDaySecond), ChronologyChart::kLabelWidth + 6);  // 00:20

    const int x8 = ChronologyChart::kLabelWidth + 160;  // 08:00
    struct Probe { int x, y, mark; };
    const Probe probes[] = {
        {x8, chart.rowCentre(0), 0},      {x8 + 6, chart.rowCentre(0), 0},
        {x8 - 7, chart.rowCentre(0), -1}, {x8, chart.rowCentre(1), 5},
        {x8, 5, -1},                      {x8, chart.rowTop(3) + 1, -1},
    };
    for (const Probe& p : probes) EXPECT_EQ(chart.markAt(p.x, p.y), p.mark) << p.x << "," << p.y;
}

TEST(HistoryCsv, QuotesNamesAndKeepsFinnishLetters) {
    CurrentUser u;
    u.name = "Äijälä, \"Junior\" Öystilä";
    const TimeValue alarm = at(4, 8, 0);
    u.history[alarm] = LogEntry{alarm, alarm + 25 * 60 + 40, kStatusAcknowledgedLate};
    u.history[at(4, 9)] = LogEntry{at(4, 9), 0, kStatusForgotten};
    u.history[at(4, 10)] = LogEntry{at(4, 10), 0, kStatusAcknowledged};  // no instant recorded
    LogDlgLogic dlg(u, ResourceModule::builtIn(), at(4, 12));
    const Text name = "\"Äijälä, \"\"Junior\"\" Öystilä\"";
    const Text expected = "\xEF\xBB\xBF"
                          "Nimi,Päivä,Hälytysaika,Tila,Kuittausaika,Viive (min)\r\n" +
                          name + ",2026-03-04,08:00,kuitattu myöhässä,2026-03-04 08:25,26\r\n" + name +
                          ",2026-03-04,09:00,unohdettu,,\r\n" + name + ",2026-03-04,10:00,kuitattu,,\r\n";
    EXPECT_EQ(historyCsv(dlg, ResourceModule::builtIn()), expected);
}

}  // namespace
}  // namespace velmora
