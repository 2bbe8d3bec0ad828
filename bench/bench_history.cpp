// The history dialog for a person with 10,000 log entries over three
// years: the adherence figures of the whole history and of 90 days, the
// chronology chart built, and painted into an offscreen image as the
// dialog shows it (90 days) and whole (every day of the three years).
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "core/datetime.h"
#include "offscreen_app.h"
#include "ui/logic/history/adherence.h"
#include "ui/logic/history/chronology_chart.h"
#include "ui/qt/chronology_view.h"

namespace velmora {
namespace {

const TimeValue kNow = toTimeValue(makeTime(2026, 3, 18, 12, 0));

// Nine doses a day (10,000 entries reach back about 1,111 days) in a mix
// of statuses: mostly taken on time, some late, some forgotten.
const std::map<TimeValue, LogEntry>& history() {
    static const std::map<TimeValue, LogEntry> h = [] {
        std::map<TimeValue, LogEntry> made;
        static constexpr int kHours[] = {1, 6, 8, 10, 12, 14, 17, 20, 22};
        static constexpr int kStatuses[] = {4, 4, 5, 4, 2, 4, 4, 4, 5, 3, 4};
        const SYSTEMTIME today = fromTimeValue(kNow);
        for (int i = 0; made.size() < 10000; ++i) {
            const SYSTEMTIME day = addDays(makeTime(today.wYear, today.wMonth, today.wDay), -(i / 9));
            const TimeValue t = toTimeValue(makeTime(day.wYear, day.wMonth, day.wDay, kHours[i % 9], (i * 7) % 60));
            if (t > kNow) continue;
            const int status = kStatuses[i % 11];
            made[t] = LogEntry{t, status >= 4 ? t + (status == 4 ? 240 : 1500) + i % 300 : 0, status};
        }
        return made;
    }();
    return h;
}

void BM_AdherenceAll(benchmark::State& state) {
    const PeriodDays days = periodDays(AdherencePeriod::All, history(), kNow);
    for (auto _ : state) benchmark::DoNotOptimize(computeAdherence(history(), days.from, kNow));
    state.counters["days"] = days.days;
}

void BM_Adherence90Days(benchmark::State& state) {
    const PeriodDays days = periodDays(AdherencePeriod::Last90Days, history(), kNow);
    for (auto _ : state) benchmark::DoNotOptimize(computeAdherence(history(), days.from, kNow));
}

void BM_ChartBuildAll(benchmark::State& state) {
    const PeriodDays days = periodDays(AdherencePeriod::All, history(), kNow);
    std::size_t n = 0;
    for (auto _ : state) {
        ChronologyChart chart(history(), days);
        n = chart.marks().size();
        benchmark::DoNotOptimize(chart.marks().data());
    }
    state.counters["marks"] = static_cast<double>(n);
}

// The chart built and painted into an image of `rows` rows at 760 px.
void paint(benchmark::State& state, AdherencePeriod period, int rows) {
    const PeriodDays days = periodDays(period, history(), kNow);
    const CalendarPalette palette = CalendarPalette::from(QPalette(Qt::white));
    for (auto _ : state) {
        ChronologyChart chart(history(), days);
        chart.setWidth(760);
        const int last = std::min(rows, chart.rows());
        QImage image = chronologyImage(chart, palette, chart.rows() - last, chart.rows());
        benchmark::DoNotOptimize(image.bits());
    }
}

void BM_Chart90DaysBuildAndPaint(benchmark::State& state) { paint(state, AdherencePeriod::Last90Days, 90); }
// The dialog's view of the whole history: the chart of every day, the
// last 90 rows painted (what a window shows at a time).
void BM_ChartAllBuildAndPaintView(benchmark::State& state) { paint(state, AdherencePeriod::All, 90); }
void BM_ChartAllBuildAndPaintWhole(benchmark::State& state) { paint(state, AdherencePeriod::All, 100000); }

BENCHMARK(BM_AdherenceAll)->Unit(benchmark::kMillisecond)->MinTime(0.3);
BENCHMARK(BM_Adherence90Days)->Unit(benchmark::kMillisecond)->MinTime(0.3);
BENCHMARK(BM_ChartBuildAll)->Unit(benchmark::kMillisecond)->MinTime(0.3);
BENCHMARK(BM_Chart90DaysBuildAndPaint)->Unit(benchmark::kMillisecond)->MinTime(0.3);
BENCHMARK(BM_ChartAllBuildAndPaintView)->Unit(benchmark::kMillisecond)->MinTime(0.3);
BENCHMARK(BM_ChartAllBuildAndPaintWhole)->Unit(benchmark::kMillisecond)->MinTime(0.3);

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) { return velmora::bench::runOffscreenBenchmarks(argc, argv); }
