#include "store/credentials.h"

#include <gtest/gtest.h>

#include "store/record_store.h"
#include "store_test_util.h"

namespace velmora {
namespace {

TEST(Base64, Rfc4648VectorsBothWaysAndDecodingStopsAtFillOrForeignCharacter) {
    const std::pair<const char*, const char*> vectors[] = {
        {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
    };
    for (const auto& [plain, coded] : vectors) {
        EXPECT_EQ(base64Encode(plain), coded);
        EXPECT_EQ(base64Decode(coded), plain);
    }
    EXPECT_EQ(base64Encode(std::string("\xff\xfe\x00", 3)), "//4A");
    // A lone sextet makes no byte.
    for (const char* coded : {"Zm9v=Zm9v", "Zm9v Zm9v", "Zm9v\nYmFy", "Zm9vY"}) EXPECT_EQ(base64Decode(coded), "foo");
    EXPECT_EQ(base64Decode("!Zm9v"), "");
}

TEST(FieldCipher, KeyRestartsAfterNineBytesAndOnlyTheFirstLengthMod65536BytesAreScrambled) {
    const std::string text(65536 + 10, 'x');
    const std::string raw = base64Decode(FieldCipher::encipher(text));
    ASSERT_EQ(raw.size(), text.size());
    EXPECT_EQ(raw[0], static_cast<char>('x' ^ 'Q'));
    EXPECT_EQ(raw[9], raw[0]);
    EXPECT_EQ(raw[10], 'x');
    EXPECT_EQ(raw.back(), 'x');
    EXPECT_EQ(FieldCipher::decipher(FieldCipher::encipher(text)), text);
}

TEST(FieldCipher, RoundTripsFinnishAndReplacesForeignCharacters) {
    for (const Text& t : {Text("Äiti Öljynen, Åbo"), Text("line\nfeed|bar'quote"), Text("€ – …")})
        EXPECT_EQ(FieldCipher::decipher(FieldCipher::encipher(t)), t) << t;
    EXPECT_EQ(FieldCipher::decipher(FieldCipher::encipher("Ωmega 漢")), "?mega ?");
    // Not Base64: whatever decodes up to the bad character, never a failure.
    EXPECT_EQ(FieldCipher::decipher(FieldCipher::encipher("Aino") + "*junk"), "Aino");
    // Read as UTF-16 too: a character beyond Latin-1 ends the data like any foreign one.
    for (const char16_t* stored : {u"EAxZXgŁAAA", u"EAxZXg==", u"EAxZXgŁ"})
        EXPECT_EQ(FieldCipher::decipher(std::u16string_view(stored)), "Aino");
}

// MD5 as RFC 1321 gives it (a long text spans two blocks), and the digests and enciphered texts that
// databases written by earlier versions hold ("Aino" and the empty text are pinned by the statement log test).
TEST(StoredForms, KnownValues) {
    EXPECT_EQ(FieldCipher::encipher("Pääkkönen Åsa"), "AYHTWiebFBVWcaBEUA==");
    EXPECT_EQ(md5Hex("1234567890123456789012345678901234567890123456789012345678901234567890123456"
                     "7890"),
              "57edf4a22be3c955ac49da2e2107b67a");
    EXPECT_EQ(logoutDigest(), "b5b7ba5c9694d2b0a4f991607780802a");
    EXPECT_EQ(accountDigest("Sala-ä"), "cb0cc6f77035b9a5c727d0c1a6623761");
}

TEST(CheckAccount, ComparesNameExactlyAndPasswordByDigest) {
    CurrentUser user;
    user.settings.username = "Apteekki";
    user.settings.password = accountDigest("salainen");
    EXPECT_TRUE(checkAccount(user, "Apteekki", "salainen"));
    for (const auto& [name, password] : {std::pair{"apteekki", "salainen"}, {"Apteekki", "Salainen"}, {"", "salainen"},
                                         {"Apteekki", ""}})
        EXPECT_FALSE(checkAccount(user, name, password)) << name << " / " << password;
}

using AccountTest = testing::StoreTest;

// The stored digests themselves are the account flow's test.
TEST_F(AccountTest, SigningInStoresNothingAndSigningOutKeepsTheName) {
    CurrentUser user;
    user.account_name = "O'Brien Apteekki";  // a quote must neither break nor alter the statement
    ASSERT_TRUE(saveAccount(store, user, "pw"));
    SettingsRow row;
    ASSERT_TRUE(setLoggedIn(store, user, true));
    ASSERT_TRUE(store.readSettings(row));
    EXPECT_EQ(row.password, accountDigest("pw"));

    ASSERT_TRUE(setLoggedIn(store, user, false));
    ASSERT_TRUE(store.readSettings(row));
    EXPECT_EQ(std::tuple(row.username, row.password), std::tuple("O'Brien Apteekki", logoutDigest()));
    EXPECT_EQ(rows("Settings"), 1);
}

}  // namespace
}  // namespace velmora
