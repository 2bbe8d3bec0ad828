#include "ui/logic/main_dlg_logic.h"

#include <algorithm>

#include "core/cp1252.h"
#include "core/datetime.h"
#include "core/text.h"
#include "ui/logic/reminder/alarm_rules.h"
#include "resources/language_choice.h"
#include "resources/resource_module.h"
#include "resources/string_ids.h"
#include "store/startup.h"
#include "ui/logic/history/log_dlg_logic.h"

namespace velmora {

namespace {

bool sameAlarms(const std::vector<Alarm>& a, const std::vector<Alarm>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Alarm& x, const Alarm& y) {
        return x.id == y.id && x.alarm_start == y.alarm_start && x.alarm_end == y.alarm_end &&
               x.repeat_forever == y.repeat_forever && x.repeat_pattern == y.repeat_pattern &&
               x.alarm_type == y.alarm_type && x.title == y.title && x.description == y.description;
    });
}

}  // namespace

// ---------------------------------------------------------------------------
// Window choices

const std::vector<MainDlgLogic::WindowChoice>& MainDlgLogic::windowChoices() {
    static const std::vector<WindowChoice> choices = {
        {ids::kWindow10Min, kDefaultWindowSeconds},  {ids::kWindow20Min, 1200}, {ids::kWindow40Min, 2400},
        {ids::kWindow60Min, 3600}, {ids::kWindow2h, 7200},    {ids::kWindow3h, 10800},
        {ids::kWindow4h, 14400},   {ids::kWindow5h, 18000},   {ids::kWindow6h, 21600},
        {ids::kWindow12h, 43200},
    };
    return choices;
}

int MainDlgLogic::windowIndexOf(int seconds) {
    const auto& c = windowChoices();
    for (std::size_t i = 0; i < c.size(); ++i) {
        if (c[i].seconds == seconds) return static_cast<int>(i);
    }
    return 0;
}

int MainDlgLogic::windowSecondsAt(int index) {
    const auto& c = windowChoices();
    if (index < 0 || index >= static_cast<int>(c.size())) return kDefaultWindowSeconds;
    return c[static_cast<std::size_t>(index)].seconds;
}

// ---------------------------------------------------------------------------

MainDlgLogic::MainDlgLogic(RecordStore& store, const std::filesystem::path& dataDirectory,
                           const StringSource& strings, UiHost& host, const Clock& clock)
    : store_(store), strings_(strings), host_(host), clock_(clock), dataDirectory_(dataDirectory) {
    opening_ = openDatabaseAtStartup(store_, dataDirectory, user_, clock_.localNow());
    databaseOpened_ = opening_.opened;
    currentDate_ = clock_.localNow();
}

MainDlgLogic::~MainDlgLogic() = default;


void MainDlgLogic::setCommand(int id, Command* command) {
    if (command)
        commandsById_[id] = command;
    else
        commandsById_.erase(id);
}

bool MainDlgLogic::commandEnabled(int id) const {
    const auto it = commandsById_.find(id);
    if (it != commandsById_.end()) return it->second->enabled();
    // The window's own (command() handles them before any command).
    static constexpr int kOwn[] = {cmd::kOk,        cmd::kCancel,         cmd::kExit,           kIdPrevious,
                                   kIdNext,         kIdToday,             cmd::kCloseUser,      cmd::kShowHistory,
                                   cmd::kClearCalendar, cmd::kLanguageFinnish, cmd::kLanguageEnglish,
                                   cmd::kViewPlanner, cmd::kViewMonth};
    return std::find(std::begin(kOwn), std::end(kOwn), id) != std::end(kOwn);
}

void MainDlgLogic::initialise() {
    statusText_ = strings_.load(ids::kIdleStatusText);
    commands_ = CommandStates{};
    panel_ = UserPanel{};
    navigationStep_ = 7;
    monthStale_ = true;
    setBusy(true);
    if (!opening_.refused()) store_.reloadUsers(user_);
    refresh();
    setBusy(false);
    setDate(clock_.localNow());
    reminderRemoved();
}

void MainDlgLogic::startup() {
    // The refusal's message box runs a loop that may start the window: the
    // program is ending, there is nothing to start.
    if (opening_.refused()) return;
    if (!databaseOpened_) {
        // The program goes on with an empty user list; say why, so nobody
        // takes the empty list for lost users and enters them again.
        host_.showMessage(strings_.load(ids::kDatabaseOpenFailed) + "\n\n" + store_.databasePath().string(),
                          strings_.load(ids::kCaptionError), MessageIcon::Error);
    }
    const Text database = store_.databasePath().string();
    if (opening_.stillShared)
        host_.showMessage(fillPlaceholder(strings_.load(ids::kDatabaseNotPrivate), database),
                          strings_.load(ids::kCaptionWarning), MessageIcon::Warning);
    for (const ImportProblem& p : opening_.importProblems) {
        // The people of the file are not in the list: say so and why.
        const int id = p.result == ImportResult::NotRemovable ? ids::kLegacyFileNotRemovable
                                                              : ids::kLegacyFileNotStored;
        const Text file = (dataDirectory_ / kLegacyProfilesDir / p.file).string();
        host_.showMessage(fillPlaceholder(fillPlaceholder(strings_.load(id), file), p.reason),
                          strings_.load(ids::kCaptionError), MessageIcon::Error);
    }
    opening_.importProblems.clear();
    if (!passedOver_.empty()) {
        // Otherwise every person seems lost: their database is elsewhere.
        const Text text = fillPlaceholder(strings_.load(ids::kDatabasePassedOver), passedOver_.string());
        host_.showMessage(fillPlaceholder(text, store_.databasePath().string()),
                          strings_.load(ids::kCaptionWarning), MessageIcon::Warning);
    }
    noticeCutTexts();
    int code = 0;
    if (signIn_ && !signIn_(code)) {
        exitCode_ = code;
        if (view_) view_->closeRequested(code);
        return;
    }
    if (deviceWatch_) deviceWatch_();
}

bool MainDlgLogic::refuseDatabase() {
    if (!opening_.refused()) return false;
    const Text database = store_.databasePath().string();
    Text text;
    if (opening_.tooNew) {
        text = fillPlaceholder(strings_.load(ids::kDatabaseNewerVersion), database);
        text = fillPlaceholder(text, opening_.newerSettings.sw_version);
        text = fillPlaceholder(text, std::to_string(opening_.newerSettings.db_version));
    } else {
        text = fillPlaceholder(fillPlaceholder(strings_.load(ids::kDatabaseTableMismatch), database),
                               opening_.wrongTable);
    }
    host_.showMessage(text, strings_.load(ids::kCaptionError), MessageIcon::Error);
    exitCode_ = 1;
    return true;
}

// ---- Texts ----

Text MainDlgLogic::title() const { return strings_.load(currentEdition().titleId); }
int MainDlgLogic::menuId() const { return currentEdition().menuId; }

Text MainDlgLogic::controlText(int controlId) const {
    switch (controlId) {
        case kIdToday: return strings_.load(ids::kToday);
        case kIdUserFrame: return strings_.load(ids::kUserInfoFrame);
        case kIdChooseUser: return strings_.load(ids::kChooseUserEllipsis);
        case kIdNameCaption: return strings_.load(ids::kNameLabel);
        case kIdSsnCaption: return strings_.load(ids::kSsnLabel);
        case kIdTypeCaption: return strings_.load(ids::kProgrammingTypeLabel);
        case kIdTypeIntake: return strings_.load(ids::kTypeAlarmAtIntake);
        case kIdTypeForgotten: return strings_.load(ids::kTypeAlarmIfForgotten);
        case kIdWindowCaption: return strings_.load(ids::kWindowLabel);
        case kIdLastAlarmCaption: return strings_.load(ids::kLastProgrammedAlarm);
        case kIdProgram: return strings_.load(ids::kProgramReminder);
        default: return {};
    }
}

Text MainDlgLogic::tabText(int tabIndex) const {
    static constexpr int kTabIds[] = {ids::kTabDay, ids::kTabWeek, ids::kTabMonth, ids::kTabComments};
    if (tabIndex < 0 || tabIndex > 3) return {};
    return strings_.load(kTabIds[tabIndex]);
}

Text MainDlgLogic::windowChoiceText(int index) const {
    const auto& c = windowChoices();
    if (index < 0 || index >= static_cast<int>(c.size())) return {};
    return strings_.load(c[static_cast<std::size_t>(index)].stringId);
}

Text MainDlgLogic::tooltipText(int controlId) const {
    if (controlId == kIdTypeIntake) return strings_.load(ids::kTooltipAlarmAtIntake);
    if (controlId == kIdTypeForgotten) return strings_.load(ids::kTooltipAlarmIfForgotten);
    if (controlId != kIdPrevious && controlId != kIdNext) return {};
    // "<" and ">" move by the navigation step; the month view pages by
    // month with its own keys.
    const bool back = controlId == kIdPrevious;
    Text tip = strings_.load(navigationStep_ == 1 ? (back ? ids::kPreviousDayTip : ids::kNextDayTip)
                                                   : (back ? ids::kPreviousWeekTip : ids::kNextWeekTip));
    if (visibleTab_ == kTabMonth) tip += "\n" + strings_.load(ids::kMonthPageKeysTip);
    return tip;
}

Text MainDlgLogic::dateText() const { return formatDateShort(currentDate_); }

// ---- Application messages ----

void MainDlgLogic::setDate(const SYSTEMTIME& date) {
    currentDate_ = date;
    currentDate_.wDayOfWeek = static_cast<std::uint16_t>(dayOfWeek(date.wYear, date.wMonth, date.wDay));
    if (view_) view_->dateChanged(currentDate_);
}

void MainDlgLogic::refresh() {
    refreshPanel();
    const bool month = monthStale_;
    monthStale_ = false;
    if (month) ++monthReloads_;
    if (view_) view_->refreshViews(month);
}

void MainDlgLogic::occurrences(const SYSTEMTIME& from, const SYSTEMTIME& to,
                               std::vector<AlarmOccurrence>& out) const {
    expandOccurrences(user_.alarms, from, to, out, user_.daylight);
}

void MainDlgLogic::selectTab(int index) {
    if (view_) view_->selectTab(index);
    refresh();
}

void MainDlgLogic::tabChanged(int visibleTab) {
    visibleTab_ = visibleTab;
    navigationStep_ = (visibleTab == kTabWeek || visibleTab == kTabMonth) ? 7 : 1;
}

void MainDlgLogic::addAlarm(const SYSTEMTIME& start) {
    if (alarmRequests_) afterAlarmFlow([&] { alarmRequests_->add(start); });
}
void MainDlgLogic::editAlarm(const SYSTEMTIME& occurrence, const Alarm& alarm) {
    if (alarmRequests_) afterAlarmFlow([&] { alarmRequests_->edit(occurrence, alarm); });
}
void MainDlgLogic::deleteAlarm(const SYSTEMTIME& occurrence, const Alarm& alarm) {
    if (alarmRequests_) afterAlarmFlow([&] { alarmRequests_->remove(occurrence, alarm); });
}

// Whatever month a changed alarm reaches, the month view must not keep
// showing the alarms as they were: when the flow changed the alarms and
// did not reload the month view itself, it is reloaded now.
void MainDlgLogic::afterAlarmFlow(const std::function<void()>& flow) {
    const std::vector<Alarm> before = user_.alarms;
    const int reloads = monthReloads_;
    flow();
    if (monthReloads_ != reloads || sameAlarms(before, user_.alarms)) return;
    monthStale_ = true;
    refresh();
}

// ---- Panel ----

void MainDlgLogic::refreshPanel() {
    const bool selected = userSelected();
    commands_.alarmReport = commandEnabled(cmd::kPrintAlarmReport);
    commands_.alarmReportStored = commandEnabled(cmd::kPrintAlarmReportOnPaper);
    commands_.userEdits = selected;
    if (selected) {
        if (programTypeOf(user_.program_type) == ProgramType::Forgotten) {
            panel_.windowListEnabled = true;
            panel_.forgottenChecked = true;
            panel_.intakeChecked = false;
            panel_.windowIndex = windowIndexOf(user_.window);
        } else {
            resetTypeToIntake();
        }
    }
    panel_.name = user_.name.empty() ? Text("-") : user_.name;
    if (user_.ssn.empty()) {
        panel_.ssn = "-";
        panel_.lastAlarm = "-";
        panel_.status.clear();
        panel_.statusColour = UserPanel::StatusColour::None;
        commands_.showHistory = false;
        commands_.closeUser = false;
    } else {
        commands_.showHistory = true;
        commands_.closeUser = true;
        const TimeValue last = store_.lastAlarmOf(user_);
        panel_.lastAlarm = last > 0 ? formatDateTime(fromTimeValue(last)) : Text("-");
        panel_.ssn = user_.ssn;
        const Horizon h = scheduleHorizon(user_.alarms, clock_.localNow());
        if (h.kind == Horizon::kNothingAhead) {
            panel_.status = strings_.load(ids::kNoAlarms);
            panel_.statusColour = UserPanel::StatusColour::Red;
        } else if (user_.is_programming_needed) {
            panel_.status = strings_.load(ids::kNeedsProgramming);
            panel_.statusColour = UserPanel::StatusColour::Red;
        } else {
            panel_.status = strings_.load(ids::kNoProgrammingNeeded);
            panel_.statusColour = UserPanel::StatusColour::Green;
        }
    }
    panel_.comment = user_.comment;
    notifyPanel();
}

void MainDlgLogic::resetTypeToIntake() {
    panel_.intakeChecked = true;
    panel_.forgottenChecked = false;
    panel_.windowIndex = 0;
    panel_.windowListEnabled = false;
}

void MainDlgLogic::notifyPanel() {
    if (view_) view_->panelChanged();
}

bool MainDlgLogic::setCommentText(const Text& text) {
    // The database keeps Windows-1252 text: a letter outside it is refused
    // as it is typed rather than stored as "?".
    const Text unstorable = charactersOutsideCp1252(text);
    if (!unstorable.empty()) {
        host_.showMessage(fillPlaceholder(strings_.load(ids::kUnstorableCharacters), unstorable),
                          strings_.load(ids::kCaptionError), MessageIcon::Error);
        return false;
    }
    panel_.comment = text;
    if (userSelected()) user_.comment = text;
    return true;
}

void MainDlgLogic::savePanelState() {
    if (!userSelected()) return;
    user_.comment = panel_.comment;
    user_.program_type = static_cast<int>(panelProgramType());
    user_.window = panelWindowSeconds();
    storeUserProfile();
}

void MainDlgLogic::storeUserProfile() {
    for (Profile& p : user_.users) {
        if (p.id == user_.id) {
            p.comment = user_.comment;
            p.program_type = user_.program_type;
            p.window = user_.window;
            p.is_programming_needed = user_.is_programming_needed;
        }
    }
    if (!store_.updateProfile(user_)) {
        host_.showMessage(strings_.load(ids::kUserSaveFailed), strings_.load(ids::kCaptionError),
                          MessageIcon::Error);
    }
}

void MainDlgLogic::programmingStateChanged(int window) {
    if (!userSelected()) return;
    user_.is_programming_needed = needsProgramming(store_, user_, window, clock_.nowValue());
    storeUserProfile();
}

void MainDlgLogic::alarmsChanged(int window) {
    programmingStateChanged(window);
    usersChanged();
}

void MainDlgLogic::usersChanged() {
    monthStale_ = true;
    refresh();
    if (recordsWatcher_) recordsWatcher_();
}

void MainDlgLogic::setProgrammingInProgress(bool v) {
    const bool ended = programmingInProgress_ && !v;
    programmingInProgress_ = v;
    if (ended && recordsWatcher_) recordsWatcher_();
}

void MainDlgLogic::userDialogClosed() {
    usersChanged();
    setBusy(false);
    if (programTypeOf(user_.program_type) == ProgramType::Intake) {
        resetTypeToIntake();
        notifyPanel();
    }
}

// ---- Commands ----

bool MainDlgLogic::command(int id) {
    switch (id) {
        case cmd::kOk:
        case cmd::kCancel:
        case cmd::kExit: closeWindow(id); return true;
        case kIdPrevious: navigate(-1); return true;
        case kIdNext: navigate(+1); return true;
        case kIdToday: goToday(); return true;
        case cmd::kViewPlanner: showCalendar(false); return true;
        case cmd::kViewMonth: showCalendar(true); return true;
        case cmd::kCloseUser: closeUser(); return true;
        case cmd::kShowHistory: showHistory(); return true;
        case cmd::kClearCalendar: clearCalendar(); return true;
        case cmd::kLanguageFinnish: chooseLanguage("fi"); return true;
        case cmd::kLanguageEnglish: chooseLanguage("en"); return true;
        default: break;
    }
    const auto it = commandsById_.find(id);
    if (it == commandsById_.end()) return false;
    if (it->second->enabled()) it->second->start();
    return true;
}

void MainDlgLogic::navigate(int direction) {
    setDate(addDays(currentDate_, direction < 0 ? -navigationStep_ : navigationStep_));
}

void MainDlgLogic::goToday() { setDate(clock_.localNow()); }

void MainDlgLogic::showCalendar(bool month) {
    const int tab = month ? kTabMonth : visibleTab_ == kTabDay ? kTabDay : kTabWeek;
    if (tab != visibleTab_) selectTab(tab);
    if (view_) view_->focusCalendar(tab);
}

void MainDlgLogic::noticeCutTexts() {
    if (cutTextsTold_ || store_.textsCut() == 0) return;
    cutTextsTold_ = true;
    host_.showMessage(fillPlaceholder(strings_.load(ids::kLongTextsCut), std::to_string(kMaxRecordTextChars)),
                      strings_.load(ids::kCaptionWarning), MessageIcon::Warning);
}

void MainDlgLogic::closeUser() {
    savePanelState();
    closeCurrentUser(user_);
    noUserProfile_ = false;
    commands_.program = false;
    monthStale_ = true;
    refresh();
}

void MainDlgLogic::chooseLanguage(const char* code) {
    Text reason;
    if (saveChosenLanguage(configFile_, code, reason)) {
        Text text = strings_.load(ids::kLanguageAtNextStart);
        if (!languageOverride_.empty())
            text += "\n" + fillPlaceholder(strings_.load(ids::kLanguageOverridden), languageOverride_.string());
        host_.showMessage(text, strings_.load(ids::kCaptionConfirmation), MessageIcon::Information);
    } else {
        host_.showMessage(fillPlaceholder(strings_.load(ids::kLanguageSaveFailed), configFile_.string()) +
                              "\n" + reason,
                          strings_.load(ids::kCaptionError), MessageIcon::Error);
    }
}

void MainDlgLogic::databaseReplaced() {
    closeCurrentUser(user_);
    noUserProfile_ = false;
    commands_.program = false;
    const std::uint32_t connected = user_.connected_sn;
    databaseOpened_ = openDatabaseAtStartup(store_, store_.databasePath().parent_path(), user_,
                                            clock_.localNow()).opened;
    user_.connected_sn = connected;
    store_.reloadUsers(user_);
    monthStale_ = true;
    refresh();
    if (recordsWatcher_) recordsWatcher_();
}

void MainDlgLogic::clearCalendar() {
    if (!userSelected()) return;
    if (!host_.askDestructive(strings_.load(ids::kConfirmClearCalendar),
                               strings_.load(ids::kCaptionQuestion)))
        return;
    if (!store_.deleteAlarmsOfOwner(user_.id)) {
        host_.showMessage(strings_.load(ids::kDeleteFailed), strings_.load(ids::kCaptionError),
                          MessageIcon::Error);
        return;
    }
    user_.alarms.clear();
    alarmsChanged(user_.window);
}

void MainDlgLogic::showHistory() {
    if (user_.ssn.empty()) return;
    LogDlgLogic dlg(user_, strings_, clock_.nowValue(), &host_);
    host_.runDialog(dlg);
}

void MainDlgLogic::programTypeClicked(int radioId, bool nowChecked) {
    if (!nowChecked) return;
    if (radioId == kIdTypeIntake) {
        resetTypeToIntake();
        user_.program_type = static_cast<int>(ProgramType::Intake);
        user_.window = kDefaultWindowSeconds;
    } else if (radioId == kIdTypeForgotten) {
        panel_.intakeChecked = false;
        panel_.forgottenChecked = true;
        panel_.windowListEnabled = true;
        user_.program_type = static_cast<int>(ProgramType::Forgotten);
    } else {
        return;
    }
    programmingStateChanged(kDefaultWindowSeconds);
    refreshPanel();
}

void MainDlgLogic::windowSelected(int index) {
    const int seconds = windowSecondsAt(index);
    std::vector<Alarm> alarms;
    if (userSelected()) {
        if (!store_.loadAlarms(user_.id, alarms)) alarms = user_.alarms;
    }
    if (windowFits(alarms, seconds, clock_.localNow(), user_.daylight)) {
        user_.window = seconds;
        panel_.windowIndex = windowIndexOf(seconds);
        programmingStateChanged(seconds);
        refreshPanel();
        return;
    }
    if (host_.askDestructive(strings_.load(ids::kWindowDoesNotFit), strings_.load(ids::kCaptionQuestion))) {
        if (!store_.deleteAlarmsOfOwner(user_.id)) {
            host_.showMessage(strings_.load(ids::kDeleteFailed), strings_.load(ids::kCaptionError),
                              MessageIcon::Error);
        } else {
            user_.alarms.clear();
            programmingStateChanged(user_.window);
        }
        monthStale_ = true;
        panel_.windowIndex = windowIndexOf(user_.window);
        refresh();
    } else {
        panel_.windowIndex = windowIndexOf(user_.window);
        notifyPanel();
    }
}

void MainDlgLogic::closeWindow(int exitCode) {
    closeUser();  // saves the panel state first
    exitCode_ = exitCode;
    if (view_) view_->closeRequested(exitCode);
}

// ---- Reminder state ----

void MainDlgLogic::setBusy(bool busy) {
    busy_ = busy;
    if (view_) view_->busyChanged(busy);
}

void MainDlgLogic::setStatusText(const Text& text) {
    statusText_ = text;
    notifyPanel();
}

void MainDlgLogic::setReminderConnected(bool connected, std::uint32_t serial) {
    reminderConnected_ = connected;
    user_.connected_sn = connected ? serial : 0;
    commands_.program = connected;
    commands_.emptyReminder = connected;
    statusText_ = strings_.load(connected ? ids::kReminderConnected : ids::kReminderNotConnected);
    notifyPanel();
}

void MainDlgLogic::reminderRemoved() {
    setReminderConnected(false);
    if (endDeviceDialog_) {
        auto end = std::move(endDeviceDialog_);
        endDeviceDialog_ = nullptr;
        end();
    }
    if (view_) view_->endDeviceDialog();
    if (!programmingInProgress_) closeUser();
}

}  // namespace velmora
