#include "ui/logic/calendar/alarm_dlg_logic.h"

#include "core/cp1252.h"
#include "core/datetime.h"
#include "core/schedule.h"
#include "core/text.h"
#include "resources/string_ids.h"

namespace velmora {

namespace {

constexpr int kEpochYear = 1970;

int dateKey(const SYSTEMTIME& d) { return (d.wYear * 16 + d.wMonth) * 32 + d.wDay; }
int timeKey(const SYSTEMTIME& t) { return t.wHour * 60 + t.wMinute; }

// The date of `date` (raised to 1970 when earlier) at the hour and minute
// of `time`, seconds 0.
SYSTEMTIME combine(const SYSTEMTIME& date, const SYSTEMTIME& time) {
    return makeTime(date.wYear < kEpochYear ? kEpochYear : date.wYear, date.wMonth, date.wDay,
                    time.wHour, time.wMinute);
}

}  // namespace

AlarmDlgLogic::AlarmDlgLogic(const Setup& setup, std::vector<Alarm> others,
                             const StringSource& strings, Interaction& person, const Clock& clock,
                             const DaylightTable& daylight)
    : others_(std::move(others)),
      strings_(strings),
      person_(person),
      clock_(clock),
      daylight_(daylight),
      editing_(setup.editing),
      window_(setup.window),
      pattern_(setup.repeatPattern),
      forever_(setup.repeatForever && setup.repeatPattern != 0) {
    const SYSTEMTIME& end = (forever_ || pattern_ == 0) ? setup.start : setup.end;
    startDate_ = startTime_ = setup.start;
    endDate_ = endTime_ = end;
    description = setup.description;
}

Text AlarmDlgLogic::title() const {
    return strings_.load(editing_ ? ids::kEditAlarmTitle : ids::kAddAlarmTitle);
}

Text AlarmDlgLogic::controlText(int controlId) const {
    switch (controlId) {
        case kIdStartFrame: return strings_.load(ids::kStartTime);
        case kIdRepeatCaption: return strings_.load(ids::kRepeat);
        case kIdEndFrame: return strings_.load(ids::kEndTime);
        case kIdForever: return strings_.load(ids::kUntilFurtherNotice);
        case kIdDescriptionFrame: return strings_.load(ids::kDescription);
        case kIdOk: return strings_.load(ids::kOk);
        case kIdCancel: return strings_.load(ids::kCancel);
        default: return {};
    }
}

Text AlarmDlgLogic::repeatText(int index) const {
    if (index < 0 || index >= kRepeatEntries) return {};
    return strings_.load(ids::kRepeatSingle + index);
}

void AlarmDlgLogic::setStartDate(const std::optional<SYSTEMTIME>& date) {
    startDate_ = date;
    if (date && endDate_ && dateKey(*endDate_) < dateKey(*date)) endDate_ = date;
}

void AlarmDlgLogic::setStartTime(const std::optional<SYSTEMTIME>& time) {
    startTime_ = time;
    if (time && endTime_ && timeKey(*endTime_) < timeKey(*time)) endTime_ = time;
}

void AlarmDlgLogic::chooseRepeat(int index) {
    if (index < 0 || index >= kRepeatEntries) return;
    pattern_ = index;
    forever_ = index != 0;
}

void AlarmDlgLogic::setRepeatsForever(bool on) {
    if (pattern_ != 0) forever_ = on;
}

int AlarmDlgLogic::accept() {
    if (!startDate_ || !startTime_) return refuse(ids::kStartInvalid);
    const SYSTEMTIME start = combine(*startDate_, *startTime_);
    if (toTimeValue64(start) < toTimeValue64(clock_.localNow())) return refuse(ids::kAlarmInPast);
    const bool endRead = endDate_ && endTime_;
    if (!forever_ && !endRead) return refuse(ids::kEndInvalid);
    // A single alarm ends where it starts; one that repeats forever keeps
    // what its end pickers show, for when "Toistaiseksi" is unchecked later.
    const SYSTEMTIME end = (pattern_ == 0 || !endRead) ? start : combine(*endDate_, *endTime_);
    if (!forever_ && toTimeValue64(end) < toTimeValue64(start)) return refuse(ids::kEndEarlierThanStart);
    // Instants are kept in 32 bits: a later one would come back as 1901-1970.
    if (toTimeValue64(start) > kLastTimeValue || (!forever_ && toTimeValue64(end) > kLastTimeValue)) {
        person_.showMessage(fillPlaceholder(strings_.load(ids::kTimePastLastInstant),
                                            formatDateTime(fromTimeValue(kLastTimeValue))),
                            strings_.load(ids::kCaptionError), MessageIcon::Error);
        return 0;
    }

    Alarm candidate;
    candidate.alarm_start = start;
    candidate.alarm_end = end;
    candidate.repeat_forever = forever_;
    candidate.repeat_pattern = static_cast<std::uint8_t>(pattern_);
    candidate.description = description;
    // The database keeps Windows-1252 text; other letters would become "?".
    const Text unstorable = charactersOutsideCp1252(description);
    if (!unstorable.empty()) {
        person_.showMessage(fillPlaceholder(strings_.load(ids::kUnstorableCharacters), unstorable),
                            strings_.load(ids::kCaptionError), MessageIcon::Error);
        return 0;
    }
    // The same time with the same repetition would only ring twice; say
    // that rather than that the alarms are too close.
    for (const Alarm& other : others_) {
        if (other.repeat_pattern == candidate.repeat_pattern &&
            toTimeValue64(other.alarm_start) / 60 == toTimeValue64(start) / 60)
            return refuse(ids::kAlarmAlreadyExists);
    }
    if (!candidateFits(others_, candidate, nullptr, window_, clock_.localNow(), daylight_))
        return refuse(ids::kAlarmsTooClose);
    result_ = candidate;
    return kIdOk;
}

int AlarmDlgLogic::refuse(int stringId) {
    person_.showMessage(strings_.load(stringId), strings_.load(ids::kCaptionError), MessageIcon::Error);
    return 0;
}

}  // namespace velmora
