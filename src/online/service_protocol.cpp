#include "online/service_protocol.h"

#include <climits>
#include <vector>

#include "core/cp1252.h"
#include "online/text_split.h"
#include "store/record_store.h"

namespace velmora {
namespace {

std::string field(const char* name, const Text& value) {
    return std::string("&") + name + "=" + encodeFormValue(value);
}

std::string languageAndType(const Text& language) {
    return field("l", language) + "&t=" + kClientTypeCode;
}

void prepare(ServiceClient& client, const std::string& headers, std::string body) {
    client.setObjectName(kServicePath);
    client.setRequestHeaders(headers);
    client.setRequestBody(std::move(body));
}

// Leading white space, optional sign, digits up to the first non-digit; no
// digits gives 0. Values beyond the int range saturate.
int leadingInt(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        value = value * 10 + (s[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    return static_cast<int>(value);
}

}  // namespace

std::string encodeFormValue(const Text& value) {
    static const char* hex = "0123456789ABCDEF";
    const std::string bytes = toCp1252(value);
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) {
        if (c == '&' || c == '=' || c == '+' || c == '%' || c < 0x20 || c == 0x7F) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0x0F];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string checkUserBody(const Text& user, const Text& password, const Text& language) {
    return "a=check_user" + field("un", user) + field("pw", password) + languageAndType(language);
}

std::string changePasswordBody(const Text& user, const Text& current, const Text& newPassword,
                               const Text& newAgain) {
    return "a=change_pw" + field("un", user) + field("pw", current) + field("npw1", newPassword) +
           field("npw2", newAgain) + "&t=" + kClientTypeCode;
}

std::string getDateBody(const Text& user, const Text& password, const Text& language) {
    return "a=get_date" + field("un", user) + field("pw", password) + languageAndType(language);
}

std::string restoreBody(const Text& user, const Text& password, const Text& language) {
    return "a=restore" + field("un", user) + field("pw", password) + languageAndType(language);
}

std::string pouchDataBody(const Text& user, const Text& password, const Text& ssn,
                          const Text& language) {
    return "a=get_pouch_data" + field("un", user) + field("pw", password) + field("ssn", ssn) +
           languageAndType(language);
}

MultipartRequest sendDatabaseRequest(const Text& user, const Text& password,
                                     const std::string& fileBytes) {
    const std::string form = "a=send_database" + field("un", user) + field("pw", password);
    MultipartRequest r;
    r.boundary = kDefaultBoundary;
    for (int n = 1; fileBytes.find("--" + r.boundary) != std::string::npos ||
                    form.find("--" + r.boundary) != std::string::npos;
         ++n) {
        r.boundary = std::string(kDefaultBoundary) + std::to_string(n);
    }
    const std::string& b = r.boundary;
    r.headers = "Content-Type: multipart/form-data, boundary=" + b + "\r\n";
    r.body.reserve(fileBytes.size() + 300);
    r.body += "--" + b + "\r\n";
    r.body += "Content-Disposition: form-data; name=\"part1\"\r\n";
    r.body += "\r\n";
    r.body += form + "\r\n";
    r.body += "--" + b + "\r\n";
    r.body += std::string("Content-Disposition: form-data; name=\"velmora\"; filename=\"") +
              kDatabaseFileName + "\"\r\n";
    r.body += "Content-Type: application/octet-stream\r\n";
    r.body += "Content-Transfer-Encoding: binary\r\n";
    r.body += "\r\n";
    r.body += fileBytes;
    r.body += "\r\n";
    r.body += "--" + b + "--\r\n";
    return r;
}

bool CheckUser(ServiceClient& client, const Text& language) {
    prepare(client, kFormHeaders, checkUserBody(client.userName(), client.password(), language));
    return client.send();
}

bool ChangePassword(ServiceClient& client, const Text& current, const Text& newPassword,
                    const Text& newAgain) {
    prepare(client, kFormHeaders,
            changePasswordBody(client.userName(), current, newPassword, newAgain));
    return client.send();
}

bool SendDatabase(ServiceClient& client, const std::string& fileBytes) {
    MultipartRequest r = sendDatabaseRequest(client.userName(), client.password(), fileBytes);
    prepare(client, r.headers, std::move(r.body));
    return client.send();
}

bool GetBackupDate(ServiceClient& client, const Text& language) {
    prepare(client, kFormHeaders, getDateBody(client.userName(), client.password(), language));
    return client.send();
}

bool Restore(ServiceClient& client, const Text& language) {
    prepare(client, kFormHeaders, restoreBody(client.userName(), client.password(), language));
    return client.send();
}

bool GetPouchData(ServiceClient& client, const Text& ssn, const Text& language) {
    prepare(client, kFormHeaders,
            pouchDataBody(client.userName(), client.password(), ssn, language));
    return client.send();
}

int readReply(int replyState, const std::string& replyBytes, Text& payload) {
    if (replyState != kReplyComplete) return replyState;
    const std::string text = replyBytes.substr(0, replyBytes.find('\0'));
    const std::vector<std::string> tokens = splitAtRuns(text, "|", 2);
    const int code = tokens.empty() ? 0 : leadingInt(tokens[0]);
    payload.clear();
    if (code == kResultOk && tokens.size() > 1) payload = fromCp1252(tokens[1]);
    return code;
}

int ReadReply(const ServiceClient& client, Text& payload) {
    return readReply(client.replyState(), client.reply(), payload);
}

}  // namespace velmora
