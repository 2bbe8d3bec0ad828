#pragma once
// The pieces that the record store's files share (record_store.h says which
// file holds what): statement formatting, column reads, the bound on texts
// read, and the statements that write one profile, reminder or log row on
// a connection the caller opened (alarm_statements.h has the alarm ones).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/records.h"
#include "core/types.h"
#include "store/record_store.h"

namespace velmora {

class Cursor;
class Database;

namespace detail {

// printf-style formatting of a statement text. Only integers and texts
// that cannot hold a quote (Base64, hex digests, fixed versions) are
// formatted in; every other text is bound.
std::string sqlf(const char* format, ...) __attribute__((format(printf, 1, 2)));

int serial(std::uint32_t sn);

// The column's value; 0 or the empty text when it cannot be read.
int intColumn(const Cursor& c, int column);
Text textColumn(const Cursor& c, int column);

// `text` cut to `limit` UTF-16 units (a surrogate pair is not split);
// `cut` counts a text that was longer.
std::u16string_view bounded(std::u16string_view text, std::size_t limit, std::size_t& cut);

// An enciphered text is Base64 of one byte per character: whole groups of
// four stored characters give the first kMaxRecordTextChars characters.
inline constexpr std::size_t kMaxEncipheredChars = kMaxRecordTextChars / 3 * 4;

// New user with program_type 0 and window 600; the new id, or -1.
int insertProfileOn(Database& db, bool needed, const Text& name, const Text& ssn,
                    const Text& phone, const Text& comment);
// REPLACE of the reminder's whole row, owner included.
bool saveDeviceOn(Database& db, const DeviceRecord& d, int owner);
// REPLACE of one log entry of `owner`.
bool saveLogEntryOn(Database& db, const LogEntry& e, int owner);

}  // namespace detail
}  // namespace velmora
