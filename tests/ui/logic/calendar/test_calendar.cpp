// The calendar views' logic: items and their states, ranges and reloads,
// the hit rules, the planner's mapping between time and pixels, layout
// and keys.
#include <gtest/gtest.h>

#include "core/clock.h"
#include "core/datetime.h"
#include "resources/resource_module.h"
#include "resources/string_ids.h"
#include "ui/logic/calendar/calendar_layout.h"
#include "ui/logic/calendar/calendar_view.h"

namespace velmora {
namespace {

// Wednesday 11 March 2026, 12:40.
constexpr SYSTEMTIME kNow = makeTime(2026, 3, 11, 12, 40);

Alarm alarmAt(const SYSTEMTIME& start, int pattern = 1, int type = 0) {
    Alarm a;
    a.id = 7;
    a.alarm_start = a.alarm_end = start;
    a.repeat_forever = pattern != 0;
    a.repeat_pattern = static_cast<std::uint8_t>(pattern);
    a.title = type == 1 ? "Pussihälytys" : "Hälytys";
    a.description = "Aamulääke";
    a.alarm_type = type;
    return a;
}

// The main window as the views see it: the user's alarms and log, and
// every request the views send.
class Requests : public CalendarRequests {
public:
    void occurrences(const SYSTEMTIME& from, const SYSTEMTIME& to,
                     std::vector<AlarmOccurrence>& out) const override {
        expandOccurrences(alarms, from, to, out, daylight);
    }
    const std::map<TimeValue, LogEntry>& acknowledgementLog() const override { return log; }
    void setDate(const SYSTEMTIME& d) override {
        dates.push_back(d);
        if (view) view->setDate(d);  // the main window's echo
    }
    void selectTab(int index) override { tabs.push_back(index); }
    void addAlarm(const SYSTEMTIME& t) override { adds.push_back(t); }
    void editAlarm(const SYSTEMTIME& t, const Alarm&) override { edits.push_back(t); }
    void deleteAlarm(const SYSTEMTIME& t, const Alarm&) override { deletes.push_back(t); }

    void logAt(const SYSTEMTIME& t, int status, int ackMinutes = 0) {
        const TimeValue at = toTimeValue(t);
        log[at] = {at, ackMinutes ? at + ackMinutes * 60 : 0, status};
    }

    std::vector<Alarm> alarms;
    std::map<TimeValue, LogEntry> log;
    DaylightTable daylight = buildDaylightTable(kNow);
    CalendarViewLogic* view = nullptr;
    std::vector<SYSTEMTIME> dates, adds, edits, deletes;
    std::vector<int> tabs;
};

class CalendarTest : public ::testing::Test {
protected:
    CalendarViewLogic& view(ViewKind kind, const SYSTEMTIME& date = kNow) {
        view_ = CalendarViewLogic::make(kind, requests_, strings_, clock_);
        requests_.view = view_.get();
        if (view_->setDate(date)) view_->refresh();
        return *view_;
    }
    Text text(int id) const { return strings_.load(id); }

    const ResourceModule& strings_ = ResourceModule::builtIn();
    FixedClock clock_{kNow};
    Requests requests_;
    std::unique_ptr<CalendarViewLogic> view_;
};

TEST_F(CalendarTest, ItemsTakeTheStateOfTheLogEntryAtTheirSecond) {
    using S = ItemStyle;
    const Text notAlarmed = text(ids::kStatusNotAlarmed);
    struct Case {
        const char* name;
        SYSTEMTIME at;
        int type;       // alarm_type; -1: the alarm is gone, only its log entry
        int status;     // -1: no log entry
        int ackMinutes;
        Text title, text;
        S::Rgb colour;
        Text monthText;
        Text spoken;
    } cases[] = {
        {"status 0", makeTime(2026, 3, 9, 8, 0), 0, 0, 0, "Hälytys", "Aamulääke", S::kAlarm, "08:00  Hälytys",
         "08:00 Hälytys"},
        {"past, not read yet", makeTime(2026, 3, 9, 9, 0), 0, -1, 0, text(ids::kAwaitingReadBack), "Aamulääke",
         S::kAwaitingReadBack, "09:00  " + text(ids::kAwaitingReadBack),
         "09:00 Hälytys, ei luettu laitteesta"},
        {"ahead, not read yet", makeTime(2026, 3, 11, 13, 0), 0, -1, 0, "Hälytys", "Aamulääke", S::kAlarm,
         "13:00  Hälytys", "13:00 Hälytys, tulossa"},
        {"future 1", makeTime(2026, 3, 12, 8, 0), 1, 1, 0, "Pussihälytys", "Aamulääke", S::kPouchAlarm,
         "08:00  Pussihälytys",
         "08:00 Pussihälytys, tulossa, annospussi"},
        {"past 1, pouch", makeTime(2026, 3, 10, 8, 0), 1, 1, 0, notAlarmed, "Aamulääke", S::kPouchAlarm,
         "08:00  " + notAlarmed, "08:00 Pussihälytys, ei hälytetty"},
        {"2", makeTime(2026, 3, 10, 9, 0), 0, 2, 0, "Hälytys", "H: 09:00", S::kForgotten, "09:00  Hälytys",
         "09:00 Hälytys, unohdettu"},
        {"3", makeTime(2026, 3, 10, 10, 0), 0, 3, 0, "Hälytys", "H: 10:00", S::kForgotten, "10:00  Hälytys",
         "10:00 Hälytys, unohdettu"},
        {"4", makeTime(2026, 3, 10, 11, 0), 0, 4, 4, "Hälytys", "H: 11:00, K: 11:04", S::kAcknowledged,
         "11:00  Hälytys", "11:00 Hälytys, kuitattu 11:04"},
        {"5", makeTime(2026, 3, 9, 8, 0), 0, 5, 25, "Hälytys", "H: 08:00, K: 08:25", S::kAcknowledgedLate,
         "08:00  Hälytys", "08:00 Hälytys, kuitattu myöhässä 08:25"},
        {"gone, 5", makeTime(2026, 3, 10, 10, 30), -1, 5, 3, notAlarmed, "H: 10:30, K: 10:33",
         S::kAcknowledgedLate, "10:30  " + text(ids::kStatusAcknowledgedLate), "10:30, kuitattu myöhässä 10:33"},
        {"gone, 3", makeTime(2026, 3, 10, 10, 45), -1, 3, 0, notAlarmed, "H: 10:45", S::kForgotten,
         "10:45  " + text(ids::kStatusForgotten), "10:45, unohdettu"},
        {"gone, 1", makeTime(2026, 3, 10, 10, 50), -1, 1, 0, notAlarmed, "", S::kAlarm, "10:50  " + notAlarmed, "10:50, ei hälytetty"},
    };
    for (const Case& c : cases) {
        requests_ = Requests{};
        if (c.type >= 0) requests_.alarms.push_back(alarmAt(c.at, 0, c.type));
        // An entry one second off matches nothing and stays apart.
        if (c.type >= 0) requests_.logAt(makeTime(2026, 3, 8, 20, 0, 1), 4, 1);
        if (c.status >= 0) requests_.logAt(c.at, c.status, c.ackMinutes);
        CalendarViewLogic& v = view(ViewKind::Week);
        const std::vector<const ViewItem*> day = v.itemsOfDay(v.dayIndexOf(c.at));
        ASSERT_EQ(day.size(), 1u) << c.name;
        const ViewItem& item = *day.front();
        EXPECT_EQ(item.title, c.title) << c.name;
        EXPECT_EQ(item.text, c.text) << c.name;
        EXPECT_EQ(item.colour, c.colour) << c.name;
        EXPECT_EQ(item.hasAlarm, c.type >= 0) << c.name;
        EXPECT_EQ(monthCellText(item, strings_), c.monthText) << c.name;
        EXPECT_EQ(spokenItem(item, kNow, strings_), c.spoken) << c.name;
        EXPECT_EQ(v.items().size(), 1u) << c.name << ": entries of other weeks show nowhere";
    }
}

TEST_F(CalendarTest, MonthTitlesAreCutAndTooltipsJoinTheLines) {
    Alarm a = alarmAt(makeTime(2026, 3, 12, 8, 0), 0);
    a.title = std::string(62, 'x') + "äö";
    requests_.alarms = {a};
    CalendarViewLogic& v = view(ViewKind::Month);
    const ViewItem& item = v.items().front();
    EXPECT_EQ(monthCellText(item, strings_), "08:00  " + std::string(62, 'x') + "ä");
    EXPECT_EQ(plannerTooltip(item), "12.3.2026 08:00\n\n" + a.title + "\n\nAamulääke");
    EXPECT_EQ(monthDayTooltip(makeTime(2026, 3, 12), v.itemsOfDay(v.dayIndexOf(item.start)), strings_),
              "12.3.2026\n" + monthCellText(item, strings_));
}

TEST_F(CalendarTest, RangesCrossYearEndsAndDaylightSavingChanges) {
    struct Case {
        ViewKind kind;
        SYSTEMTIME date, first, last;
        TimeValue seconds;  // from the first second to the last
    } cases[] = {
        {ViewKind::Week, makeTime(2026, 1, 1), makeTime(2025, 12, 29), makeTime(2026, 1, 4, 23, 59, 59),
         7 * 86400 - 1},
        {ViewKind::Week, makeTime(2026, 3, 29), makeTime(2026, 3, 23), makeTime(2026, 3, 29, 23, 59, 59),
         7 * 86400 - 3600 - 1},
        {ViewKind::Week, makeTime(2026, 10, 26), makeTime(2026, 10, 26), makeTime(2026, 11, 1, 23, 59, 59),
         7 * 86400 - 1},
        {ViewKind::Day, makeTime(2026, 10, 25, 15, 0), makeTime(2026, 10, 25),
         makeTime(2026, 10, 25, 23, 59, 59), 86400 + 3600 - 1},
        {ViewKind::Month, makeTime(2026, 3, 11), makeTime(2026, 2, 23), makeTime(2026, 4, 5, 23, 59, 59),
         42 * 86400 - 3600 - 1},
        {ViewKind::Month, makeTime(2027, 2, 3), makeTime(2027, 2, 1), makeTime(2027, 2, 28, 23, 59, 59),
         28 * 86400 - 1},
    };
    for (const Case& c : cases) {
        CalendarViewLogic& v = view(c.kind, c.date);
        EXPECT_EQ(formatDateTime(v.range().first), formatDateTime(c.first)) << formatDate(c.date);
        EXPECT_EQ(toTimeValue(v.range().last), toTimeValue(c.last)) << formatDate(c.date);
        EXPECT_EQ(toTimeValue(v.range().last) - toTimeValue(v.range().first), c.seconds) << formatDate(c.date);
    }
}

TEST_F(CalendarTest, ANewDateReloadsOnlyWhenItLeavesTheRange) {
    struct Case {
        ViewKind kind;
        SYSTEMTIME from, to;
        bool reload;
    } cases[] = {
        {ViewKind::Week, makeTime(2026, 3, 9), makeTime(2026, 3, 15, 23, 0), false},
        {ViewKind::Week, makeTime(2026, 3, 15), makeTime(2026, 3, 16), true},
        {ViewKind::Week, makeTime(2026, 3, 11), makeTime(2027, 3, 17), true},  // week 11 of another year
        {ViewKind::Day, makeTime(2026, 3, 11, 8, 0), makeTime(2026, 3, 11, 20, 0), false},
        {ViewKind::Day, makeTime(2026, 3, 11), makeTime(2026, 3, 12), true},
        {ViewKind::Month, makeTime(2026, 3, 1), makeTime(2026, 3, 31), false},
        {ViewKind::Month, makeTime(2026, 3, 31), makeTime(2027, 3, 31), true},
        // Months of different years whose year and month numbers add or
        // shift into the same number.
        {ViewKind::Month, makeTime(2026, 3, 15), makeTime(2025, 4, 15), true},
        {ViewKind::Month, makeTime(2026, 12, 1), makeTime(2027, 2, 1), true},
    };
    for (const Case& c : cases) {
        view(c.kind, c.from);
        EXPECT_EQ(view_->setDate(c.to), c.reload) << formatDate(c.from) << " -> " << formatDate(c.to);
    }
}

TEST_F(CalendarTest, ASlotUpToAnHourAgoAsksToAdd) {
    CalendarViewLogic& v = view(ViewKind::Week);
    EXPECT_TRUE(v.clickSlot(makeTime(2026, 3, 11, 11, 41)));   // 59 minutes ago
    EXPECT_FALSE(v.clickSlot(makeTime(2026, 3, 11, 11, 39)));  // 61 minutes ago
    EXPECT_TRUE(v.clickSlot(makeTime(2026, 3, 14, 9, 30)));
    ASSERT_EQ(requests_.adds.size(), 2u);
    EXPECT_EQ(formatDateTime(requests_.adds[0]), "11.03.2026 11:30") << "the slot's start";
    EXPECT_EQ(formatDateTime(requests_.adds[1]), "14.03.2026 09:30");
    EXPECT_EQ(requests_.dates.size(), 1u) << "the main window follows the new day";
}

TEST_F(CalendarTest, TheContextMenuOpensOnlyOnComingOccurrencesOfAnAlarm) {
    requests_.alarms = {alarmAt(makeTime(2026, 3, 10, 12, 0))};
    requests_.logAt(makeTime(2026, 3, 13, 9, 0), 4, 2);  // its alarm is gone
    CalendarViewLogic& v = view(ViewKind::Week);
    auto indexOf = [&](const SYSTEMTIME& t) {
        for (std::size_t i = 0; i < v.items().size(); ++i)
            if (v.items()[i].start == normalizeDate(t)) return static_cast<int>(i);
        return -1;
    };
    EXPECT_FALSE(v.contextMenuOn(indexOf(makeTime(2026, 3, 11, 12, 0)))) << "twenty minutes ago";
    EXPECT_FALSE(v.contextMenuOn(indexOf(makeTime(2026, 3, 13, 9, 0)))) << "a log entry without alarm";
    EXPECT_FALSE(v.contextMenuOn(-1));
    v.editRemembered();
    EXPECT_TRUE(requests_.edits.empty());
    ASSERT_TRUE(v.contextMenuOn(indexOf(makeTime(2026, 3, 12, 12, 0))));
    v.deleteRemembered();
    ASSERT_EQ(requests_.deletes.size(), 1u);
    EXPECT_EQ(formatDateTime(requests_.deletes[0]), "12.03.2026 12:00");
}

TEST_F(CalendarTest, TimeAndPixelsMapBothWaysOnShortAndLongDays) {
    PlannerGeometry g;
    g.width = 700;
    g.height = 400;
    g.days = 7;
    for (SYSTEMTIME day : {makeTime(2026, 3, 29), makeTime(2026, 10, 25)}) {  // 23 and 25 hours
        for (int scroll : {0, 173}) {
            g.scroll = scroll;
            for (int y = g.headerHeight; y < g.headerHeight + g.contentHeight() - scroll; ++y) {
                const auto t = g.timeAt(day, y);
                ASSERT_TRUE(t);
                ASSERT_EQ(g.yOf(*t), y) << formatDateTime(*t);
                ASSERT_EQ(t->wDay, day.wDay);
            }
            for (int second = 0; second < 86400; second += 60) {
                if (g.yOfSecond(second) < g.headerHeight) continue;  // scrolled out
                const auto t = g.timeAt(day, g.yOfSecond(second));
                ASSERT_TRUE(t);
                const int back = t->wHour * 3600 + t->wMinute * 60 + t->wSecond;
                ASSERT_LE(back, second);
                ASSERT_GT(back + PlannerGeometry::kSecondsPerSlot / g.slotHeight + 1, second);
            }
        }
        g.scroll = 0;
        // The ruler reads wall-clock time: 08:00 sits on the eighth hour line.
        const SYSTEMTIME eight = makeTime(day.wYear, day.wMonth, day.wDay, 8, 0);
        EXPECT_EQ(g.yOf(eight), g.headerHeight + 16 * g.slotHeight);
        EXPECT_EQ(toTimeValue(*g.slotAt(day, g.yOf(eight) + g.slotHeight - 1)), toTimeValue(eight));
    }
    EXPECT_FALSE(g.timeAt(makeTime(2026, 3, 29), g.headerHeight - 1));
    EXPECT_EQ(g.dayAt(g.rulerWidth - 1), -1);
    EXPECT_EQ(g.dayAt(g.width - 1), 6);
}

TEST_F(CalendarTest, OverlappingItemsShareTheirDayAndCellsCountWhatDoesNotFit) {
    auto at = [](int h, int m) {
        ViewItem i;
        i.start = makeTime(2026, 3, 11, h, m);
        return i;
    };
    // 08:00, 08:15 and 08:40 overlap in a chain; 09:30 stands alone. Back
    // to back: 11:30 takes the column 11:00 leaves, and 12:00 starts anew.
    const ViewItem a = at(8, 15), b = at(8, 0), c = at(8, 40), d = at(9, 30);
    const ViewItem e = at(11, 0), f = at(11, 10), g = at(11, 30), h = at(12, 0);
    const std::vector<DayPlacement> placed = layoutDay({&a, &b, &c, &d, &e, &f, &g, &h}, 1800);
    struct Want {
        int item, column, columns;
    } want[] = {{1, 0, 2}, {0, 1, 2}, {2, 0, 2}, {3, 0, 1}, {4, 0, 2}, {5, 1, 2}, {6, 0, 2}, {7, 0, 1}};
    ASSERT_EQ(placed.size(), std::size(want));
    for (std::size_t i = 0; i < std::size(want); ++i) {
        EXPECT_EQ(placed[i].item, want[i].item) << i;
        EXPECT_EQ(placed[i].column, want[i].column) << i;
        EXPECT_EQ(placed[i].columns, want[i].columns) << i;
    }

    MonthGeometry m;
    m.width = 700;
    m.height = m.cellsTop() + 5 * 90;  // cells of 90 pixels: 18 for the day, 4 lines of 16
    for (auto [count, shown, hidden] : {std::tuple{0, 0, 0}, {4, 4, 0}, {5, 3, 2}, {9, 3, 6}}) {
        const CellRows rows = layoutCell(m, 8, count);
        EXPECT_EQ(rows.shown, shown) << count;
        EXPECT_EQ(rows.hidden, hidden) << count;
    }
    EXPECT_EQ(m.cellAt(m.cell(12).x, m.cell(12).y), 12);
}

TEST_F(CalendarTest, KeysMoveTheCursorAndAsk) {
    using K = CalendarKey;
    auto times = [](K k, int n) { return std::vector<K>(static_cast<std::size_t>(n), k); };
    // The cursor starts on the day at 12:30, the slot of now.
    struct Case {
        ViewKind kind;
        SYSTEMTIME day;
        std::vector<K> keys;
        Text cursor;
        std::size_t adds, deletes, tabs;
    } cases[] = {
        {ViewKind::Week, makeTime(2026, 3, 12), {K::Up}, "12.03.2026 12:00", 0, 0, 0},
        {ViewKind::Week, makeTime(2026, 3, 12), times(K::Up, 30), "12.03.2026 00:00", 0, 0, 0},
        {ViewKind::Week, makeTime(2026, 3, 12), times(K::Down, 30), "12.03.2026 23:30", 0, 0, 0},
        {ViewKind::Week, makeTime(2026, 3, 15), {K::Right}, "16.03.2026 12:30", 0, 0, 0},
        {ViewKind::Week, makeTime(2026, 3, 12), {K::PageUp}, "05.03.2026 12:30", 0, 0, 0},
        {ViewKind::Day, makeTime(2026, 3, 12), {K::PageDown}, "13.03.2026 12:30", 0, 0, 0},
        {ViewKind::Day, makeTime(2026, 3, 1), {K::Down, K::Home}, "11.03.2026 12:30", 0, 0, 0},
        {ViewKind::Week, makeTime(2026, 3, 12), {K::Enter}, "12.03.2026 12:30", 1, 0, 0},
        {ViewKind::Week, makeTime(2026, 3, 9), {K::Enter}, "09.03.2026 12:30", 0, 0, 0},
        {ViewKind::Week, makeTime(2026, 3, 13), {K::Down, K::Down, K::Down, K::Delete}, "13.03.2026 14:00", 0, 1, 0},
        {ViewKind::Week, makeTime(2026, 3, 13), {K::Down, K::Down, K::Delete}, "13.03.2026 13:30", 0, 0, 0},
        {ViewKind::Week, makeTime(2026, 3, 10), {K::Down, K::Down, K::Down, K::Delete}, "10.03.2026 14:00", 0, 0, 0},
        {ViewKind::Month, makeTime(2026, 3, 12), {K::Down}, "19.03.2026", 0, 0, 0},
        {ViewKind::Month, makeTime(2026, 1, 31), {K::PageDown}, "28.02.2026", 0, 0, 0},
        {ViewKind::Month, makeTime(2026, 3, 12), {K::Left, K::Delete}, "11.03.2026", 0, 0, 0},
        {ViewKind::Month, makeTime(2026, 3, 12), {K::Up, K::Enter}, "05.03.2026", 0, 0, 1},
    };
    for (const Case& c : cases) {
        requests_ = Requests{};
        requests_.alarms = {alarmAt(makeTime(2026, 3, 10, 14, 0))};
        CalendarViewLogic& v = view(c.kind, c.day);
        for (K k : c.keys) v.key(k);
        const Text got = c.kind == ViewKind::Month ? formatDate(v.cursor()) : formatDateTime(v.cursor());
        EXPECT_EQ(got, c.cursor) << formatDate(c.day) << ", first key " << static_cast<int>(c.keys[0]);
        EXPECT_EQ(requests_.adds.size(), c.adds) << got;
        EXPECT_EQ(requests_.deletes.size(), c.deletes) << got;
        EXPECT_EQ(requests_.tabs.size(), c.tabs) << got;
        EXPECT_EQ(formatDate(v.date()), formatDate(v.cursor())) << "the date follows the cursor";
    }
}

TEST_F(CalendarTest, TheCursorIsSpokenWithTheItemsInItsSlotOrDay) {
    using K = CalendarKey;
    struct Case {
        ViewKind kind;
        std::vector<K> keys;
        Text speech;
    } cases[] = {
        {ViewKind::Week, {}, "torstai 12.3.2026 12:30–13:00: ei annoksia"},
        {ViewKind::Week, {K::Down, K::Down, K::Down}, "torstai 12.3.2026 14:00–14:30: 14:00 Hälytys, tulossa; "
                                                      "14:20 Hälytys, tulossa"},
        {ViewKind::Month, {K::Left}, "keskiviikko 11.3.2026: 14:00 Hälytys, tulossa"},
        {ViewKind::Month, {K::Right, K::Right, K::Right}, "sunnuntai 15.3.2026: 14:00 Hälytys, tulossa"},
    };
    for (const Case& c : cases) {
        requests_ = Requests{};
        requests_.alarms = {alarmAt(makeTime(2026, 3, 10, 14, 0)), alarmAt(makeTime(2026, 3, 12, 14, 20), 0)};
        CalendarViewLogic& v = view(c.kind, makeTime(2026, 3, 12));
        for (K k : c.keys) v.key(k);
        EXPECT_EQ(v.cursorSpeech(), c.speech);
    }
    // The week of a year's first days may be the last year's.
    for (const auto& [day, label] : {std::pair{makeTime(2021, 1, 3), "vk 53"}, {makeTime(2021, 1, 4), "vk 1"}})
        EXPECT_EQ(view(ViewKind::Week, day).weekLabel(), label);
}

}  // namespace
}  // namespace velmora
