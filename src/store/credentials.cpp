#include "store/credentials.h"

#include <algorithm>

#include <openssl/evp.h>

#include <array>

#include "core/cp1252.h"
#include "store/record_store.h"

namespace velmora {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
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

std::string base64Decode(const std::string& text) {
    std::string out;
    out.reserve(text.size() / 4 * 3 + 3);
    unsigned acc = 0;
    int bits = 0;
    for (char c : text) {
        int v = base64Value(c);
        if (v < 0) break;  // '=' or anything outside the alphabet ends the data
        acc = (acc << 6) | static_cast<unsigned>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<char>((acc >> bits) & 0xFF));
        }
    }
    return out;
}

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

Text FieldCipher::decipher(const std::string& stored) {
    // Stored forms are Base64, plain ASCII, which code page 1252 leaves as
    // it is: only other texts need the conversion first.
    const bool ascii = std::all_of(stored.begin(), stored.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) return fromCp1252(fieldXor(base64Decode(stored)));
    return fromCp1252(fieldXor(base64Decode(toCp1252(stored))));
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
