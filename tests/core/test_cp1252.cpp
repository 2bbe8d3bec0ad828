#include <gtest/gtest.h>

#include "core/cp1252.h"
#include "core/text.h"

using namespace velmora;

TEST(Cp1252, EncodesToSingleBytesOrQuestionMarks) {
    const struct {
        std::string utf8, bytes;
    } cases[] = {
        {"Äiti öljy å", "\xC4iti \xF6lj\x79 \xE5"},
        {"€ – — ‘x’ “x” Š ž Ÿ ™", "\x80 \x96 \x97 \x91x\x92 \x93x\x94 \x8A \x9E \x9F \x99"},
        {"Ж漢😀x", "???x"},                  // outside the code page
        {std::string("a\xC3"), "a?"},        // truncated sequence
        {std::string("\xFF" "b"), "?b"},     // invalid lead byte
        {std::string("\xC0\xAF"), "??"},     // overlong '/'
    };
    for (const auto& c : cases) EXPECT_EQ(toCp1252(c.utf8), c.bytes) << c.utf8;
    EXPECT_EQ(toCp1252(std::u16string(u"Ωa")), "?a");
    EXPECT_EQ(fromCp1252("\xC4\xD6\xC5\x80\x85\x99"), "ÄÖÅ€…™");
}

TEST(Utf16, SurrogatePairsRoundTripAndLoneOnesAreReplaced) {
    const Text s = "a😀ä";
    const std::u16string w = utf8ToUtf16(s);
    EXPECT_EQ(w.size(), 4u);
    EXPECT_EQ(utf16ToUtf8(w), s);
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(FillPlaceholder, InsertsTheValueLiterally) {
    const struct {
        const char *pattern, *value;
        bool every;
        const char* out;
    } cases[] = {
        {"Poistetaanko käyttäjä %s?", "Aino", false, "Poistetaanko käyttäjä Aino?"},
        {"Delete %s?", "100%s %d %n", false, "Delete 100%s %d %n?"},
        {"%s and %s", "x", false, "x and %s"},
        {"%s and %s%", "v%s", true, "v%s and v%s%"},
        {"100% %s", "v", true, "100% v"},
        {"", "x", true, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fillPlaceholder(c.pattern, c.value, c.every), c.out) << c.pattern;
    }
}
