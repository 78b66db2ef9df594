#include "TlkBytes.h"
#include "TlkTestDocument.h"
#include "TlkFile.h"
#include "TlkWriter.h"

#include "FileError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

TlkDocument read(const std::string& bytes)
{
    TlkDocument doc;
    doc.assign(parseTlk(bytes));
    return doc;
}

} // namespace

TEST(TlkWriter, FreshTableIsSixtyBytes)
{
    TlkDocument fresh;
    EXPECT_EQ(writeTlkBytes(fresh, '.'), rawHeader(1, 60) + std::string(40, '\0'));
}

TEST(TlkWriter, EmptyTableIsTheHeaderOnlyAndReadsBackEmpty)
{
    TlkDocument doc = docOf({});
    std::string bytes = writeTlkBytes(doc, '.');
    EXPECT_EQ(bytes, rawHeader(0, 20));
    EXPECT_EQ(read(bytes).count(), 0u);
}

TEST(TlkWriter, TwoRowExampleIsByteExact)
{
    TlkDocument doc = docOf({{"Hello", "snd01", "1.5"}, {}});
    std::string expected = rawHeader(2, 100) + rawEntry({7, "snd01", 0, 0, 0, 5, 1.5f}) +
                           rawEntry({0, "", 0, 0, 5, 0, 0}) + "Hello";
    EXPECT_EQ(writeTlkBytes(doc, '.'), expected);
    EXPECT_EQ(expected.size(), 105u);
}

TEST(TlkWriter, RunningOffsetIsGivenToEntriesWithoutText)
{
    TlkDocument doc = docOf({{"ab", "", ""}, {}, {"cde", "", ""}});
    std::string expected = rawHeader(3, 140) + rawEntry({1, "", 0, 0, 0, 2, 0}) + rawEntry({0, "", 0, 0, 2, 0, 0}) +
                           rawEntry({1, "", 0, 0, 2, 3, 0}) + "abcde";
    EXPECT_EQ(writeTlkBytes(doc, ','), expected);
}

TEST(TlkReader, EntryToRowRule)
{
    // Texts in any order, overlapping, with unused bytes; other header bytes are not looked at.
    std::string strings = "xxWorldHello";
    std::vector<RawEntry> entries = {
        {1, "", 9, 9, 7, 5, 0},                       // Hello
        {1 | 2 | 4, "0123456789abcdef", 0, 0, 2, 5, 2.3f}, // full 16-byte sound reference
        {2 | 4 | 0xF0, "vo\0junk", 0, 0, 0, 0, 0.5f},  // sound up to the first zero byte
        {0, "ignored", 0, 0, 0, 3, 9.0f},             // no bits: nothing shown
        {1, "", 0, 0, 12, 0, 0},                      // text present, size 0 at the very end
    };
    std::string bytes = rawTlk(entries, strings);
    bytes.replace(0, 12, "NOT A TLK!!!");
    TlkDocument doc = read(bytes);
    ASSERT_EQ(doc.count(), 5u);
    EXPECT_EQ(doc.record(0, '.'), (TlkRecord{"Hello", "", ""}));
    EXPECT_EQ(doc.record(1, ','), (TlkRecord{"World", "0123456789abcdef", "2,29999995231628"}));
    EXPECT_EQ(doc.record(2, '.'), (TlkRecord{"", "vo", "0.5"}));
    EXPECT_EQ(doc.record(3, '.'), (TlkRecord{}));
    EXPECT_EQ(doc.record(4, '.'), (TlkRecord{}));
}

TEST(TlkReader, WritingBackPacksAndDropsWhatTheTableDoesNotHold)
{
    std::vector<RawEntry> entries = {
        {1 | 2 | 4 | 8, "snd", 5, 6, 3, 2, 2.3f}, // extra flag bit, variances
        {0, "", 0, 0, 0, 4, 0},                   // size without TextPresent
        {1, "", 0, 0, 0, 0, 0},                   // TextPresent with size 0
        {2, "0123456789abcdef", 0, 0, 0, 0, 0},
    };
    std::string in = rawHeader(4, 180, "TLK V9.9", 1049) ;
    for (auto& e : entries) in += rawEntry(e);
    in += "xyzab";
    std::string expected = rawHeader(4, 180) + rawEntry({7, "snd", 0, 0, 0, 2, 2.3f}) +
                           rawEntry({0, "", 0, 0, 2, 0, 0}) + rawEntry({0, "", 0, 0, 2, 0, 0}) +
                           rawEntry({2, "0123456789abcdef", 0, 0, 2, 0, 0}) + "ab";
    EXPECT_EQ(writeTlkBytes(read(in), '.'), expected);
}

TEST(TlkReader, NonFiniteDurationsShowAsWordsAndWriteBackBitForBit)
{
    const std::uint32_t nanBits = 0x7FC01234, infBits = 0xFF800000;
    std::string in = rawHeader(2, 100);
    RawEntry a{4, "", 0, 0, 0, 0, tlk::bitsToFloat(nanBits)};
    RawEntry b{4, "", 0, 0, 0, 0, tlk::bitsToFloat(infBits)};
    in += rawEntry(a) + rawEntry(b);
    TlkDocument doc = read(in);
    EXPECT_EQ(doc.durationText(0, '.'), "NAN");
    EXPECT_EQ(doc.durationText(1, '.'), "-INF");
    EXPECT_EQ(writeTlkBytes(doc, '.'), in);
}

struct DamagedCase {
    const char* name;
    std::string bytes;
    const char* messagePart;
};

class DamagedTlk : public testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedTlk, IsRefusedWithAClearMessage)
{
    try {
        parseTlk(GetParam().bytes, "f.tlk");
        FAIL() << "accepted";
    } catch (const TlkFormatError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().messagePart), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    EachLimit, DamagedTlk,
    testing::Values(
        DamagedCase{"Empty", "", "shorter than the 20-byte header"},
        DamagedCase{"Short", "TLK V3.0\0\0\0", "shorter than the 20-byte header"},
        DamagedCase{"HugeCount", rawHeader(0xFFFFFFFF, 20), "entry table"},
        DamagedCase{"TableCut", rawHeader(2, 100) + std::string(79, '\0'), "entry table"},
        DamagedCase{"DataOffsetBeyondEnd", rawHeader(0, 21), "string data begins beyond"},
        DamagedCase{"TextBeyondData", rawTlk({{1, "", 0, 0, 2, 2, 0}}, "abc"), "entry 0"},
        DamagedCase{"TextOffsetWraps", rawTlk({{1, "", 0, 0, 0xFFFFFFFF, 2, 0}}, "abc"), "entry 0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TlkReader, FileRulesAndReadPoints)
{
    fs::path p = fs::temp_directory_path() / "qm_tlk_read.tlk";
    {
        std::ofstream(p, std::ios::binary) << rawTlk({{1, "", 0, 0, 0, 2, 0}, {}}, "hi");
    }
    std::vector<std::string> seen;
    TlkReadPoints points;
    points.afterEntryTable = [&] { seen.push_back("table"); };
    points.afterClose = [&] { seen.push_back("close"); };
    points.afterEntry = [&](std::uint32_t i) { seen.push_back(std::to_string(i)); };
    auto file = ReadTlk(p.string(), points);
    EXPECT_EQ(file->text(0), "hi");
    EXPECT_EQ(seen, (std::vector<std::string>{"table", "close", "0", "1"}));
    fs::remove(p);
    EXPECT_THROW(ReadTlk(p.string()), FileError);
}

TEST(TlkReader, ReadingInPiecesGivesTheSameTable)
{
    // 20 MB of string data and 16 MB of entry table: each read crosses a piece.
    const std::uint32_t n = 420000;
    std::vector<RawEntry> entries(n);
    std::string strings;
    for (std::uint32_t i = 0; i < n; ++i) {
        std::string t = std::to_string(i * 7919u) + std::string(40, char('a' + i % 26));
        entries[i] = {1, "", 0, 0, std::uint32_t(strings.size()), std::uint32_t(t.size()), 0};
        strings += t;
    }
    fs::path p = fs::temp_directory_path() / "qm_tlk_pieces.tlk";
    {
        std::ofstream(p, std::ios::binary) << rawTlk(entries, strings);
    }
    int pieces = 0;
    TlkReadPoints points;
    points.duringRead = [&] { ++pieces; };
    auto whole = ReadTlk(p.string());
    auto inPieces = ReadTlk(p.string(), points);
    fs::remove(p);
    EXPECT_GE(pieces, 2);
    ASSERT_EQ(inPieces->count(), n);
    for (std::uint32_t i : {0u, 1u, n / 2, n - 1}) EXPECT_EQ(inPieces->text(i), whole->text(i)) << i;
    EXPECT_EQ(inPieces->text(n - 1), std::to_string((n - 1) * 7919u) + std::string(40, char('a' + (n - 1) % 26)));
}

TEST(TlkWriter, FailureLeavesTheOldFileAndRunsNoPointUnlessStarted)
{
    fs::path dir = fs::temp_directory_path() / "qm_tlk_write";
    fs::remove_all(dir);
    fs::create_directories(dir);
    TlkDocument doc = docOf({{"x", "", ""}});
    int starts = 0, ends = 0;
    TlkWritePoints points;
    points.start = [&] { ++starts; };
    points.end = [&] { ++ends; };
    EXPECT_THROW(WriteTlk(doc, (dir / "no" / "a.tlk").string(), '.', points), FileError);
    EXPECT_EQ(starts + ends, 0);

    fs::path target = dir / "a.tlk";
    WriteTlk(doc, target.string(), '.', points);
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(ends, 1);
    std::ifstream in(target, std::ios::binary);
    std::string written{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(written, writeTlkBytes(doc, '.'));
    fs::remove_all(dir);
}

TEST(TlkWriter, RefusesATypedDurationThatIsNoNumberRatherThanStoringZero)
{
    TlkDocument doc = docOf({{"x", "", "1,5"}});
    EXPECT_EQ(writeTlkBytes(doc, ','), rawHeader(1, 60) + rawEntry({5, "", 0, 0, 0, 1, 1.5f}) + "x");
    try {
        writeTlkBytes(doc, '.');
        FAIL() << "written";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "The duration \"1,5\" of StrRef 0 is not a number.");
    }
}
