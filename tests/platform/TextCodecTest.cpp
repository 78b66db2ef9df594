#include "TextCodec.h"

#include <gtest/gtest.h>

namespace {

TEST(TextCodecTest, EveryByteRoundTrips)
{
    Bytes all;
    for (int b = 0; b < 256; ++b)
        all.push_back(char(b));
    for (const CodePage* cp : {&CodePage::cp1251(), &CodePage::cp1252()}) {
        const QString text = toQString(all, *cp);
        EXPECT_EQ(text.size(), 256);
        EXPECT_EQ(fromQString(text, *cp), all) << cp->name();
    }
}

TEST(TextCodecTest, CharacterTheCodePageLacksIsRefusedAndNamed)
{
    EXPECT_EQ(fromQString("Привет", CodePage::cp1251()), Bytes("\xCF\xF0\xE8\xE2\xE5\xF2"));
    QChar missing;
    EXPECT_FALSE(fromQString("Привет", CodePage::cp1252(), &missing));
    EXPECT_EQ(missing, QChar(u'П'));
    EXPECT_FALSE(fromQString(QString::fromUcs4(U"a\U0001F600"), CodePage::cp1251(), &missing));
    EXPECT_TRUE(missing.isHighSurrogate());
}

} // namespace
