#pragma once
// Support for the dialog logic tests: a database in a temporary directory
// opened the way the program opens it, and a scripted person in front of
// the dialogs (answers Yes/No from a script, records every message). The
// store tests' helpers (gtest, the record builders, raw SQL) come along.
#include <deque>
#include <functional>

#include "core/records.h"
#include "store/startup.h"
#include "store/store_test_util.h"
#include "ui/logic/ui_host.h"

namespace velmora::dialogtest {

class TempDatabase {
public:
    TempDatabase() {
        store_ = std::make_unique<RecordStore>(dir_.path() / kDatabaseFileName);
        openDatabaseAtStartup(*store_, dir_.path(), user, makeTime(2026, 3, 2, 9, 0));
    }

    const std::filesystem::path& dir() const { return dir_.path(); }
    void writeFile(const std::string& name, const std::string& bytes) const { dir_.write(name, bytes); }
    RecordStore& store() { return *store_; }

    // Stores a user and reloads the user list; the new id.
    int addUser(const Text& name, const Text& ssn, bool needsProgramming = false) {
        const int id = store_->insertProfile(needsProgramming, name, ssn, "040 123", "");
        store_->reloadUsers(user);
        return id;
    }
    // Stores a user with alarms, medication window and programming type
    // without reloading the list; the new id.
    int addUser(const Text& name, const Text& ssn, std::vector<Alarm> alarms, int window = 600,
                int programType = 0) {
        const int id = store_->insertProfile(false, name, ssn, "040 1", "");
        Profile p = storedProfile(id);
        p.window = window;
        p.program_type = programType;
        store_->updateProfile(p);
        for (Alarm& a : alarms) store_->saveAlarm(a, id);
        return id;
    }
    Profile storedProfile(int id) {
        Profile p;
        store_->loadProfile(id, p);
        return p;
    }
    std::vector<Alarm> storedAlarms(int id) {
        std::vector<Alarm> list;
        store_->loadAlarms(id, list);
        return list;
    }
    std::vector<Profile> storedUsers() {
        std::vector<Profile> list;
        store_->loadProfiles(list);
        return list;
    }
    std::vector<LogEntry> storedLog(int id) {
        std::vector<LogEntry> log;
        store_->loadLog(id, log);
        return log;
    }

    CurrentUser user;

private:
    velmora::testing::TempDir dir_{"velmora-dlg"};
    std::unique_ptr<RecordStore> store_;
};

struct Message {
    Text text;
    Text caption;
    MessageIcon icon;
    bool defaultNo = false;  // questions: No is the answer Enter gives
};

class ScriptedHost : public UiHost {
public:
    void showMessage(const Text& text, const Text& caption, MessageIcon icon) override {
        messages.push_back({text, caption, icon});
    }
    bool askYesNo(const Text& text, const Text& caption) override {
        return answer({text, caption, MessageIcon::Question, false});
    }
    bool askDestructive(const Text& text, const Text& caption) override {
        return answer({text, caption, MessageIcon::Question, true});
    }
    bool answer(const Message& question) {
        questions.push_back(question);
        if (answers.empty()) return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    // Nested dialogs are played by `onDialog`, or cancelled at once.
    int runDialog(DialogModel& dialog) override {
        dialogs.push_back(dialog.templateId());
        ++depth;
        const int result = onDialog ? onDialog(dialog) : kIdCancel;
        --depth;
        return result;
    }
    int modalDepth() const override { return depth; }
    // The texts of the messages shown since the last call.
    std::vector<Text> takeMessageTexts() {
        std::vector<Text> texts;
        for (const Message& m : messages) texts.push_back(m.text);
        messages.clear();
        return texts;
    }
    void openTextFile(const Text& path) override { opened.push_back(path); }
    void openUrl(const Text& address) override { urls.push_back(address); }

    std::function<int(DialogModel&)> onDialog;
    std::deque<bool> answers;
    std::vector<Message> messages;
    std::vector<Message> questions;
    std::vector<int> dialogs;
    std::vector<Text> opened;
    std::vector<Text> urls;
    int depth = 0;
};

// The language modules in the source tree (resources/lang).
inline std::filesystem::path sourceLangDir() { return VELMORA_SOURCE_LANG_DIR; }

using velmora::testing::dailyAlarm;
using velmora::testing::readBytes;

}  // namespace velmora::dialogtest
