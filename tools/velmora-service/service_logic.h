#pragma once
// The substitute web service's behaviour, apart from HTTP: accounts,
// password change, stored backups with their date, restore and pouch data.
// Requests come in as the content type and the raw body; replies go out in
// the service's formats: "code[|payload]" as text, or for a restore the
// stored database file itself. Account names and passwords are kept as
// the Windows-1252 bytes that travel in the requests.
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace velmora::service {

struct ServiceReply {
    int status = 200;
    std::string contentType = "text/plain; charset=windows-1252";
    std::string body;
};

struct StoredBackup {
    std::string bytes;
    std::string date;  // "dd.mm.yyyy hh:mm", local time of the upload
};

// Form fields of an application/x-www-form-urlencoded body: "%XX" decoded,
// "+" read as a space. A later field of the same name wins.
std::map<std::string, std::string> parseForm(const std::string& body);

// A multipart/form-data body: the boundary comes from the content type
// (after "boundary=", up to ";" or ","; quotes removed). The fields of the
// part named "part1" are parsed as a form into `fields`; the bytes of the
// part that carries a filename go to `file`. False when the body does not
// follow the boundary.
bool parseMultipart(const std::string& contentType, const std::string& body,
                    std::map<std::string, std::string>& fields, std::string& file);

class ServiceLogic {
public:
    using DateSource = std::function<std::string()>;
    // `date` gives the text stored with each backup; local time by default.
    explicit ServiceLogic(DateSource date = {});

    void setDateSource(DateSource date);
    void addAccount(const std::string& user, const std::string& password);
    std::optional<std::string> passwordOf(const std::string& user) const;
    // A person known to the pharmacy; empty pouch text means no pouch data.
    void setPouchData(const std::string& ssn, const std::string& pouchText);
    std::optional<StoredBackup> backupOf(const std::string& user) const;
    void setBackup(const std::string& user, StoredBackup backup);

    ServiceReply handle(const std::string& contentType, const std::string& body);

private:
    bool signedIn(const std::map<std::string, std::string>& f) const;
    ServiceReply handleForm(const std::map<std::string, std::string>& f);
    ServiceReply handleUpload(const std::string& contentType, const std::string& body);

    DateSource date_;
    mutable std::mutex mutex_;
    std::map<std::string, std::string> accounts_;
    std::map<std::string, StoredBackup> backups_;
    std::map<std::string, std::string> pouches_;
};

}  // namespace velmora::service
