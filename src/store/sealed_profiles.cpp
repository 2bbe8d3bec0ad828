// Reading the users' rows with their texts as stored, and deciphering and
// ordering them when the list is first read.
#include "store/sealed_profiles.h"

#include <algorithm>

#include "store/record_rows.h"

namespace velmora {

using namespace detail;

namespace {

// A stored enciphered text as its bytes (UTF-8, or UTF-16 in the
// machine's order), cut to kMaxEncipheredChars characters without
// splitting one; `cut` counts a text that was longer.
std::string_view boundedStored(std::string_view bytes, bool utf8, std::size_t& cut) {
    if (!utf8) {
        const std::u16string_view wide(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / 2);
        return bytes.substr(0, 2 * bounded(wide, kMaxEncipheredChars, cut).size());
    }
    if (bytes.size() <= kMaxEncipheredChars) return bytes;
    ++cut;
    std::size_t limit = kMaxEncipheredChars;
    while (limit > 0 && (static_cast<unsigned char>(bytes[limit]) & 0xC0) == 0x80) --limit;
    return bytes.substr(0, limit);
}

// Bytes from..from+7 of a text as a big-endian number, zeros past its end:
// numbers of two texts compare as the texts' bytes do, unless equal.
std::uint64_t bigEndianPrefix(std::string_view text, std::size_t from) {
    std::uint64_t v = 0;
    for (std::size_t i = from; i < from + 8; ++i)
        v = (v << 8) | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0u);
    return v;
}

}  // namespace

void SealedProfiles::keep(Row& r, const std::string_view (&texts)[4]) {
    // Each text starts at an even place, so that UTF-16 texts stay aligned.
    std::size_t total = 0;
    for (const std::string_view& t : texts) total += t.size() + (t.size() & 1);
    if (total > room_) {
        room_ = std::max(kTextBlock, total);
        texts_.push_back(std::make_unique_for_overwrite<char16_t[]>((room_ + 1) / 2));
        next_ = reinterpret_cast<char*>(texts_.back().get());
    }
    for (int i = 0; i < 4; ++i) {
        r.texts[i] = next_;
        r.sizes[i] = static_cast<std::uint32_t>(texts[i].size());
        next_ = std::copy(texts[i].begin(), texts[i].end(), next_) + (texts[i].size() & 1);
    }
    room_ -= total;
}

void SealedProfiles::read(Cursor& c, bool utf8) {
    utf8_ = utf8;
    const auto bytes = [](std::u16string_view t) {
        return std::string_view(reinterpret_cast<const char*>(t.data()), t.size() * 2);
    };
    const auto readText = [&](int column, std::string_view& out) {
        if (utf8) return c.getString8(column, out);
        std::u16string_view wide;
        const bool ok = c.getString16(column, wide);
        out = bytes(wide);
        return ok;
    };
    while (c.step() == kSqliteRow) {
        if (rows_.empty() || rows_.back().size() == kRowBlock) rows_.emplace_back().reserve(kRowBlock);
        Row& r = rows_.back().emplace_back();
        ++count_;
        r.id = intColumn(c, 0);
        r.flag = intColumn(c, 1);
        std::string_view t[4];
        std::u16string_view wide;
        const bool asStored = utf8 ? c.getStoredUtf8(2, t[0]) : c.getStoredUtf16(2, wide);
        if (!utf8) t[0] = bytes(wide);
        if (!asStored) {
            // Read before the text, which may convert the stored value.
            OrderKey key;
            c.getOrderKey(2, key);
            r.key = static_cast<int>(keys_.size());
            key.bytes = key.bytes.substr(0, 2 * kMaxEncipheredChars);
            keys_.push_back({key.storageClass, key.number, std::string(key.bytes)});
            readText(2, t[0]);
        }
        for (int i = 1; i < 4; ++i) readText(2 + i, t[i]);
        for (std::string_view& text : t) text = boundedStored(text, utf8, cut_);
        keep(r, t);
        r.programType = intColumn(c, 6);
        r.window = intColumn(c, 7);
    }
}

OrderKey SealedProfiles::keyOf(const Row& row) const {
    if (row.key < 0) return OrderKey{2, 0, row.text(0)};
    const StoredKey& key = keys_[static_cast<std::size_t>(row.key)];
    return OrderKey{key.storageClass, key.number, key.bytes};
}

void SealedProfiles::open(std::vector<Profile>& list) const {
    // The stored names are enciphered, so the order is made here, on the
    // plain names. Users of the same plain name keep the order the stored
    // names gave them when SQLite sorted by them: by stored name, then by
    // id. The first 16 bytes of each name, as two numbers, decide most
    // comparisons without reading the names; each user is then moved once.
    struct Entry {
        std::uint64_t head[2];
        std::string_view name;
        const Row* row;
        std::size_t index;
    };
    std::vector<Profile> opened(count_);
    std::vector<Entry> order;
    order.reserve(count_);
    std::size_t i = 0;
    for (const std::vector<Row>& block : rows_) {
        for (const Row& r : block) {
            Profile& p = opened[i];
            p.id = r.id;
            p.is_programming_needed = r.flag != 0;
            p.setName(decipher(r.text(0)));
            p.setSsn(decipher(r.text(1)));
            p.setPhone(decipher(r.text(2)));
            p.setComment(decipher(r.text(3)));
            p.program_type = r.programType;
            p.window = r.window;
            order.push_back({{bigEndianPrefix(p.name, 0), bigEndianPrefix(p.name, 8)}, p.name, &r, i});
            ++i;
        }
    }
    std::sort(order.begin(), order.end(), [this](const Entry& a, const Entry& b) {
        if (a.head[0] != b.head[0]) return a.head[0] < b.head[0];
        if (a.head[1] != b.head[1]) return a.head[1] < b.head[1];
        if (const int d = a.name.compare(b.name); d != 0) return d < 0;
        const OrderKey x = keyOf(*a.row), y = keyOf(*b.row);
        if (x < y || y < x) return x < y;
        return a.row->id < b.row->id;
    });
    list.reserve(list.size() + count_);
    for (const Entry& entry : order) list.push_back(std::move(opened[entry.index]));
}

}  // namespace velmora
