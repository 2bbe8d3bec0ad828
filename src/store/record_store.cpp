// The record store's shared pieces (record_rows.h); its operations live in
// the files that record_store.h lists.
#include "store/record_store.h"

#include <cstdarg>
#include <cstdio>
#include <utility>

#include "store/database.h"
#include "store/record_rows.h"

namespace velmora {

namespace detail {

std::string sqlf(const char* format, ...) {
    char small[512];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < sizeof small) return std::string(small, static_cast<std::size_t>(n));
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    va_start(args, format);
    std::vsnprintf(out.data(), out.size(), format, args);
    va_end(args);
    out.resize(static_cast<std::size_t>(n));
    return out;
}

int serial(std::uint32_t sn) { return static_cast<int>(sn); }

int intColumn(const Cursor& c, int column) {
    int v = 0;
    c.getInt(column, v);
    return v;
}

Text textColumn(const Cursor& c, int column) {
    Text v;
    c.getString(column, v);
    return v;
}

std::u16string_view bounded(std::u16string_view text, std::size_t limit, std::size_t& cut) {
    if (text.size() <= limit) return text;
    ++cut;
    if (limit > 0 && text[limit - 1] >= 0xD800 && text[limit - 1] <= 0xDBFF) --limit;
    return text.substr(0, limit);
}

}  // namespace detail

RecordStore::RecordStore(std::filesystem::path databasePath) : path_(std::move(databasePath)) {}

}  // namespace velmora
