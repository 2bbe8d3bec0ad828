// The work list on a real database: who is listed and why, sorting, the
// chosen days kept in the configuration file.
#include <gtest/gtest.h>

#include "core/config_file.h"
#include "resources/resource_module.h"
#include "resources/string_ids.h"
#include "ui/logic/dialog_test_support.h"
#include "ui/logic/worklist/work_list.h"

namespace velmora {
namespace {

// Monday 2 March 2026, 09:00 local time.
constexpr SYSTEMTIME kNow = makeTime(2026, 3, 2, 9, 0);
TimeValue at(int mo, int d, int h = 8) { return toTimeValue(makeTime(2026, mo, d, h, 0)); }

class WorkListTest : public ::testing::Test {
protected:
    int addUser(const Text& name, bool flag, int deviceType, TimeValue programmed, TimeValue last,
                std::vector<LogEntry> log = {}) {
        const int id = db.addUser(name, "ssn-" + name, flag);
        if (deviceType >= 0) {
            EXPECT_TRUE(db.store().saveDevice({static_cast<std::uint32_t>(1000 + id), deviceType, programmed, last, 9}, id));
        }
        EXPECT_TRUE(db.store().saveLogEntries(log, id));
        return id;
    }

    dialogtest::TempDatabase db;
    FixedClock clock{kNow};
    const ResourceModule& fi = ResourceModule::builtIn();
};

TEST_F(WorkListTest, ReasonsAtTheirEdges) {
    const int none = -1, own = DeviceRecord::kOwn;
    const TimeValue far = at(6, 1), longAgo = at(1, 5);
    struct Case {
        const char* name;
        bool flag;
        int device;
        TimeValue programmed, last;
        std::vector<LogEntry> log;
        unsigned within7and14, within8and15;
        TimeValue laterOwnLast = 0;  // a second own reminder of a higher serial
    } cases[] = {
        {"runs out on day 7", false, own, longAgo, at(3, 9, 23), {{at(3, 1), 0, 4}}, kReasonRunsOut, kReasonRunsOut},
        {"runs out on day 8", false, own, longAgo, at(3, 10, 0), {{at(3, 1), 0, 4}}, 0, kReasonRunsOut},
        {"has run out", false, own, longAgo, at(2, 1), {{at(2, 1), 0, 4}}, kReasonRunsOut | kReasonLogNotRead,
         kReasonRunsOut | kReasonLogNotRead},
        {"spare runs out", false, DeviceRecord::kSpare, longAgo, at(3, 3), {}, 0, 0},
        {"never programmed", false, none, 0, 0, {}, 0, 0},
        {"flagged", true, none, 0, 0, {}, kReasonNeedsProgramming, kReasonNeedsProgramming},
        {"empty reminder", false, own, 0, 0, {}, kReasonRunsOut, kReasonRunsOut},
        {"read 14 days ago", false, own, longAgo, far, {{at(2, 16, 23), 0, 4}}, 0, 0},
        {"read 15 days ago", false, own, longAgo, far, {{at(2, 15, 1), 0, 2}}, kReasonLogNotRead, 0},
        {"not alarmed is no read", false, own, longAgo, far, {{at(2, 10), 0, 4}, {at(2, 28), 0, 1}}, kReasonLogNotRead,
         kReasonLogNotRead},
        {"programmed counts as read", false, own, at(2, 16), far, {{at(2, 1), 0, 4}}, 0, 0},
        {"the later reminder counts", false, own, longAgo, at(3, 3), {{at(3, 1), 0, 4}}, 0, 0, far},
    };
    std::map<int, const Case*> byId;
    for (const Case& c : cases) {
        const int id = addUser(c.name, c.flag, c.device, c.programmed, c.last, c.log);
        if (c.laterOwnLast) db.store().saveDevice({static_cast<std::uint32_t>(9000 + id), own, longAgo, c.laterOwnLast, 9}, id);
        byId[id] = &c;
    }
    std::vector<UserReminderState> users;
    ASSERT_TRUE(db.store().loadUserReminderStates(users));
    ASSERT_EQ(users.size(), std::size(cases));
    for (const WorkListOptions& options : {WorkListOptions{7, 14}, WorkListOptions{8, 15}}) {
        std::map<int, unsigned> listed;
        for (const WorkListRow& r : workListRows(users, toTimeValue(kNow), options)) listed[r.userId] = r.reasons;
        for (const auto& [id, c] : byId)
            EXPECT_EQ(listed[id], options.runsOutDays == 7 ? c->within7and14 : c->within8and15)
                << c->name << " with " << options.runsOutDays;
    }
    EXPECT_EQ(std::count_if(users.begin(), users.end(), [](const auto& u) { return dueThisWeek(u, toTimeValue(kNow)); }), 4);
}

TEST_F(WorkListTest, SortsByEveryColumnAndShowsTheRow) {
    addUser("bertta", false, DeviceRecord::kOwn, at(1, 5), at(3, 4), {{at(3, 1), 0, 4}});
    addUser("Aino", true, DeviceRecord::kOwn, at(1, 5), at(3, 8), {{at(2, 1), 0, 4}});
    addUser("Cecilia", false, DeviceRecord::kOwn, 0, 0);
    WorkListLogic list(db.store(), fi, clock, {}, nullptr);
    list.reload();
    struct Case {
        int column;
        bool ascending;
        std::vector<Text> order;
    } cases[] = {
        {WorkListLogic::kColumnRunsOut, true, {"Cecilia", "bertta", "Aino"}},
        {WorkListLogic::kColumnName, true, {"Aino", "bertta", "Cecilia"}},
        {WorkListLogic::kColumnName, false, {"Cecilia", "bertta", "Aino"}},
        {WorkListLogic::kColumnSsn, false, {"ssn-bertta", "ssn-Cecilia", "ssn-Aino"}},
        {WorkListLogic::kColumnReasons, false, {"Aino", "bertta", "Cecilia"}},
    };
    for (const Case& c : cases) {
        list.sort(c.column, c.ascending);
        std::vector<Text> got;
        for (int i = 0; i < 3; ++i) got.push_back(list.cellText(i, c.column == WorkListLogic::kColumnSsn ? 1 : 0));
        EXPECT_EQ(got, c.order) << c.column;
    }
    list.sort(WorkListLogic::kColumnName, true);
    EXPECT_EQ(list.cellText(0, WorkListLogic::kColumnRunsOut), "08.03.2026");
    EXPECT_EQ(list.cellText(0, WorkListLogic::kColumnReasons),
              "Muistutin loppuu pian, Ohjelmoitava, Lokia ei luettu 29 päivään");
    EXPECT_EQ(list.cellText(2, WorkListLogic::kColumnRunsOut), "tyhjä");
    EXPECT_EQ(list.cellText(2, WorkListLogic::kColumnReasons), "Muistutin on loppunut");
    EXPECT_EQ(list.dueThisWeekText(), "Ohjelmoitavia käyttäjiä tällä viikolla: 3");
}

TEST_F(WorkListTest, ChoosesTheRowsUserAndFollowsTheRecordsOnlyWhenShown) {
    addUser("Aino", true, -1, 0, 0);
    const int bertta = addUser("Bertta", true, -1, 0, 0);
    std::vector<int> chosen;
    WorkListLogic list(db.store(), fi, clock, {}, [&chosen](int id) { chosen.push_back(id); });
    list.setVisible(true);
    list.sort(WorkListLogic::kColumnName, false);
    list.choose(0);
    list.choose(2);  // no such row
    EXPECT_EQ(chosen, std::vector<int>{bertta});
    list.setVisible(false);
    addUser("Cecilia", true, -1, 0, 0);
    list.recordsChanged();
    EXPECT_EQ(list.rows().size(), 2u);
    list.setVisible(true);
    EXPECT_EQ(list.rows().size(), 3u);
    EXPECT_EQ(list.chosenRow(), 1);  // Cecilia came first
}

TEST_F(WorkListTest, ChosenDaysAreBoundedAndKeptForTheNextStart) {
    const auto config = db.dir() / "velmora.conf";
    WorkListLogic list(db.store(), fi, clock, config, nullptr);
    EXPECT_EQ(list.options(), (WorkListOptions{7, 14}));
    list.setOptions({0, 400});
    EXPECT_EQ(list.options(), (WorkListOptions{1, 365}));
    list.setOptions({10, 30});
    EXPECT_EQ(WorkListLogic(db.store(), fi, clock, config, nullptr).options(), (WorkListOptions{10, 30}));
}

}  // namespace
}  // namespace velmora
