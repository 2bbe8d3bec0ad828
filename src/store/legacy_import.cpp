#include "store/legacy_import.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <system_error>

#include "core/cp1252.h"
#include "core/datetime.h"
#include "core/text.h"
#include "store/credentials.h"
#include "store/record_store.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

// Splits at every occurrence of `sep`, keeping empty fields.
std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        std::size_t pos = s.find(sep, start);
        if (pos == std::string::npos) {
            out.push_back(s.substr(start));
            return out;
        }
        out.push_back(s.substr(start, pos - start));
        start = pos + 1;
    }
}

// Non-empty lines of a section content (a line feed ends a line; a
// carriage return before it stays in the line).
std::vector<std::string> lines(const std::string& content) {
    std::vector<std::string> out;
    for (std::string& l : split(content, '\n'))
        if (!l.empty()) out.push_back(std::move(l));
    return out;
}

// Tokens between runs of '[' and ']'.
std::vector<std::string> tokens(const std::string& body) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : body) {
        if (c == '[' || c == ']') {
            if (!cur.empty()) out.push_back(std::move(cur));
            cur.clear();
        } else {
            cur.push_back(c);
        }
    }
    if (!cur.empty()) out.push_back(std::move(cur));
    return out;
}

// Integer as the C runtime's wcstol reads it: leading white space, an
// optional sign, digits. nullopt when no digit was read.
std::optional<long long> leadingInteger(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i >= s.size() || !std::isdigit(static_cast<unsigned char>(s[i]))) return std::nullopt;
    long long v = 0;
    for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i) {
        if (v < (1LL << 40)) v = v * 10 + (s[i] - '0');
    }
    return negative ? -v : v;
}

// wtoi: 0 when nothing is read.
long long toInt(const std::string& s) { return leadingInteger(s).value_or(0); }

const std::string& field(const std::vector<std::string>& f, std::size_t i) {
    static const std::string empty;
    return i < f.size() ? f[i] : empty;
}

// A date-time field as a TimeValue; nullopt when it does not parse.
std::optional<TimeValue> parseInstant(const std::string& text, bool withSeconds) {
    SYSTEMTIME t{};
    if (!parseDateTime(text.c_str(), withSeconds, t)) return std::nullopt;
    return toTimeValue(t);
}

void parsePerson(const std::string& content, Profile& p) {
    std::vector<std::string> f = split(content, '|');
    p.is_programming_needed = toInt(field(f, 0)) != 0;
    p.setName(field(f, 1));
    p.setSsn(field(f, 2));
    std::string comment;
    for (std::size_t i = 3; i + 1 < f.size(); ++i) {
        if (i > 3) comment += '|';
        comment += f[i];
    }
    p.setComment(comment);
}

void parseDevices(const std::string& content, std::vector<DeviceRecord>& out) {
    for (const std::string& line : lines(content)) {
        std::vector<std::string> f = split(line, '|');
        DeviceRecord d;
        d.device_type = static_cast<int>(leadingInteger(field(f, 0)).value_or(2));
        d.sn = static_cast<std::uint32_t>(toInt(field(f, 1)));
        if (d.sn == 0) continue;
        d.programming_time = parseInstant(field(f, 2), true).value_or(0);
        d.last_alarm = parseInstant(field(f, 3), true).value_or(0);
        d.alarm_amount = static_cast<int>(toInt(field(f, 4)));
        out.push_back(d);
    }
}

void parseAlarms(const std::string& content, std::vector<Alarm>& out) {
    for (const std::string& line : lines(content)) {
        std::vector<std::string> f = split(line, '|');
        Alarm a;
        if (!parseDateTime(field(f, 0).c_str(), false, a.alarm_start)) continue;
        if (!parseDateTime(field(f, 1).c_str(), false, a.alarm_end)) a.alarm_end = SYSTEMTIME{};
        long long forever = toInt(field(f, 2));
        long long pattern = toInt(field(f, 3));
        if (forever != 0 && forever != 1) continue;
        if (pattern < 0 || pattern > 6) continue;
        a.repeat_forever = forever == 1;
        a.repeat_pattern = static_cast<std::uint8_t>(pattern);
        a.alarm_type = toInt(field(f, 4)) == 1 ? 1 : 0;
        a.title = field(f, 5);
        a.description = field(f, 6);
        out.push_back(a);
    }
}

void parseLog(const std::string& content, std::vector<LogEntry>& out) {
    for (const std::string& line : lines(content)) {
        std::vector<std::string> f = split(line, '|');
        if (f.size() < 2) continue;
        long long status = toInt(f[1]);
        if (status < 1 || status > 5) continue;
        LogEntry e;
        e.alarm_time = parseInstant(f[0], false).value_or(0);
        e.log_status = static_cast<int>(status);
        if (status == kStatusAcknowledged || status == kStatusAcknowledgedLate)
            e.ack = parseInstant(field(f, 2), false).value_or(0);
        out.push_back(e);
    }
}

// The section contents of a body, in file order.
std::vector<std::pair<std::string, std::string>> sections(const std::string& body,
                                                          std::initializer_list<const char*> names) {
    std::vector<std::pair<std::string, std::string>> out;
    std::vector<std::string> t = tokens(body);
    for (std::size_t i = 0; i < t.size(); ++i) {
        bool known = std::any_of(names.begin(), names.end(),
                                 [&](const char* n) { return t[i] == n; });
        if (known && i + 1 < t.size()) {
            out.emplace_back(t[i], t[i + 1]);
            ++i;
        }
    }
    return out;
}

std::optional<std::string> readFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}


std::optional<std::vector<ImportedUser>> readUserFile(const fs::path& path) {
    std::optional<std::string> bytes = readFileBytes(path);
    std::optional<Text> body = bytes ? readContainer(*bytes) : std::nullopt;
    if (!body) return std::nullopt;
    return parseLegacyBody(*body);
}

bool hasUserExtension(const std::string& name) {
    return lowerAscii(fs::path(name).extension().string()) == kLegacyUserExtension;
}

// N of a claimed name "<name>.vel.import-N"; 0 for any other name.
int claimMark(const std::string& name) {
    const std::size_t at = name.rfind(kClaimedMarker);
    if (at == std::string::npos || !hasUserExtension(name.substr(0, at))) return 0;
    const std::string digits = name.substr(at + std::strlen(kClaimedMarker));
    if (digits.empty() || digits.size() > 10 || digits.front() == '0' ||
        !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c) != 0; }))
        return 0;
    const long long n = std::stoll(digits);
    return n <= std::numeric_limits<int>::max() ? static_cast<int>(n) : 0;
}

bool isClaimed(const std::string& name) { return claimMark(name) > 0; }

// Names of the regular files in `folder` that `wanted` accepts, sorted
// (the listing order is the file system's).
std::vector<std::string> filesIn(const fs::path& folder, bool (*wanted)(const std::string&)) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return names;
    for (const fs::directory_entry& e : it) {
        std::string name = e.path().filename().string();
        if (e.is_regular_file(ec) && wanted(name)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Stores the users of the claimed file "<name>.import-<mark>" with the
// mark, then removes the file. When the database refuses them the file
// gets its name back, as it was before the claim.
ImportResult storeClaimed(RecordStore& store, const fs::path& folder, const std::string& name, int mark,
                          const std::vector<ImportedUser>& users, Text* reason, ImportStepHook onStep) {
    const fs::path claimed = folder / (name + kClaimedMarker + std::to_string(mark));
    std::error_code ec;
    if (!store.insertImportedUsers(users, mark, reason)) {
        fs::rename(claimed, folder / name, ec);  // else the next start imports the claim
        return ImportResult::NotStored;
    }
    if (onStep) onStep("stored", claimed.filename().string());
    fs::remove(claimed, ec);  // else the next start removes it: the mark says its users are in
    return ImportResult::Imported;
}
}  // namespace

std::optional<Text> readContainer(const std::string& fileBytes) {
    if (fileBytes.size() <= 9) return std::nullopt;
    std::size_t bar = fileBytes.find('|');
    if (bar == std::string::npos) return std::nullopt;
    std::string digest = fileBytes.substr(0, bar);
    std::string body = fieldXor(fileBytes.substr(bar + 1));
    if (body.empty() || md5Hex(body) != digest) return std::nullopt;
    return fromCp1252(body);
}

std::string makeContainer(const Text& body) {
    std::string bytes = toCp1252(body);
    return md5Hex(bytes) + "|" + fieldXor(bytes);
}

std::vector<ImportedUser> parseLegacyBody(const Text& body) {
    std::vector<ImportedUser> users;
    bool lastHasPerson = false;
    for (const auto& [name, content] : sections(body, {"PERSON", "DEVICE", "ALARMS", "LOG"})) {
        if (name == "PERSON") {
            // A second PERSON starts another user; sections before the
            // first PERSON belong to the first user.
            if (users.empty() || lastHasPerson) users.emplace_back();
            lastHasPerson = true;
            parsePerson(content, users.back().profile);
            continue;
        }
        if (users.empty()) users.emplace_back();
        ImportedUser& u = users.back();
        if (name == "DEVICE") {
            parseDevices(content, u.devices);
        } else if (name == "ALARMS") {
            parseAlarms(content, u.alarms);
        } else {
            std::vector<LogEntry> entries;
            parseLog(content, entries);
            mergeLogEntries(u.profile.history, entries);
        }
    }
    return users;
}

std::vector<std::string> listLegacyUserFiles(const fs::path& dataDirectory) {
    return filesIn(dataDirectory / kLegacyProfilesDir, hasUserExtension);
}

ImportResult importUserFile(RecordStore& store, const fs::path& dataDirectory, const std::string& name,
                            Text* reason, ImportStepHook onStep) {
    const fs::path folder = dataDirectory / kLegacyProfilesDir;
    std::optional<std::vector<ImportedUser>> users = readUserFile(folder / name);
    if (!users) return ImportResult::Unreadable;
    // A second open claim could take the same mark.
    if (!filesIn(folder, isClaimed).empty()) return ImportResult::Waiting;
    const int mark = store.importMark();
    if (mark < 0) {
        if (reason != nullptr) *reason = "velmora.db";
        return ImportResult::NotStored;
    }
    const int next = mark == std::numeric_limits<int>::max() ? 1 : mark + 1;
    const std::string claimed = name + kClaimedMarker + std::to_string(next);
    if (::rename((folder / name).c_str(), (folder / claimed).c_str()) != 0) {
        if (reason != nullptr) *reason = std::strerror(errno);
        return ImportResult::NotRemovable;
    }
    if (onStep) onStep("claimed", claimed);
    return storeClaimed(store, folder, name, next, *users, reason, onStep);
}

LegacyImportReport importLegacyUsers(RecordStore& store, const fs::path& dataDirectory, ImportStepHook onStep) {
    LegacyImportReport report;
    const fs::path folder = dataDirectory / kLegacyProfilesDir;
    auto count = [&](ImportResult result, const std::string& name, const Text& reason) {
        if (result == ImportResult::Imported) ++report.imported;
        if (result == ImportResult::NotRemovable || result == ImportResult::NotStored)
            report.problems.push_back({name, result, reason});
    };
    // Claims left by a program that ended on the way.
    for (const std::string& claimed : filesIn(folder, isClaimed)) {
        const int mark = claimMark(claimed);
        const std::string name = claimed.substr(0, claimed.rfind(kClaimedMarker));
        std::error_code ec;
        const int stored = store.importMark();
        if (stored < 0) return report;  // unknown whether its users are in: the claim waits
        if (stored == mark) {
            fs::remove(folder / claimed, ec);  // its users are in
            continue;
        }
        std::optional<std::vector<ImportedUser>> users = readUserFile(folder / claimed);
        if (!users) {
            fs::rename(folder / claimed, folder / name, ec);  // stays, as a damaged file does
            continue;
        }
        Text reason;
        count(storeClaimed(store, folder, name, mark, *users, &reason, onStep), name, reason);
    }
    for (const std::string& name : listLegacyUserFiles(dataDirectory)) {
        Text reason;
        count(importUserFile(store, dataDirectory, name, &reason, onStep), name, reason);
    }
    return report;
}

bool settingsFileExists(const fs::path& dataDirectory) {
    std::ifstream in(dataDirectory / kLegacySettingsFile, std::ios::binary);
    return static_cast<bool>(in);
}

bool readSettingsFile(const fs::path& dataDirectory, CurrentUser& user) {
    std::optional<std::string> bytes = readFileBytes(dataDirectory / kLegacySettingsFile);
    if (!bytes) return false;
    std::optional<Text> body = readContainer(*bytes);
    if (!body) return false;
    for (const auto& [name, content] : sections(*body, {"GENERAL"})) {
        std::vector<std::string> f = split(content, '|');
        user.account_password = field(f, 1);
    }
    return true;
}

bool deleteSettingsFile(const fs::path& dataDirectory) {
    std::error_code ec;
    return fs::remove(dataDirectory / kLegacySettingsFile, ec);
}

}  // namespace velmora
