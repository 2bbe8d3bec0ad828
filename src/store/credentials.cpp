#include "store/credentials.h"

#include <algorithm>

#include <openssl/evp.h>

#include <array>
#include <cstdint>
#include <type_traits>

#include "core/cp1252.h"
#include "store/record_store.h"

namespace velmora {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The value of each byte in the alphabet, -1 outside it.
constexpr std::array<signed char, 256> kBase64Values = [] {
    std::array<signed char, 256> values{};
    values.fill(-1);
    for (int i = 0; i < 64; ++i) values[static_cast<unsigned char>(kAlphabet[i])] = static_cast<signed char>(i);
    return values;
}();

// The value of one code unit (a byte, or a UTF-16 unit) in the alphabet, -1
// outside it. No non-ASCII character is in it.
int base64Value(std::uint32_t c) { return c < 256 ? kBase64Values[c] : -1; }

template <typename Unit>
std::uint32_t unitAt(const Unit* s, std::size_t i) {
    return static_cast<std::make_unsigned_t<Unit>>(s[i]);
}

// Decodes Base64 up to the first '=' or unit outside the alphabet.
template <typename Unit>
std::string decodeBase64(const Unit* s, std::size_t n) {
    std::string out(n / 4 * 3 + n % 4, '\0');  // room for whole bytes of n units
    std::size_t k = 0;
    unsigned acc = 0;
    int bits = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const int v = base64Value(unitAt(s, i));
        if (v < 0) break;
        acc = (acc << 6) | static_cast<unsigned>(v);
        bits += 6;
        if (bits < 8) continue;
        bits -= 8;
        out[k++] = static_cast<char>((acc >> bits) & 0xFF);
    }
    out.resize(k);
    return out;
}

}  // namespace

std::string md5Hex(const std::string& bytes) {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int len = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest.data(), &len, EVP_md5(), nullptr);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(2 * len);
    for (unsigned int i = 0; i < len; ++i) {
        out.push_back(kHex[digest[i] >> 4]);
        out.push_back(kHex[digest[i] & 0x0F]);
    }
    return out;
}

std::string base64Encode(const std::string& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    const auto byteAt = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    for (; i + 3 <= bytes.size(); i += 3) {
        unsigned v = (byteAt(i) << 16) | (byteAt(i + 1) << 8) | byteAt(i + 2);
        out.push_back(kAlphabet[(v >> 18) & 63]);
        out.push_back(kAlphabet[(v >> 12) & 63]);
        out.push_back(kAlphabet[(v >> 6) & 63]);
        out.push_back(kAlphabet[v & 63]);
    }
    std::size_t rest = bytes.size() - i;
    if (rest == 1) {
        unsigned v = byteAt(i) << 16;
        out.push_back(kAlphabet[(v >> 18) & 63]);
        out.push_back(kAlphabet[(v >> 12) & 63]);
        out += "==";
    } else if (rest == 2) {
        unsigned v = (byteAt(i) << 16) | (byteAt(i + 1) << 8);
        out.push_back(kAlphabet[(v >> 18) & 63]);
        out.push_back(kAlphabet[(v >> 12) & 63]);
        out.push_back(kAlphabet[(v >> 6) & 63]);
        out.push_back('=');
    }
    return out;
}

std::string base64Decode(const std::string& text) { return decodeBase64(text.data(), text.size()); }

std::string fieldXor(std::string bytes) {
    constexpr std::size_t keyLen = sizeof(kFieldKey) - 1;
    const std::size_t n = bytes.size() % 65536;
    for (std::size_t i = 0, k = 0; i < n; ++i) {
        bytes[i] = static_cast<char>(bytes[i] ^ kFieldKey[k]);
        if (++k == keyLen) k = 0;
    }
    return bytes;
}

std::string FieldCipher::encipher(const Text& text) {
    return base64Encode(fieldXor(toCp1252(text)));
}

// Decoding ends at the first character outside the Base64 alphabet, and
// code page 1252 turns every non-ASCII character into a byte outside it
// too: the stored text is decoded as it is, without that conversion.
Text FieldCipher::decipher(std::string_view stored) {
    return fromCp1252(fieldXor(decodeBase64(stored.data(), stored.size())));
}

Text FieldCipher::decipher(std::u16string_view stored) {
    return fromCp1252(fieldXor(decodeBase64(stored.data(), stored.size())));
}

std::string accountDigest(const Text& password) {
    return md5Hex(std::string(kAccountSalt) + toCp1252(password));
}

std::string logoutDigest() { return md5Hex(kLogoutMarker); }

bool saveAccount(RecordStore& store, const CurrentUser& user, const Text& password) {
    return store.storeAccount(user.account_name, accountDigest(password));
}

bool setLoggedIn(RecordStore& store, CurrentUser& user, bool loggedIn) {
    user.logged_in = loggedIn;
    if (loggedIn) return true;
    return store.storePassword(logoutDigest());
}

bool checkAccount(const CurrentUser& user, const Text& username, const Text& password) {
    if (username.empty() || password.empty()) return false;
    return username == user.settings.username && accountDigest(password) == user.settings.password;
}

}  // namespace velmora
