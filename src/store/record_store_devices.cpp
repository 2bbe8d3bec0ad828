// The reminders: table Devices.
#include "store/record_store.h"

#include "store/database.h"
#include "store/record_rows.h"

namespace velmora {

using namespace detail;

namespace {

DeviceRecord deviceFromRow(const Cursor& c) {
    DeviceRecord d;
    d.sn = static_cast<std::uint32_t>(intColumn(c, 0));
    d.device_type = intColumn(c, 1);
    d.programming_time = intColumn(c, 2);
    d.last_alarm = intColumn(c, 3);
    d.alarm_amount = intColumn(c, 4);
    return d;
}

}  // namespace

namespace detail {

bool saveDeviceOn(Database& db, const DeviceRecord& d, int owner) {
    Statement st(db, sqlf("REPLACE INTO Devices VALUES(%d, %d, %d, %d, %d, %d);", serial(d.sn),
                          d.device_type, d.programming_time, d.last_alarm, d.alarm_amount, owner));
    return stepSucceeded(st.executeNonQuery());
}

}  // namespace detail

// ---- Reminders ----

bool RecordStore::saveDevice(const DeviceRecord& record, int owner) {
    Database db(pathText());
    if (!db.isOpen()) return false;
    return saveDeviceOn(db, record, owner);
}

bool RecordStore::findDevice(std::uint32_t sn, DeviceRecord& record) {
    Database db(pathText());
    if (!db.isOpen()) return false;
    Statement st(db, sqlf("SELECT * FROM Devices WHERE sn = %d;", serial(sn)));
    Cursor c = st.query();
    if (c.step() == kSqliteRow) record = deviceFromRow(c);
    return true;
}

bool RecordStore::findOwnerDevice(int owner, DeviceRecord& record) {
    record = DeviceRecord{};
    Database db(pathText());
    if (!db.isOpen()) return false;
    Statement st(db, sqlf("SELECT * FROM Devices WHERE owner_id = %d AND device_type = %d;", owner,
                          static_cast<int>(DeviceRecord::kOwn)));
    Cursor c = st.query();
    bool found = false;
    while (c.step() == kSqliteRow) {
        record = deviceFromRow(c);
        found = true;
    }
    return found;
}

int RecordStore::getDeviceOwner(std::uint32_t sn) {
    Database db(pathText());
    if (!db.isOpen()) return -1;
    Statement st(db, sqlf("SELECT owner_id FROM Devices WHERE sn = %d;", serial(sn)));
    Cursor c = st.query();
    if (c.step() != kSqliteRow) return -1;
    return intColumn(c, 0);
}

bool RecordStore::setDeviceOwner(int owner, std::uint32_t sn) {
    Database db(pathText());
    if (!db.isOpen()) return false;
    Statement st(db, sqlf("UPDATE Devices SET owner_id = %d WHERE sn = %d;", owner, serial(sn)));
    return stepSucceeded(st.executeNonQuery());
}

bool RecordStore::loadOwnReminders(std::map<int, DeviceRecord>& byOwner) {
    Database db(pathText());
    if (!db.isOpen()) return false;
    Statement st(db, sqlf("SELECT * FROM Devices WHERE device_type = %d;",
                          static_cast<int>(DeviceRecord::kOwn)));
    Cursor c = st.query();
    while (c.step() == kSqliteRow) byOwner[intColumn(c, 5)] = deviceFromRow(c);
    return true;
}

}  // namespace velmora
