// A calendar view's refresh for a user with 50 alarms and 2,000 log
// entries: the items built and the view painted into an offscreen image,
// for the month and the week view, against expanding the same
// occurrences alone.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <memory>

#include "core/clock.h"
#include "core/datetime.h"
#include "resources/resource_module.h"
#include "ui/logic/calendar/calendar_view.h"
#include "offscreen_app.h"
#include "ui/qt/calendar/month_view.h"
#include "ui/qt/calendar/planner_view.h"

namespace velmora {
namespace {

constexpr SYSTEMTIME kNow = makeTime(2026, 3, 18, 12, 0);

// The main window as the views see it: 50 alarms of every pattern, and
// the 2,000 latest of their instants before now in the log.
class User : public CalendarRequests {
public:
    User() {
        for (int i = 0; i < 50; ++i) {
            Alarm a;
            a.id = i + 1;
            const int minutes = 6 * 60 + (i * 47) % (16 * 60);
            a.alarm_start = makeTime(2025, 6, 1 + i % 20, minutes / 60, minutes % 60);
            a.repeat_pattern = static_cast<std::uint8_t>(i % 8);
            a.repeat_forever = a.repeat_pattern != 0;
            a.alarm_end = a.repeat_pattern == 0 ? addDays(kNow, i % 30 - 10) : a.alarm_start;
            if (a.repeat_pattern == 0) a.alarm_start = a.alarm_end;
            a.alarm_type = a.repeat_pattern == 7 ? 1 : 0;
            a.title = a.alarm_type ? "Pussihälytys" : "Hälytys";
            a.description = "Lääke " + std::to_string(i);
            alarms.push_back(a);
        }
        std::vector<AlarmOccurrence> past;
        expandOccurrences(alarms, makeTime(2025, 6, 1), kNow, past, daylight);
        const std::size_t from = past.size() > 2000 ? past.size() - 2000 : 0;
        static constexpr int kStatuses[] = {4, 4, 5, 4, 2, 4, 1, 4, 5, 3};
        for (std::size_t i = from; i < past.size(); ++i) {
            LogEntry e;
            e.alarm_time = toTimeValue(past[i].time);
            e.log_status = kStatuses[i % 10];
            e.ack = e.log_status >= 4 ? e.alarm_time + 300 : 0;
            log[e.alarm_time] = e;
        }
    }
    void occurrences(const SYSTEMTIME& from, const SYSTEMTIME& to,
                     std::vector<AlarmOccurrence>& out) const override {
        expandOccurrences(alarms, from, to, out, daylight);
    }
    const std::map<TimeValue, LogEntry>& acknowledgementLog() const override { return log; }
    void setDate(const SYSTEMTIME&) override {}
    void selectTab(int) override {}
    void addAlarm(const SYSTEMTIME&) override {}
    void editAlarm(const SYSTEMTIME&, const Alarm&) override {}
    void deleteAlarm(const SYSTEMTIME&, const Alarm&) override {}

    std::vector<Alarm> alarms;
    std::map<TimeValue, LogEntry> log;
    DaylightTable daylight = buildDaylightTable(kNow);
};

User& user() {
    static User u;
    return u;
}

void expand(benchmark::State& state, const DateRange& range) {
    std::size_t n = 0;
    for (auto _ : state) {
        std::vector<AlarmOccurrence> out;
        user().occurrences(range.first, range.last, out);
        n = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["occurrences"] = static_cast<double>(n);
}

template <class View>
void refreshAndPaint(benchmark::State& state, View& view, const QSize& size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        view.refresh();
        QPainter p(&image);
        view.paintAll(p, size);
    }
    state.counters["items"] = static_cast<double>(view.logic().items().size());
}

const QDate kDate(2026, 3, 18);
FixedClock& clock() {
    static FixedClock c(kNow);
    return c;
}

void BM_MonthExpandOnly(benchmark::State& state) {
    MonthView view(user(), ResourceModule::builtIn(), clock());
    view.setDate(kDate);
    expand(state, view.logic().range());
}

void BM_MonthRefreshAndPaint(benchmark::State& state) {
    MonthView view(user(), ResourceModule::builtIn(), clock());
    view.setDate(kDate);
    refreshAndPaint(state, view, QSize(880, 560));
}

void BM_WeekExpandOnly(benchmark::State& state) {
    PlannerView view(ViewKind::Week, user(), ResourceModule::builtIn(), clock());
    view.setDate(kDate);
    expand(state, view.logic().range());
}

void BM_WeekRefreshAndPaint(benchmark::State& state) {
    PlannerView view(ViewKind::Week, user(), ResourceModule::builtIn(), clock());
    view.setDate(kDate);
    refreshAndPaint(state, view, QSize(880, 560));
}

// The month's items alone, without painting.
void BM_MonthItemsOnly(benchmark::State& state) {
    MonthView view(user(), ResourceModule::builtIn(), clock());
    view.setDate(kDate);
    for (auto _ : state) view.logic().refresh();
}

BENCHMARK(BM_MonthExpandOnly)->Unit(benchmark::kMillisecond)->MinTime(0.3);
BENCHMARK(BM_MonthItemsOnly)->Unit(benchmark::kMillisecond)->MinTime(0.3);
BENCHMARK(BM_MonthRefreshAndPaint)->Unit(benchmark::kMillisecond)->MinTime(0.3);
BENCHMARK(BM_WeekExpandOnly)->Unit(benchmark::kMillisecond)->MinTime(0.3);
BENCHMARK(BM_WeekRefreshAndPaint)->Unit(benchmark::kMillisecond)->MinTime(0.3);

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) { return velmora::bench::runOffscreenBenchmarks(argc, argv); }
