#pragma once
// Helpers for the device tests: a database in a temporary directory with a
// current user, a scripted person, and alarm builders.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "core/datetime.h"
#include "core/interaction.h"
#include "core/records.h"
#include "store/record_store.h"
#include "store/startup.h"

namespace velmora::devtest {

inline const SYSTEMTIME kNow = makeTime(2026, 3, 10, 12, 0);

// A fresh directory, removed with everything in it.
struct TempDir {
    std::filesystem::path path = [] {
        std::string tmpl = (std::filesystem::temp_directory_path() / "velmora-device-XXXXXX").string();
        return std::filesystem::path(::mkdtemp(tmpl.data()) ? tmpl : "");
    }();
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

// A real database file, created and migrated as at program start, at kNow.
struct DatabaseTest : ::testing::Test {
    TempDir dir;
    RecordStore store{dir.path / kDatabaseFileName};
    CurrentUser user;
    TimeValue now = toTimeValue(kNow);

    void SetUp() override { ASSERT_TRUE(openDatabaseAtStartup(store, dir.path, user, kNow).opened); }
    // Stores a profile and makes it the current user.
    int addCurrentUser(const Text& name, const Text& phone = "") {
        const int id = store.insertProfile(false, name, "", phone, "");
        Profile p;
        EXPECT_TRUE(id > 0 && store.loadProfile(id, p)) << name;
        user.setProfile(p);
        return id;
    }
    void saveReminder(int owner, std::uint32_t sn, TimeValue programmed, TimeValue lastAlarm = 0,
                      int amount = 0) {
        DeviceRecord d;
        d.sn = sn;
        d.programming_time = programmed;
        d.last_alarm = lastAlarm;
        d.alarm_amount = amount;
        ASSERT_TRUE(store.saveDevice(d, owner));
    }
};

// The person in front of the program: answers questions from a script and
// remembers every message and question.
struct ScriptedPerson : Interaction {
    struct Shown {
        Text text, caption;
        MessageIcon icon = MessageIcon::None;
        bool question = false;
    };
    std::deque<bool> answers;
    std::vector<Shown> shown;
    void showMessage(const Text& text, const Text& caption, MessageIcon icon) override {
        shown.push_back({text, caption, icon, false});
    }
    bool askYesNo(const Text& text, const Text& caption) override {
        shown.push_back({text, caption, MessageIcon::Question, true});
        const bool yes = !answers.empty() && answers.front();
        if (!answers.empty()) answers.pop_front();
        return yes;
    }
};

inline Alarm daily(const SYSTEMTIME& start, bool forever = true, SYSTEMTIME end = {}) {
    Alarm a;
    a.alarm_start = start;
    a.alarm_end = end == SYSTEMTIME{} ? start : end;
    a.repeat_pattern = 1;
    a.repeat_forever = forever;
    a.title = "Lääke";
    return a;
}

inline Alarm single(const SYSTEMTIME& at) {
    Alarm a = daily(at, false);
    a.repeat_pattern = 0;
    a.title = "Kerta";
    return a;
}

}  // namespace velmora::devtest
