#include "TlkBytes.h"
#include "TlkDocument.h"
#include "TlkWriter.h"

#include <gtest/gtest.h>

TEST(TlkDocument, SegmentsBlanksAndEditsMakeOneTable)
{
    TlkDocument doc;
    EXPECT_EQ(doc.count(), 1u);
    doc.assign(parseTlk(rawTlk({{1, "", 0, 0, 0, 1, 0}, {1, "", 0, 0, 1, 1, 0}}, "ab")));
    doc.appendBlank(2);
    doc.appendFile(parseTlk(rawTlk({{1, "s", 0, 0, 0, 1, 0}}, "c")));
    doc.appendFile(parseTlk(rawTlk({}, "")));
    doc.setRecord(1, {"edited", "snd", " 1.5 "});
    ASSERT_EQ(doc.count(), 5u);
    const char* texts[] = {"a", "edited", "", "", "c"};
    for (std::uint32_t i = 0; i < 5; ++i) EXPECT_EQ(doc.text(i), texts[i]) << i;
    EXPECT_EQ(doc.durationText(1, '.'), " 1.5 ");

    // The typed duration is stored as its single-precision value.
    TlkDocument back;
    back.assign(parseTlk(writeTlkBytes(doc, '.')));
    EXPECT_EQ(back.record(1, '.'), (TlkRecord{"edited", "snd", "1.5"}));
    EXPECT_EQ(back.text(4), "c");

    doc.reset();
    EXPECT_EQ(doc.count(), 1u);
    EXPECT_EQ(doc.record(0, '.'), TlkRecord{});
}

TEST(TlkDocument, HoldsAtMostTheLargestStrRefPlusOne)
{
    TlkDocument doc;
    doc.appendBlank(tlk::kMaxEntries - 1);
    EXPECT_EQ(doc.count(), tlk::kMaxEntries);
    EXPECT_EQ(doc.text(tlk::kMaxStrRef), "");
    EXPECT_THROW(doc.appendBlank(1), std::length_error);
    EXPECT_THROW(doc.appendFile(parseTlk(rawTlk({{}}, ""))), std::length_error);
    EXPECT_THROW(doc.setRecord(tlk::kMaxEntries, {}), std::out_of_range);
}
