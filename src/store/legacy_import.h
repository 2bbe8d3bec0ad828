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

// A file is imported exactly once, whatever ends the program on the way.
// It is first claimed: renamed to "<name>.import-<N>", N being the
// database's import mark plus one. The users go in with the mark set to N
// in the same transaction; then the claimed file is removed. At the next
// start a claimed file is removed when the mark is N (its users are in),
// and imported otherwise. A file that cannot be renamed could not be
// removed either, so it is not imported at all.
inline constexpr char kClaimedMarker[] = ".import-";

// Told of each step of an import, with the claimed file's name:
// "claimed" after the rename, "stored" after the commit.
using ImportStepHook = void (*)(const char* step, const std::string& file);

enum class ImportResult {
    Imported,
    Unreadable,    // cannot be read or fails the check: stays, retried
    NotRemovable,  // cannot be renamed (so not removed): not imported
    NotStored,     // the database refused the users: stays, retried
    Waiting,       // another file's claim is still open: tried next time
};
struct ImportProblem {
    std::string file;  // name below "profiles"
    ImportResult result = ImportResult::Unreadable;
    Text reason;       // the system's or SQLite's text
};
struct LegacyImportReport {
    int imported = 0;
    std::vector<ImportProblem> problems;  // NotRemovable and NotStored only
};

// Imports one file: all its users in one transaction, so a failure
// stores none of them.
ImportResult importUserFile(RecordStore& store, const std::filesystem::path& dataDirectory,
                            const std::string& name, Text* reason = nullptr,
                            ImportStepHook onStep = nullptr);
// Settles the claims that an ended program left, then imports every
// listed file; none while a claim stays unsettled.
LegacyImportReport importLegacyUsers(RecordStore& store, const std::filesystem::path& dataDirectory,
                                     ImportStepHook onStep = nullptr);

bool settingsFileExists(const std::filesystem::path& dataDirectory);
// Puts field 1 of the GENERAL section into user.account_password; false
// when the file cannot be read or fails the check.
bool readSettingsFile(const std::filesystem::path& dataDirectory, CurrentUser& user);
bool deleteSettingsFile(const std::filesystem::path& dataDirectory);

}  // namespace velmora
