#include "velmora-service/service_logic.h"

#include <cstdio>
#include <ctime>

namespace velmora::service {
namespace {

ServiceReply text(const std::string& body) {
    ServiceReply r;
    r.body = body;
    return r;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string decode(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '+') {
            out += ' ';
        } else if (s[i] == '%' && i + 2 < s.size() && hexValue(s[i + 1]) >= 0 &&
                   hexValue(s[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string localDate() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%d %02d:%02d", tm.tm_mday, tm.tm_mon + 1,
                  tm.tm_year + 1900, tm.tm_hour, tm.tm_min);
    return buf;
}

std::string get(const std::map<std::string, std::string>& f, const std::string& key) {
    auto it = f.find(key);
    return it == f.end() ? std::string() : it->second;
}

}  // namespace

std::map<std::string, std::string> parseForm(const std::string& body) {
    std::map<std::string, std::string> fields;
    std::size_t pos = 0;
    while (pos <= body.size()) {
        std::size_t end = body.find('&', pos);
        if (end == std::string::npos) end = body.size();
        const std::string pair = body.substr(pos, end - pos);
        if (!pair.empty()) {
            const std::size_t eq = pair.find('=');
            if (eq == std::string::npos) fields[decode(pair)] = "";
            else fields[decode(pair.substr(0, eq))] = decode(pair.substr(eq + 1));
        }
        pos = end + 1;
    }
    return fields;
}

bool parseMultipart(const std::string& contentType, const std::string& body,
                    std::map<std::string, std::string>& fields, std::string& file) {
    const std::size_t at = contentType.find("boundary=");
    if (at == std::string::npos) return false;
    std::string boundary = contentType.substr(at + 9);
    boundary = boundary.substr(0, boundary.find_first_of(";, \t\r\n"));
    if (boundary.size() >= 2 && boundary.front() == '"' && boundary.back() == '"') {
        boundary = boundary.substr(1, boundary.size() - 2);
    }
    if (boundary.empty()) return false;
    const std::string first = "--" + boundary + "\r\n";
    const std::string delimiter = "\r\n--" + boundary;
    if (body.compare(0, first.size(), first) != 0) return false;
    std::size_t pos = first.size();
    bool sawFile = false;
    for (;;) {
        const std::size_t headEnd = body.find("\r\n\r\n", pos);
        if (headEnd == std::string::npos) return false;
        const std::string head = body.substr(pos, headEnd - pos);
        const std::size_t contentStart = headEnd + 4;
        const std::size_t contentEnd = body.find(delimiter, contentStart);
        if (contentEnd == std::string::npos) return false;
        const std::string content = body.substr(contentStart, contentEnd - contentStart);
        if (head.find("filename=") != std::string::npos) {
            file = content;
            sawFile = true;
        } else if (head.find("name=\"part1\"") != std::string::npos) {
            for (auto& [k, v] : parseForm(content)) fields[k] = v;
        }
        pos = contentEnd + delimiter.size();
        if (body.compare(pos, 2, "--") == 0) break;  // closing delimiter
        if (body.compare(pos, 2, "\r\n") != 0) return false;
        pos += 2;
    }
    return sawFile;
}

ServiceLogic::ServiceLogic(DateSource date) : date_(date ? std::move(date) : DateSource(localDate)) {}

void ServiceLogic::setDateSource(DateSource date) {
    std::lock_guard<std::mutex> lock(mutex_);
    date_ = date ? std::move(date) : DateSource(localDate);
}

void ServiceLogic::addAccount(const std::string& user, const std::string& password) {
    std::lock_guard<std::mutex> lock(mutex_);
    accounts_[user] = password;
}

std::optional<std::string> ServiceLogic::passwordOf(const std::string& user) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = accounts_.find(user);
    if (it == accounts_.end()) return std::nullopt;
    return it->second;
}

void ServiceLogic::setPouchData(const std::string& ssn, const std::string& pouchText) {
    std::lock_guard<std::mutex> lock(mutex_);
    pouches_[ssn] = pouchText;
}

std::optional<StoredBackup> ServiceLogic::backupOf(const std::string& user) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = backups_.find(user);
    if (it == backups_.end()) return std::nullopt;
    return it->second;
}

void ServiceLogic::setBackup(const std::string& user, StoredBackup backup) {
    std::lock_guard<std::mutex> lock(mutex_);
    backups_[user] = std::move(backup);
}

bool ServiceLogic::signedIn(const std::map<std::string, std::string>& f) const {
    auto it = accounts_.find(get(f, "un"));
    return it != accounts_.end() && f.count("pw") != 0 && it->second == get(f, "pw");
}

ServiceReply ServiceLogic::handle(const std::string& contentType, const std::string& body) {
    if (contentType.rfind("multipart/form-data", 0) == 0) return handleUpload(contentType, body);
    std::lock_guard<std::mutex> lock(mutex_);
    return handleForm(parseForm(body));
}

ServiceReply ServiceLogic::handleForm(const std::map<std::string, std::string>& f) {
    const std::string action = get(f, "a");
    if (action == "check_user") return text(signedIn(f) ? "1" : "-2");
    if (action == "change_pw") {
        if (!signedIn(f)) return text("-2");
        const std::string n1 = get(f, "npw1"), n2 = get(f, "npw2");
        if (n1 != n2) return text("-3|new passwords differ");
        if (n1.empty()) return text("-4|empty password");
        accounts_[get(f, "un")] = n1;
        return text("1");
    }
    if (action == "get_date") {
        if (!signedIn(f)) return text("-2");
        auto it = backups_.find(get(f, "un"));
        return text(it == backups_.end() ? "1|-" : "1|" + it->second.date);
    }
    if (action == "restore") {
        if (!signedIn(f)) return text("-2");
        auto it = backups_.find(get(f, "un"));
        if (it == backups_.end()) return text("-7|no backup");
        ServiceReply r;
        r.contentType = "application/octet-stream";
        r.body = it->second.bytes;
        return r;
    }
    if (action == "get_pouch_data") {
        if (!signedIn(f)) return text("-2");
        auto it = pouches_.find(get(f, "ssn"));
        if (it == pouches_.end()) return text("-6");
        if (it->second.empty()) return text("0");
        return text("1|" + it->second);
    }
    if (action == "send_database") return text("-5|upload expected");
    return text("-1|unknown action");
}

ServiceReply ServiceLogic::handleUpload(const std::string& contentType, const std::string& body) {
    std::map<std::string, std::string> fields;
    std::string file;
    if (!parseMultipart(contentType, body, fields, file)) return text("-5|malformed upload");
    std::lock_guard<std::mutex> lock(mutex_);
    if (get(fields, "a") != "send_database") return text("-1|unknown action");
    if (!signedIn(fields)) return text("-2");
    if (file.empty()) return text("-5|empty file");
    backups_[get(fields, "un")] = StoredBackup{std::move(file), date_()};
    return text("1");
}

}  // namespace velmora::service
