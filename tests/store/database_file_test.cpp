// The database file as a whole, on real SQLite files: the snapshot a
// backup sends and the dated copies a restore keeps.
#include <gtest/gtest.h>

#include <fstream>

#include "store/database_file.h"
#include "store/record_store.h"
#include "store/startup.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// A database of the program with one user, made as the program makes it.
fs::path makeDatabase(const fs::path& dir, const Text& user) {
    RecordStore store(dir / kDatabaseFileName);
    CurrentUser scratch;
    openDatabaseAtStartup(store, dir, scratch, makeTime(2026, 12, 6, 23, 0));
    store.insertProfile(false, user, "010101-0101", "", "");
    return store.databasePath();
}

void overwrite(const fs::path& file, std::streamoff at, const std::string& bytes) {
    std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(at);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TEST(DatabaseFile, SnapshotOfADamagedOrMissingDatabaseIsNotMade) {
    struct Case {
        const char* what;
        void (*spoil)(const fs::path& db);
        SnapshotResult expected;
    };
    const Case cases[] = {
        {"sound", [](const fs::path&) {}, SnapshotResult::Ok},
        {"a table page overwritten", [](const fs::path& db) { overwrite(db, 4096 + 8, std::string(64, '\x7f')); },
         SnapshotResult::Unreadable},
        {"not a database", [](const fs::path& db) { overwrite(db, 0, std::string(100, 'x')); },
         SnapshotResult::Unreadable},
        {"missing", [](const fs::path& db) { fs::remove(db); }, SnapshotResult::Unreadable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::TempDir dir;
        const fs::path db = makeDatabase(dir.path(), "Aino");
        c.spoil(db);
        std::string bytes;
        EXPECT_EQ(snapshotDatabase(db, bytes), c.expected);
        EXPECT_EQ(bytes.empty(), c.expected != SnapshotResult::Ok);
    }
}

TEST(DatabaseFile, RestoreKeepsTheFiveNewestDatedCopies) {
    testing::TempDir dir, other;
    const fs::path db = makeDatabase(dir.path(), "Aino");
    std::string backup;
    ASSERT_EQ(snapshotDatabase(makeDatabase(other.path(), "Bertta"), backup), SnapshotResult::Ok);
    for (int second = 0; second < 7; ++second)
        ASSERT_TRUE(replaceDatabase(db, backup, makeTime(2026, 12, 6, 23, 10, second)));
    std::vector<std::string> names;
    for (const fs::path& p : datedCopies(db)) names.push_back(p.filename().string());
    const std::vector<std::string> expected = {
        "velmora.db.bak-20261206-231002", "velmora.db.bak-20261206-231003", "velmora.db.bak-20261206-231004",
        "velmora.db.bak-20261206-231005", "velmora.db.bak-20261206-231006"};
    EXPECT_EQ(names, expected);
    // Nothing else is left beside the database (no temporary file).
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, expected.size() + 1);
}

}  // namespace
}  // namespace velmora
