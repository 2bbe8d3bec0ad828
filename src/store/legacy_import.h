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

namespace velmora {

class RecordStore;

inline constexpr char kLegacyProfilesDir[] = "profiles";
inline constexpr char kLegacyUserExtension[] = ".vel";
inline constexpr char kLegacySettingsFile[] = "settings.dat";

// The body as UTF-8 text when the digest matches; nullopt otherwise (also
// for 9 bytes or less, an empty body, or no '|').
std::optional<Text> readContainer(const std::string& fileBytes);
// Builds a container from a UTF-8 body (Windows-1252 inside).
std::string makeContainer(const Text& body);

// What one user file holds, after the line checks.
struct LegacyUser {
    Profile profile;  // history filled (merged) from the LOG section
    std::vector<DeviceRecord> devices;
    std::vector<Alarm> alarms;
    bool hasPerson = false;
};
// Parses a body into its users: every PERSON section starts a user; other
// sections belong to the latest user (those before any PERSON to the
// first one).
std::vector<LegacyUser> parseLegacyBody(const Text& body);

// File names (without directory) of every "profiles/*.vel", in directory
// order.
std::vector<std::string> listLegacyUserFiles(const std::filesystem::path& dataDirectory);
// Imports one file. Each user of the file is stored whole in one
// transaction; the file is deleted only when all of them were stored.
// False (the file stays) when it cannot be read, fails the check, or any
// store failed.
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
