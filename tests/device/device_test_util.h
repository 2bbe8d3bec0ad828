#pragma once
// Helpers for the device tests: a database in a temporary directory, a
// scripted person, and alarm builders.
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

class TempDir {
public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "velmora-device-XXXXXX").string();
        char* made = ::mkdtemp(tmpl.data());
        path_ = made ? std::filesystem::path(made) : std::filesystem::path();
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A real database file, created and migrated as at program start.
struct Database {
    TempDir dir;
    RecordStore store{dir.path() / kDatabaseFileName};
    CurrentUser user;
    explicit Database(const SYSTEMTIME& today) {
        openDatabaseAtStartup(store, dir.path(), user, today);
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
        if (answers.empty()) return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
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
    Alarm a;
    a.alarm_start = at;
    a.alarm_end = at;
    a.repeat_pattern = 0;
    a.title = "Kerta";
    return a;
}

}  // namespace velmora::devtest
