#pragma once
// Support for the dialog logic tests: a database in a temporary directory
// opened the way the program opens it, and a scripted person in front of
// the dialogs (answers Yes/No from a script, records every message).
#include <gtest/gtest.h>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "core/datetime.h"
#include "core/records.h"
#include "store/record_store.h"
#include "store/startup.h"
#include "support/temp_dir.h"
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
    std::vector<Profile> storedUsers() {
        std::vector<Profile> list;
        store_->loadProfiles(list);
        return list;
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

// A dialog's template, title and the texts of its keyed controls.
struct ControlText {
    int id;
    const char* text;
};
template <class Dialog>
void expectTexts(const Dialog& dlg, int templateId, const Text& title,
                 std::initializer_list<ControlText> controls) {
    EXPECT_EQ(dlg.templateId(), templateId);
    EXPECT_EQ(dlg.title(), title);
    for (const ControlText& c : controls) EXPECT_EQ(dlg.controlText(c.id), c.text) << "control " << c.id;
}

inline std::string readBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace velmora::dialogtest
