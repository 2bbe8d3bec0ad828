#include <gtest/gtest.h>

#include "core/cp1252.h"

using namespace velmora;

TEST(Cp1252, FinnishLettersAreSingleBytes) {
    EXPECT_EQ(toCp1252("Äiti öljy å"), std::string("\xC4iti \xF6lj\x79 \xE5"));
    EXPECT_EQ(fromCp1252("\xC4\xD6\xC5\xE4\xF6\xE5"), "ÄÖÅäöå");
}

TEST(Cp1252, TheHighRowMapsToItsCodePoints) {
    EXPECT_EQ(toCp1252("€ – — “x” Š ž Ÿ ™"), std::string("\x80 \x96 \x97 \x93x\x94 \x8A \x9E \x9F \x99"));
    EXPECT_EQ(fromCp1252("\x80\x85\x99"), "€…™");
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(toCp1252("Ж漢😀x"), "???x");
    EXPECT_EQ(toCp1252(std::u16string(u"Ωa")), "?a");
}

TEST(Cp1252, MalformedUtf8BecomesQuestionMarks) {
    EXPECT_EQ(toCp1252(std::string("a\xC3")), "a?");     // truncated sequence
    EXPECT_EQ(toCp1252(std::string("\xFF" "b")), "?b");  // invalid lead byte
    EXPECT_EQ(toCp1252(std::string("\xC0\xAF")), "??");  // overlong '/'
}

TEST(Cp1252, EveryByteRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(toCp1252(fromCp1252(all)), all);
    EXPECT_EQ(toCp1252(cp1252ToUtf16(all)), all);
}

TEST(Utf16, SurrogatePairsRoundTrip) {
    const Text s = "a😀ä";
    const std::u16string w = utf8ToUtf16(s);
    EXPECT_EQ(w.size(), 4u);
    EXPECT_EQ(utf16ToUtf8(w), s);
    // A lone surrogate becomes the replacement character.
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}
