#pragma once
// The account password digest, the logout marker digest and FieldCipher,
// the reversible scrambling of personal texts and reports in the database
// and in legacy files. All 8-bit text is Windows-1252 (core/cp1252.h), so
// stored forms match those written by earlier versions byte for byte.
#include <optional>
#include <string>
#include <string_view>

#include "core/records.h"
#include "core/types.h"

namespace velmora {

class RecordStore;

// Fixed key strings.
inline constexpr char kFieldKey[] = "Qe71Lmzp8";
inline constexpr char kAccountSalt[] = "Trw5581kbnaPqe";
inline constexpr char kLogoutMarker[] = "mXvbn628ptq4411zrw";

// MD5 (RFC 1321) of raw bytes as 32 lowercase hexadecimal digits.
std::string md5Hex(const std::string& bytes);

// Base64 (RFC 4648 standard alphabet, '=' padding, no line breaks).
std::string base64Encode(const std::string& bytes);
// Decodes up to the first '=' or the first character outside the
// alphabet; never fails (a trailing partial group yields its whole bytes).
std::string base64Decode(const std::string& text);

// XOR of the first (n mod 65536) bytes with the field key cycle from
// position 0; the rest stays as it is. Its own inverse.
std::string fieldXor(std::string bytes);

// Reversible scrambling of personal texts: Windows-1252, XOR with the
// field key, Base64. The empty text enciphers to the empty text. A
// character outside code page 1252 comes back as '?'.
struct FieldCipher {
    static std::string encipher(const Text& text);
    static Text decipher(std::string_view stored);
    // The same for a stored text read as UTF-16.
    static Text decipher(std::u16string_view stored);
};

// Md5Hex(salt + Windows-1252 bytes of the password).
std::string accountDigest(const Text& password);
// Md5Hex(logout marker): the stored password that means nobody is logged in.
std::string logoutDigest();

// Stores the CurrentUser's account name and AccountDigest(password) in the
// settings row. False when the database did not open or the write failed.
bool saveAccount(RecordStore& store, const CurrentUser& user, const Text& password);
// Sets the CurrentUser's logged-in flag; when false, also stores the
// logout marker digest as the password. False when the database did not
// open or the write failed.
bool setLoggedIn(RecordStore& store, CurrentUser& user, bool loggedIn);
// Offline login check against the settings copy read at start-up: both
// non-empty, the name equal (case-sensitive) and the digest equal.
bool checkAccount(const CurrentUser& user, const Text& username, const Text& password);

}  // namespace velmora
