#pragma once
// Import of the files of the version that kept each user in a file of its
// own ("profiles/*.vel") and a local password in "settings.dat", both
// below the program's data directory. A container is: the MD5 hex digest
// of the plain body, '|', the body XOR-scrambled with the field key.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/records.h"
#include "core/types.h"
#include "store/record_store.h"

namespace velmora {

inline constexpr char kLegacyProfilesDir[] = "profiles";
inline constexpr char kLegacyUserExtension[] = ".vel";
inline constexpr char kLegacySettingsFile[] = "settings.dat";

// The body as UTF-8 text when the digest matches; nullopt otherwise (also
// for 9 bytes or less, an empty body, or no '|').
std::optional<Text> readContainer(const std::string& fileBytes);
// Builds a container from a UTF-8 body (Windows-1252 inside).
std::string makeContainer(const Text& body);

// Parses a body into its users, after the line checks (the history is
// merged from the LOG sections): every PERSON section starts a user; other
// sections belong to the latest user (those before any PERSON to the
// first one).
std::vector<ImportedUser> parseLegacyBody(const Text& body);

// File names (without directory) of every "profiles/*.vel", in directory
// order.
std::vector<std::string> listLegacyUserFiles(const std::filesystem::path& dataDirectory);
// Imports one file: all its users in one transaction, so a failure
// stores none of them; the file is deleted only after the commit. False
// (the file stays) when it cannot be read, fails the check, or the store
// failed.
bool importUserFile(RecordStore& store, const std::filesystem::path& dataDirectory,
                    const std::string& name);
// importUserFile for every listed name; the number imported.
int importLegacyUsers(RecordStore& store, const std::filesystem::path& dataDirectory);

bool settingsFileExists(const std::filesystem::path& dataDirectory);
// Puts field 1 of the GENERAL section into user.account_password; false
// when the file cannot be read or fails the check.
bool readSettingsFile(const std::filesystem::path& dataDirectory, CurrentUser& user);
bool deleteSettingsFile(const std::filesystem::path& dataDirectory);

}  // namespace velmora
