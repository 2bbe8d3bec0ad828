#pragma once
// The main window's logic: the current user and the user panel, the
// current date and navigation, the command routing of the menus and
// buttons, and the application messages between the window, its views
// and the flows. Plain C++: the Qt window shows what this holds and hands
// clicks back; tests drive it directly.
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "core/clock.h"
#include "core/interaction.h"
#include "core/records.h"
#include "core/schedule.h"
#include "store/record_store.h"
#include "store/startup.h"
#include "ui/logic/command.h"
#include "ui/logic/reminder/reminder_window.h"
#include "ui/logic/ui_host.h"
#include "ui/logic/users/program_type.h"

namespace velmora {

class MainDlgLogic;

// The calendar views' requests to add, edit and delete the current user's
// alarms, answered by the alarm editing.
class AlarmRequests {
public:
    virtual ~AlarmRequests() = default;
    virtual void add(const SYSTEMTIME& start) = 0;
    virtual void edit(const SYSTEMTIME& occurrence, const Alarm& alarm) = 0;
    virtual void remove(const SYSTEMTIME& occurrence, const Alarm& alarm) = 0;
};

// What the window needs to know to draw the user panel.
struct UserPanel {
    enum class StatusColour { None, Red, Green };
    Text name = "-";
    Text ssn = "-";
    Text lastAlarm = "-";
    Text status;  // empty, ids::kNoAlarms, kNeedsProgramming or kNoProgrammingNeeded
    StatusColour statusColour = StatusColour::None;
    bool intakeChecked = true;    // radio MainDlgLogic::kIdTypeIntake
    bool forgottenChecked = false;  // radio MainDlgLogic::kIdTypeForgotten
    int windowIndex = 0;          // entry of list MainDlgLogic::kIdWindowList
    bool windowListEnabled = false;
    Text comment;                 // the comments page
};

// Enabled state of the commands that change with the user and reminder,
// as the panel was last drawn.
struct CommandStates {
    bool program = false;         // MainDlgLogic::kIdProgram
    bool emptyReminder = false;   // cmd::kEmptyReminder
    bool closeUser = false;       // cmd::kCloseUser
    bool showHistory = false;     // cmd::kShowHistory
    bool alarmReport = false;     // cmd::kPrintAlarmReport
    // cmd::kPrintAlarmReportOnPaper, cmd::kSaveAlarmReportAsPdf.
    bool alarmReportStored = false;
    // The programming method radios, the comments page and
    // cmd::kClearCalendar: what is typed there without a user would be
    // lost, so they wait for one.
    bool userEdits = false;
};

// Listener for the window: the logic says what changed, the window redraws.
class MainDlgView {
public:
    virtual ~MainDlgView() = default;
    // The user panel, the command states or the status text changed.
    virtual void panelChanged() {}
    // The date forwarded to the day, week and month views.
    virtual void dateChanged(const SYSTEMTIME& /*date*/) {}
    // A refresh of the day and week views, and of the month view when stale.
    virtual void refreshViews(bool includeMonth) { (void)includeMonth; }
    // The tab to show.
    virtual void selectTab(int /*index*/) {}
    // The keys go to the calendar view of the tab shown.
    virtual void focusCalendar(int /*tab*/) {}
    // The wait cursor on (true) or off.
    virtual void busyChanged(bool /*busy*/) {}
    // The window must close; the program ends with `exitCode`.
    virtual void closeRequested(int /*exitCode*/) {}
    // Ends an open modal dialog of a device flow (the reminder was removed).
    virtual void endDeviceDialog() {}
};

// The window's logic routes the commands to the Command objects registered
// for their ids, and tells commands' changes to the views as WindowNotices
// (and the reminder commands' as a ReminderWindow).
class MainDlgLogic : public ReminderWindow {
public:
    static constexpr int kTemplateId = 151;

    // Controls of the window.
    static constexpr int kIdTabs = 1000;
    static constexpr int kIdDateLabel = 1011;
    static constexpr int kIdPrevious = 57724;
    static constexpr int kIdNext = 57725;
    static constexpr int kIdToday = 1004;
    static constexpr int kIdUserFrame = 57731;
    static constexpr int kIdChooseUser = 1018;
    static constexpr int kIdNameCaption = 1007;
    static constexpr int kIdName = 57720;
    static constexpr int kIdSsnCaption = 1006;
    static constexpr int kIdSsn = 57723;
    static constexpr int kIdTypeCaption = 1016;
    static constexpr int kIdTypeIntake = 1020;
    static constexpr int kIdTypeForgotten = 1021;
    static constexpr int kIdWindowCaption = 1014;
    static constexpr int kIdWindowList = 1013;
    static constexpr int kIdLastAlarmCaption = 57732;
    static constexpr int kIdLastAlarm = 57728;
    static constexpr int kIdStatus = 57729;
    static constexpr int kIdProgram = 1008;
    static constexpr int kIdLogoLeft = 57745;
    static constexpr int kIdLogoRight = 1003;
    static constexpr int kIdCommentEdit = 57701;

    // Tab indexes.
    static constexpr int kTabDay = 0;
    static constexpr int kTabWeek = 1;
    static constexpr int kTabMonth = 2;
    static constexpr int kTabComments = 3;

    // Colours (red, green, blue).
    struct Rgb {
        int r, g, b;
    };
    static constexpr Rgb kValueColour{8, 174, 198};
    static constexpr Rgb kStatusRed{255, 0, 0};
    static constexpr Rgb kStatusGreen{34, 139, 34};

    // The medication window choices of list kIdWindowList: string id and seconds.
    struct WindowChoice {
        int stringId;
        int seconds;
    };
    static const std::vector<WindowChoice>& windowChoices();
    // The list entry of a window in seconds; 0 (the first) when not listed.
    static int windowIndexOf(int seconds);
    // The seconds of a list entry; kDefaultWindowSeconds outside the list.
    static int windowSecondsAt(int index);

    // Builds the CurrentUser: opens (creates, migrates) the database and
    // imports legacy files. No window exists yet.
    MainDlgLogic(RecordStore& store, const std::filesystem::path& dataDirectory,
                 const StringSource& strings, UiHost& host, const Clock& clock);
    ~MainDlgLogic() override;
    MainDlgLogic(const MainDlgLogic&) = delete;
    MainDlgLogic& operator=(const MainDlgLogic&) = delete;

    void setView(MainDlgView* view) { view_ = view; }
    // The command run for `id` (a menu item or button); nullptr removes
    // it. An id without a command is disabled.
    void setCommand(int id, Command* command);
    // Whether a menu item or button `id` is offered: the window's own
    // commands always, a registered command by its rule, any other never.
    // (The ones that change with the user and reminder are in commands().)
    bool commandEnabled(int id) const;
    // The sign-in at start-up: false ends the program with `exitCode`.
    // Without one the program goes on.
    void setSignIn(std::function<bool(int& exitCode)> signIn) { signIn_ = std::move(signIn); }
    // After the sign-in: watch for the reminder and look for one already
    // attached. Without one the reminder is considered absent.
    void setDeviceWatch(std::function<void()> watch) { deviceWatch_ = std::move(watch); }
    // Where the calendar's add, edit and delete requests go; nullptr: nowhere.
    void setAlarmRequests(AlarmRequests* requests) { alarmRequests_ = requests; }
    // Told after the users, their alarms or reminders changed: a user
    // chosen or reloaded, alarms edited, a reminder read, a programming
    // ended, the database replaced.
    void setRecordsWatcher(std::function<void()> watcher) { recordsWatcher_ = std::move(watcher); }

    // Initialisation of the window: title, user list, first refresh,
    // today's date, the reminder absent. The window calls startup() after it.
    void initialise();
    // Start-up messages, the sign-in and the device watch, once the window shows.
    void startup();

    // ---- Texts ----
    Text title() const;
    int menuId() const;
    // The text of a keyed control of the window; empty for other ids.
    Text controlText(int controlId) const;
    Text tabText(int tabIndex) const;
    Text windowChoiceText(int index) const;
    // The tooltip of radio kIdTypeIntake or kIdTypeForgotten, or of "<" or ">" (which follows
    // the visible tab); empty for other ids.
    Text tooltipText(int controlId) const;
    Text statusText() const { return statusText_; }
    Text dateText() const;  // "%d.%d.%d" of the current date
    const StringSource& strings() const { return strings_; }

    // ---- State ----
    const UserPanel& panel() const { return panel_; }
    const CommandStates& commands() const { return commands_; }
    CurrentUser& user() { return user_; }
    const CurrentUser& user() const { return user_; }
    RecordStore& store() { return store_; }
    UiHost& host() { return host_; }
    const Clock& clock() const { return clock_; }
    const SYSTEMTIME& currentDate() const { return currentDate_; }
    int navigationStep() const { return navigationStep_; }
    bool busy() const { return busy_; }
    bool reminderConnected() const override { return reminderConnected_; }
    bool programmingInProgress() const { return programmingInProgress_; }
    bool userSelected() const { return user_.id > 0; }
    // The programming type and window chosen in the panel.
    ProgramType panelProgramType() const {
        return panel_.intakeChecked ? ProgramType::Intake : ProgramType::Forgotten;
    }
    int panelWindowSeconds() const override { return windowSecondsAt(panel_.windowIndex); }

    // ---- The views' requests ----
    void setDate(const SYSTEMTIME& date);
    void refresh();
    void occurrences(const SYSTEMTIME& from, const SYSTEMTIME& to,
                     std::vector<AlarmOccurrence>& out) const;
    void selectTab(int index);
    void tabChanged(int visibleTab);
    // The calendar's alarm requests, to the alarm editing.
    void addAlarm(const SYSTEMTIME& start);
    void editAlarm(const SYSTEMTIME& occurrence, const Alarm& alarm);
    void deleteAlarm(const SYSTEMTIME& occurrence, const Alarm& alarm);

    // ---- Commands (menus and buttons) ----
    // Routes a command id to the window's own handling or the registered
    // command (when enabled); false for an id the window does not know.
    bool command(int id);
    void closeUser() override;
    // Radio kIdTypeIntake or kIdTypeForgotten clicked; `nowChecked` is the clicked button's state.
    void programTypeClicked(int radioId, bool nowChecked);
    // List kIdWindowList selection changed to `index`.
    void windowSelected(int index);
    // The comments page's text as the person typed it. It is kept with the
    // user at once, so a refresh before the panel is saved cannot lose it;
    // the database gets it when the panel state is saved. A text with
    // letters the database cannot hold is refused (the person is told
    // which); false, and the comment stays as it was.
    bool setCommentText(const Text& text);

    // Saves the comment, programming type and window into the user's
    // profile and the database.
    void savePanelState() override;
    void noticeCutTexts() override;

    // ---- For the reminder flows ----
    void setBusy(bool busy) override;
    void markMonthStale() { monthStale_ = true; }
    void setReminderConnected(bool connected, std::uint32_t serial = 0) override;
    void setProgrammingInProgress(bool v) override;
    // The modal dialog of a device flow now open: `end` ends it (the
    // reminder was removed). An empty function when none is open.
    void setOpenDeviceDialog(std::function<void()> end) { endDeviceDialog_ = std::move(end); }
    bool deviceDialogOpen() const { return static_cast<bool>(endDeviceDialog_); }
    // The current user is the no-user profile of an ownerless reminder.
    void setNoUserProfile(bool v) override { noUserProfile_ = v; }
    bool noUserProfile() const override { return noUserProfile_; }
    void setStatusText(const Text& text) override;
    // The reminder was removed (also at start-up).
    void reminderRemoved() override;
    // Refreshes the user panel only (after a size change, programming).
    void refreshPanel() override;

    // False when the database could not be opened or created at start;
    // the start-up message then says so before anything else.
    bool databaseOpened() const { return databaseOpened_; }
    // A database beside the program that is not used (its folder is not
    // writable): the start-up message names it and the one in use.
    void setPassedOverDatabase(const std::filesystem::path& file) { passedOver_ = file; }
    // The program's configuration file, where the Language menu keeps its
    // choice for the next start, and the language module file that
    // overrides that choice ("" when none does).
    void setConfigurationFile(const std::filesystem::path& file, const std::filesystem::path& overriddenBy = {}) {
        configFile_ = file;
        languageOverride_ = overriddenBy;
    }

    // A database that this program must leave alone (written by a newer
    // version, or with tables of another shape): says so and sets the exit
    // code; the program then ends before its window is shown. False, with
    // nothing shown, for any other database.
    bool refuseDatabase();

    // Exit code once the window asked to close; 0 before.
    int exitCode() const { return exitCode_; }

private:
    // ---- WindowNotices, for the commands ----
    // The database file was replaced (a restore): the current user is
    // dropped without saving the panel (that would write over the restored
    // row), the database is opened as at start-up and the users reloaded.
    void databaseReplaced() override;
    void alarmsChanged(int window) override;
    void usersChanged() override;
    void userDialogClosed() override;

    // ---- The window's own commands ----
    void navigate(int direction);  // -1 "<", +1 ">"
    void goToday();
    // View menu: the day or week calendar (whichever is shown, else the
    // week), or the month calendar, shown with the keys.
    void showCalendar(bool month);
    // Keeps `code` ("fi", "en") for the next start and says so.
    void chooseLanguage(const char* code);
    void clearCalendar();
    void programReminder();
    void showHistory();
    // cmd::kOk, kCancel and kExit: save, close the user, end with `exitCode`.
    void closeWindow(int exitCode);

    // After the user's alarms, programming type or window changed: whether
    // the reminder must be programmed again is recomputed for `window`
    // seconds and stored at once with the type and window, so that a
    // program that ends before the panel is saved leaves no stale flag.
    void programmingStateChanged(int window);
    void notifyPanel();
    void afterAlarmFlow(const std::function<void()>& flow);
    void resetTypeToIntake();
    // Writes the user's profile (with the comment, type, window and flag)
    // and mirrors it into the user list; tells the person when it fails.
    void storeUserProfile();

    RecordStore& store_;
    const StringSource& strings_;
    UiHost& host_;
    const Clock& clock_;
    MainDlgView* view_ = nullptr;
    std::map<int, Command*> commandsById_;
    std::function<bool(int& exitCode)> signIn_;
    std::function<void()> deviceWatch_;
    AlarmRequests* alarmRequests_ = nullptr;
    std::function<void()> recordsWatcher_;

    CurrentUser user_;
    UserPanel panel_;
    CommandStates commands_;
    Text statusText_;
    SYSTEMTIME currentDate_{};
    int navigationStep_ = 7;
    int visibleTab_ = kTabWeek;
    bool monthStale_ = true;
    int monthReloads_ = 0;  // refreshes that reloaded the month view
    bool busy_ = false;
    bool reminderConnected_ = false;
    bool programmingInProgress_ = false;
    bool noUserProfile_ = false;
    std::function<void()> endDeviceDialog_;
    bool databaseOpened_ = false;
    StartupResult opening_;
    std::filesystem::path dataDirectory_;
    bool cutTextsTold_ = false;
    std::filesystem::path passedOver_;
    std::filesystem::path configFile_;
    std::filesystem::path languageOverride_;
    int exitCode_ = 0;
};

}  // namespace velmora
