#pragma once
// The user list as read at start-up, its texts still enciphered (used by
// record_store_profiles.cpp and record_store_current_user.cpp).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/records.h"
#include "core/types.h"
#include "store/credentials.h"
#include "store/database.h"

namespace velmora {

// The rows of Profiles as read, the texts still enciphered. Deciphering
// them, most of the work of loading the users, waits until the users are
// first read (UserList); the users come out as deciphering each row when
// it was read would have given them. Rows and texts are kept in blocks that
// never move (growing one buffer for 5,000 users copied it again and again).
class SealedProfiles {
public:
    // `utf8`: the database stores its texts as UTF-8 (else as UTF-16).
    void read(Cursor& c, bool utf8);
    std::size_t size() const { return count_; }
    // Texts read cut to kMaxRecordTextChars.
    std::size_t cut() const { return cut_; }
    // Deciphers every row and appends the users, ordered by plain name.
    void open(std::vector<Profile>& list) const;

private:
    struct Row {
        int id = 0;
        int flag = 0;
        int programType = 0;
        int window = 0;
        // name, ssn, phone, comment: the bytes of each text in the
        // database's own encoding
        const char* texts[4] = {};
        std::uint32_t sizes[4] = {};
        // The stored name as SQLite orders it: the bytes of texts[0] when
        // the name is a text as stored, otherwise keys_[key].
        int key = -1;
        std::string_view text(int i) const { return {texts[i], sizes[i]}; }
    };
    struct StoredKey {  // an OrderKey that keeps its bytes
        int storageClass = 0;
        double number = 0;
        std::string bytes;
    };
    void keep(Row& r, const std::string_view (&texts)[4]);
    OrderKey keyOf(const Row& row) const;
    Text decipher(std::string_view bytes) const {
        if (utf8_) return FieldCipher::decipher(bytes);
        // UTF-16 texts have an even number of bytes and start at even
        // places of blocks of char16_t.
        return FieldCipher::decipher(
            std::u16string_view(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / 2));
    }

    static constexpr std::size_t kRowBlock = 256;
    static constexpr std::size_t kTextBlock = 32768;  // bytes
    std::vector<std::vector<Row>> rows_;
    std::vector<std::unique_ptr<char16_t[]>> texts_;
    char* next_ = nullptr;  // the free part of the last block
    std::size_t room_ = 0;
    std::vector<StoredKey> keys_;
    std::size_t count_ = 0;
    std::size_t cut_ = 0;
    bool utf8_ = false;
};

}  // namespace velmora
