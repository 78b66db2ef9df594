#include "CodePage.h"

#include <gtest/gtest.h>

#include <set>

TEST(CodePage, EveryByteRoundTripsThroughUnicode)
{
    for (const CodePage* page : {&CodePage::cp1251(), &CodePage::cp1252()}) {
        std::set<char32_t> seen;
        Bytes all;
        for (int b = 0; b < 256; ++b) {
            seen.insert(page->toUnicode(static_cast<unsigned char>(b)));
            all += char(b);
        }
        EXPECT_EQ(seen.size(), 256u) << page->name();
        EXPECT_EQ(page->encodeUtf8(page->decodeToUtf8(all)), all) << page->name();
        EXPECT_EQ(page->encodeUtf16(page->decodeToUtf16(all)), all) << page->name();
    }
    EXPECT_EQ(CodePage::cp1251().toUnicode(0x98), U'\x98');
    EXPECT_EQ(CodePage::cp1252().toUnicode(0x81), U'\x81');
}

TEST(CodePage, RefusesCharactersItCannotHold)
{
    char32_t missing = 0;
    EXPECT_FALSE(CodePage::cp1251().encodeUtf8("caf\xC3\xA9", &missing)); // e acute
    EXPECT_EQ(missing, U'\xE9');
    EXPECT_EQ(CodePage::cp1252().encodeUtf8("caf\xC3\xA9"), Bytes("caf\xE9"));
    EXPECT_FALSE(CodePage::cp1252().encodeUtf8("\xD0\x96")); // Cyrillic Zhe
    EXPECT_FALSE(CodePage::cp1251().encodeUtf8("\xC3")); // cut short
}

TEST(CodePage, LowerCasesLatinAndCyrillic)
{
    const auto& cp = CodePage::cp1251();
    EXPECT_EQ(cp.toLower("HeLLo"), "hello");
    EXPECT_EQ(cp.toLower("\xC0\xDF\xA8\xA5\xB2"), "\xE0\xFF\xB8\xB4\xB3"); // А Я Ё Ґ І
    EXPECT_EQ(cp.toLower("\xE0\xFF"), "\xE0\xFF");
    EXPECT_EQ(CodePage::cp1252().toLower("\xC9\x8A\x9F"), "\xE9\x9A\xFF"); // É Š Ÿ
}
