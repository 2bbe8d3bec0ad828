#pragma once
// The web service's actions and the reading of its replies. Every request
// is a POST to the service path whose body names the action in field `a`;
// values travel as Windows-1252 bytes. Each action fills the client's
// request and sends it; the outcome arrives later with the reply notice.
#include <string>

#include "core/types.h"
#include "online/service_client.h"

namespace velmora {

inline constexpr const char* kServicePath = "/velmora/service_velmora.php";
inline constexpr const char* kClientTypeCode = "2";
inline constexpr const char* kFormHeaders = "Content-Type: application/x-www-form-urlencoded\r\n";
inline constexpr const char* kDefaultBoundary = "AaB03x";

// Result codes the program relies on.
inline constexpr int kResultOk = 1;
inline constexpr int kResultNoData = 0;
inline constexpr int kResultWrongCredentials = -2;
inline constexpr int kResultPersonNotFound = -6;
inline constexpr int kResultTransferFailed = -10;
// "restore" with nothing stored for the account (the substitute service's code).
inline constexpr int kResultNoBackup = -7;

// A form value as it goes into a body: Windows-1252 bytes, with exactly
// "&", "=", "+", "%" and the control characters percent-encoded so that no
// value can change the body's structure. Everything else (a letter such as
// "ä" included) travels as its single byte.
std::string encodeFormValue(const Text& value);

// Request bodies, byte for byte.
std::string checkUserBody(const Text& user, const Text& password, const Text& language);
std::string changePasswordBody(const Text& user, const Text& current, const Text& newPassword,
                               const Text& newAgain);
std::string getDateBody(const Text& user, const Text& password, const Text& language);
std::string restoreBody(const Text& user, const Text& password, const Text& language);
std::string pouchDataBody(const Text& user, const Text& password, const Text& ssn,
                          const Text& language);

// The multipart upload of the database file.
struct MultipartRequest {
    std::string boundary;
    std::string headers;
    std::string body;
};
// The boundary is "AaB03x" unless "--AaB03x" occurs in what is sent; then
// the first of "AaB03x1", "AaB03x2", ... that does not occur is used.
MultipartRequest sendDatabaseRequest(const Text& user, const Text& password,
                                     const std::string& fileBytes);

// The actions. Each uses the client's user name and password and returns
// what ServiceClient::send() returned.
bool CheckUser(ServiceClient& client, const Text& language);
bool ChangePassword(ServiceClient& client, const Text& current, const Text& newPassword,
                    const Text& newAgain);
bool SendDatabase(ServiceClient& client, const std::string& fileBytes);
bool GetBackupDate(ServiceClient& client, const Text& language);
bool Restore(ServiceClient& client, const Text& language);
// Pouch data of the person with the given identity code; the reply's
// payload is the pouch data text.
bool GetPouchData(ServiceClient& client, const Text& ssn, const Text& language);

// Reads a reply "code[|payload]". When the state is not 1 the state itself
// is returned and the payload is left alone. Otherwise the text up to the
// first zero byte is taken as Windows-1252; the first "|"-separated token
// (runs of bars count as one) read as a decimal integer is the code, and
// for code 1 the second token is the payload (empty when there is none);
// for any other code the payload is emptied.
int readReply(int replyState, const std::string& replyBytes, Text& payload);
int ReadReply(const ServiceClient& client, Text& payload);

}  // namespace velmora
