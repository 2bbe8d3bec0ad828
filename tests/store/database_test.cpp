// The SQLite wrapper: new files, reading columns, order keys and
// transactions. A statement that does not prepare is the record store's
// failed writes' test.
#include "store/database.h"

#include <gtest/gtest.h>
#include <algorithm>

#include "store_test_util.h"

namespace velmora {
namespace {

using namespace testing;

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(db.execute("CREATE TABLE T(a INTEGER, b TEXT);"), kSqliteOk); }
    TempDir dir;
    Database db{dbIn(dir).string()};
};

TEST(Database, OpeningAMissingFileCreatesItAndClosedConnectionFails) {
    TempDir dir;
    {
        Database db(dbIn(dir).string());
        EXPECT_TRUE(db.isOpen());
        EXPECT_EQ(db.execute("CREATE TABLE T(a INTEGER, b TEXT);"), kSqliteOk);
        db.close();
        EXPECT_FALSE(db.isOpen());
        EXPECT_EQ(db.execute("SELECT 1;"), kSqliteError);
        EXPECT_EQ(db.getLastInsertId(), 1);
    }
    // New files carry the UTF-16le text encoding of the stored databases.
    EXPECT_EQ(rawScalar(dbIn(dir), "PRAGMA encoding;"), "UTF-16le");
}

TEST_F(DatabaseTest, CursorReadsColumnsRejectsBadIndexesAndRunsAgainAfterRelease) {
    ASSERT_EQ(db.execute("INSERT INTO T VALUES(7, NULL);"), kSqliteOk);
    Statement st(db, "SELECT a, b FROM T;");
    ASSERT_EQ(st.columnCount(), 2);
    for (int round = 0; round < 2; ++round) {  // releasing the cursor resets the statement
        SCOPED_TRACE(round);
        Cursor c = st.query();
        ASSERT_EQ(c.step(), kSqliteRow);
        int a = -1;
        EXPECT_TRUE(c.getInt(0, a));
        EXPECT_EQ(a, 7);
        Text b = "previous";
        EXPECT_TRUE(c.getString(1, b));
        EXPECT_EQ(b, "");  // NULL reads as empty text
        int untouched = 42;
        EXPECT_FALSE(c.getInt(2, untouched));
        EXPECT_FALSE(c.getInt(-1, untouched));
        EXPECT_EQ(untouched, 42);
        EXPECT_EQ(c.step(), kSqliteDone);
    }
}

// Values sorted by their keys come in the order of SQLite's ORDER BY: the
// storage classes, numbers by value, texts by their UTF-16le bytes ("aĀ"
// before "aä", unlike code point order).
TEST_F(DatabaseTest, OrderKeysSortAsOrderByDoes) {
    ASSERT_EQ(db.execute("CREATE TABLE U(id INTEGER, v); INSERT INTO U VALUES(1, 'b'), (2, NULL), (3, 'aä'), "
                         "(4, 10), (5, 9.5), (6, x'00'), (7, 'aa'), (8, 'A'), (9, 'aĀ'), (10, 'a');"),
              kSqliteOk);
    Statement st(db, "SELECT id, v FROM U;");
    Cursor c = st.query();
    std::vector<OrderKey> keys;
    std::vector<std::string> bytes, ids;  // what the keys' views show, kept
    while (c.step() == kSqliteRow) {
        ASSERT_TRUE(c.getOrderKey(1, keys.emplace_back()));
        bytes.emplace_back(keys.back().bytes);
        c.getString(0, ids.emplace_back());
    }
    for (std::size_t i = 0; i < keys.size(); ++i) keys[i].bytes = bytes[i];
    std::vector<std::size_t> order(keys.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) { return keys[x] < keys[y]; });
    Rows sorted;
    for (std::size_t i : order) sorted.push_back({ids[i]});
    EXPECT_EQ(sorted, rawQuery(dbIn(dir), "SELECT id FROM U ORDER BY v;"));
}

TEST_F(DatabaseTest, TransactionBeginsOnceCommitsAndRollsBackWhenLeftActive) {
    {
        Transaction tr(db, true);
        EXPECT_TRUE(tr.isActive());
        EXPECT_EQ(tr.begin(), kSqliteError);  // already active
        db.execute("INSERT INTO T VALUES(1, NULL);");
        EXPECT_EQ(tr.commit(), kSqliteOk);
        EXPECT_FALSE(tr.isActive());
        EXPECT_EQ(tr.commit(), kSqliteError);
    }
    {
        Transaction tr(db, false);
        EXPECT_EQ(tr.begin(), kSqliteOk);
        db.execute("INSERT INTO T VALUES(2, NULL);");
    }
    // Rolled back, not left open: a later write stands on its own.
    db.execute("INSERT INTO T VALUES(3, NULL);");
    EXPECT_EQ(rawQuery(dbIn(dir), "SELECT a FROM T;"), (Rows{{"1"}, {"3"}}));
}

}  // namespace
}  // namespace velmora
