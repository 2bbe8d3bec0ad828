#include "demo/demo_database.h"

#include <vector>

#include "core/datetime.h"
#include "device/reminder_protocol.h"
#include "reminder-sim/programmed_history.h"
#include "store/startup.h"

namespace velmora::demo {
namespace {

std::vector<Alarm> titled(std::vector<Alarm> alarms, std::vector<Text> descriptions) {
    for (std::size_t i = 0; i < alarms.size(); ++i) {
        alarms[i].title = "Hälytys";
        if (i < descriptions.size()) alarms[i].description = descriptions[i];
    }
    return alarms;
}

// History of the alarms from `firstDay` up to (not including) `endDay`:
// mostly taken, now and then late or forgotten.
std::vector<LogEntry> history(const std::vector<int>& minutesOfDay, const SYSTEMTIME& firstDay,
                              const SYSTEMTIME& endDay) {
    std::vector<LogEntry> log;
    int i = 0;
    for (SYSTEMTIME d = firstDay; toTimeValue(d) < toTimeValue(endDay); d = addDays(d, 1)) {
        for (int m : minutesOfDay) {
            LogEntry e;
            e.alarm_time = toTimeValue(makeTime(d.wYear, d.wMonth, d.wDay, m / 60, m % 60));
            e.log_status = i % 9 == 4 ? kStatusAcknowledgedLate
                         : i % 13 == 8 ? kStatusForgottenAlt
                                       : kStatusAcknowledged;
            e.ack = e.log_status == kStatusAcknowledged       ? e.alarm_time + 180
                    : e.log_status == kStatusAcknowledgedLate ? e.alarm_time + 1500
                                                              : 0;
            log.push_back(e);
            ++i;
        }
    }
    return log;
}

SYSTEMTIME midnight(const SYSTEMTIME& t, int daysAhead) {
    const SYSTEMTIME d = addDays(t, daysAhead);
    return makeTime(d.wYear, d.wMonth, d.wDay);
}

}  // namespace

bool makeDemoDatabase(const std::filesystem::path& dataDirectory, const SYSTEMTIME& now,
                      DemoDatabase& out) {
    if (std::filesystem::exists(dataDirectory / kDatabaseFileName)) return false;
    RecordStore store(dataDirectory / kDatabaseFileName);
    CurrentUser scratch;
    if (!openDatabaseAtStartup(store, dataDirectory, scratch, now).opened) return false;
    const DemoReminder& r = out.reminder;
    bool ok = true;

    // Aino: her reminder was programmed historyDays ago from these alarms;
    // the weeks before that came from an earlier reminder.
    const auto ainoTimes = *sim::parseDailyTimes(r.dailyTimes);
    const int aino = store.insertProfile(false, "Aino Virtanen", "120345-123A", "040 123 4567",
                                         "Aamulääkkeet ennen aamiaista.\nIltalääke ruoan kanssa.");
    std::vector<Alarm> alarms = titled(sim::dailyAlarms(ainoTimes, midnight(now, -40)),
                                       {"Aamulääkkeet", "", "Iltalääke"});
    ok = store.insertAlarms(alarms, aino) && ok;
    const SYSTEMTIME programmed = sim::programmedAt(now, r.historyDays);
    const InstantList table =
        sim::programmedTable(ainoTimes, programmed, memoryMapForModel(r.model)->table_capacity);
    DeviceRecord own;
    own.sn = r.serial;
    own.device_type = DeviceRecord::kOwn;
    own.programming_time = toTimeValue(programmed);
    own.last_alarm = table.empty() ? 0 : table.items().back();
    own.alarm_amount = static_cast<int>(table.size());
    ok = store.saveDevice(own, aino) && ok;
    ok = store.saveLogEntries(history(ainoTimes, midnight(now, -40), midnight(programmed, 1)), aino) && ok;

    // Bertta: her reminder runs out in three days, so it needs programming.
    const std::vector<int> berttaTimes = {9 * 60, 21 * 60};
    const int bertta = store.insertProfile(true, "Bertta Korhonen", "030551-456B", "050 765 4321", "");
    alarms = titled(sim::dailyAlarms(berttaTimes, midnight(now, -60)), {"Verenpainelääke", ""});
    ok = store.insertAlarms(alarms, bertta) && ok;
    DeviceRecord berttas;
    berttas.sn = 100301;
    berttas.programming_time = toTimeValue(sim::programmedAt(now, 53));
    const SYSTEMTIME runsOut = addDays(now, 3);
    berttas.last_alarm = toTimeValue(makeTime(runsOut.wYear, runsOut.wMonth, runsOut.wDay, 21, 0));
    berttas.alarm_amount = 112;
    ok = store.saveDevice(berttas, bertta) && ok;
    ok = store.saveLogEntries(history(berttaTimes, midnight(now, -53), midnight(now, 0)), bertta) && ok;

    // Cecilia: a weekly alarm and no reminder yet; Eino: nothing yet.
    const int cecilia = store.insertProfile(true, "Cecilia Mäkinen", "251260-789C", "", "");
    alarms = titled(sim::dailyAlarms({10 * 60}, midnight(now, 1)), {"Viikkolääke"});
    alarms[0].repeat_pattern = 6;  // every 7 days
    ok = store.insertAlarms(alarms, cecilia) && ok;
    ok = store.insertProfile(true, "Eino Nieminen", "-", "", "") > 0 && ok;

    out.personWithReminder = aino;
    return ok && aino > 0 && bertta > 0 && cecilia > 0;
}

std::string simulatorArguments(const DemoReminder& r) {
    return "--model " + std::to_string(r.model) + " --serial " + std::to_string(r.serial) +
           " --version 1.1.0 --history " + std::to_string(r.historyDays) + " --alarms " +
           r.dailyTimes;
}

}  // namespace velmora::demo
