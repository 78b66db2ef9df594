#include "TlkBytes.h"
#include "TlkTestDocument.h"
#include "TlkOperations.h"
#include "TlkWriter.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

namespace {

// Records that differ from each other and from blank ones.
std::vector<TlkRecord> numberedRecords(std::uint32_t count)
{
    std::vector<TlkRecord> out;
    for (std::uint32_t i = 0; i < count; ++i) out.push_back({"old" + std::to_string(i), "s", "1"});
    return out;
}

std::vector<TlkRecord> recordsOf(const TlkDocument& doc)
{
    std::vector<TlkRecord> out;
    for (std::uint32_t i = 0; i < doc.count(); ++i) out.push_back(doc.record(i, '.'));
    return out;
}

// Cyrillic text as the code page's bytes.
Bytes cp1251(std::string_view utf8) { return *CodePage::cp1251().encodeUtf8(utf8); }

// The what() of the exception that f throws, checking its type.
template <typename Error, typename F>
std::string errorText(F f)
{
    try {
        f();
    } catch (const Error& e) {
        return e.what();
    }
    ADD_FAILURE() << "no exception";
    return {};
}

} // namespace

// ---- Add Row, Edit Row, Clear Row ----

struct AddCase {
    std::uint32_t count;
    std::int64_t strRef;
};

class AddRecordTest : public ::testing::TestWithParam<AddCase> {};

TEST_P(AddRecordTest, AppendsBlanksThenTheRecordAndKeepsEveryExistingEntry)
{
    const AddCase c = GetParam();
    const std::vector<TlkRecord> before = numberedRecords(c.count);
    TlkDocument doc = docOf(before);
    TlkRecord added{"new\ntext", "vo_new", " 2,5 "};

    EXPECT_EQ(addRecord(doc, c.strRef, added), c.strRef + 1);

    ASSERT_EQ(doc.count(), c.strRef + 1);
    std::vector<TlkRecord> after = recordsOf(doc);
    for (std::uint32_t i = 0; i < c.count; ++i) EXPECT_EQ(after[i], before[i]) << i;
    for (std::int64_t i = c.count; i < c.strRef; ++i) EXPECT_EQ(after[i], TlkRecord{}) << i;
    EXPECT_EQ(after.back(), added);
}

INSTANTIATE_TEST_SUITE_P(StrRefs, AddRecordTest,
                         ::testing::Values(AddCase{1, 1},     // the fresh table's offer
                                           AddCase{3, 3},     // N
                                           AddCase{3, 6},     // N+3: three blank entries first
                                           AddCase{0, 0}));   // a table read from an empty file

TEST(AddRecord, RefusesStrRefsOutsideItsRangeAndChangesNothing)
{
    TlkDocument doc = docOf({{"a", "", ""}, {"b", "", ""}});
    for (std::int64_t v : {std::int64_t(-1), std::int64_t(0), std::int64_t(1), std::int64_t(16777216)}) {
        std::string what = errorText<std::out_of_range>([&] { addRecord(doc, v, {"x", "", ""}); });
        EXPECT_NE(what.find("StrRef " + std::to_string(v)), std::string::npos) << what;
        EXPECT_NE(what.find("from 2 "), std::string::npos) << what;
    }
    EXPECT_EQ(recordsOf(doc), (std::vector<TlkRecord>{{"a", "", ""}, {"b", "", ""}}));
}

TEST(AddRecord, TakesTheLargestStrRefAndThenNoMore)
{
    TlkDocument doc;
    EXPECT_EQ(addRecord(doc, tlk::kMaxStrRef, {"last", "", ""}), 16777216);
    EXPECT_EQ(doc.count(), tlk::kMaxEntries);
    EXPECT_EQ(doc.text(tlk::kMaxStrRef), "last");

    std::string what = errorText<std::length_error>([&] { addRecord(doc, tlk::kMaxStrRef, {}); });
    EXPECT_NE(what.find("No StrRef is left after the last entry"), std::string::npos) << what;
    EXPECT_EQ(doc.count(), tlk::kMaxEntries);
    EXPECT_EQ(doc.text(tlk::kMaxStrRef), "last");
}

TEST(EditRecord, RewritesTheEntryOfTheRowOnly)
{
    TlkDocument doc;
    doc.assign(parseTlk(rawTlk({{7, "snd0", 0, 0, 0, 3, 1.5f}, {7, "snd1", 0, 0, 3, 3, 2.0f}}, "onetwo")));
    EXPECT_TRUE(editRecord(doc, 2, {"zwei", "s2", "3"}));
    EXPECT_EQ(recordsOf(doc), (std::vector<TlkRecord>{{"one", "snd0", "1.5"}, {"zwei", "s2", "3"}}));
}

TEST(ClearRecord, EmptiesTheLastEntryAndKeepsTheRowCount)
{
    TlkDocument doc;
    doc.assign(parseTlk(rawTlk({{7, "snd0", 0, 0, 0, 3, 1.5f}, {7, "snd1", 0, 0, 3, 3, 2.0f}}, "onetwo")));
    EXPECT_TRUE(clearRecord(doc, 2));
    EXPECT_EQ(doc.count(), 2u);
    EXPECT_EQ(recordsOf(doc), (std::vector<TlkRecord>{{"one", "snd0", "1.5"}, {}}));
    // Written back, the cleared entry has no flags and no text.
    EXPECT_EQ(writeTlkBytes(doc, '.'), rawTlk({{7, "snd0", 0, 0, 0, 3, 1.5f}, {0, "", 0, 0, 3, 0, 0}}, "one"));
}

TEST(EditRecord, NeverTouchesTheHeaderRowNorATableWithoutEntries)
{
    TlkDocument doc = docOf({{"a", "b", "1"}});
    EXPECT_FALSE(editRecord(doc, 0, {"x", "", ""}));
    EXPECT_FALSE(clearRecord(doc, 0));
    EXPECT_EQ(recordsOf(doc), (std::vector<TlkRecord>{{"a", "b", "1"}}));
    EXPECT_THROW(editRecord(doc, 2, {}), std::out_of_range);
    EXPECT_THROW(clearRecord(doc, -1), std::out_of_range);

    TlkDocument empty = docOf({});
    for (int row : {0, 1}) {
        EXPECT_FALSE(editRecord(empty, row, {"x", "", ""}));
        EXPECT_FALSE(clearRecord(empty, row));
    }
    EXPECT_EQ(empty.count(), 0u);
}

// ---- Duration check ----

struct DurationCase {
    const char* text;
    char separator;
    bool accepted;
};

class CheckDurationTest : public ::testing::TestWithParam<DurationCase> {};

TEST_P(CheckDurationTest, AcceptsOrGivesTheFailureMessage)
{
    const DurationCase c = GetParam();
    std::optional<std::string> failure = checkDuration(c.text, c.separator);
    if (c.accepted) {
        EXPECT_FALSE(failure) << *failure;
    } else {
        ASSERT_TRUE(failure);
        EXPECT_EQ(*failure, std::string("Ошибка преобразования строки в дробное число.\nSysem message:\n'") + c.text +
                                "' is not a valid floating point value");
    }
}

INSTANTIATE_TEST_SUITE_P(Separators, CheckDurationTest,
                         ::testing::Values(DurationCase{"", ',', true}, DurationCase{"1,5", ',', true},
                                           DurationCase{" 1,5 ", ',', true}, DurationCase{"-2,5E3", ',', true},
                                           DurationCase{"1.5", ',', false}, DurationCase{"abc", ',', false},
                                           DurationCase{"", '.', true}, DurationCase{"1.5", '.', true},
                                           DurationCase{"1,5", '.', false}, DurationCase{" ", '.', false},
                                           DurationCase{"1.5s", '.', false}));

// ---- Text normalisation and the lines of Edit Row ----

TEST(NormaliseText, RemovesEveryCarriageReturnAndKeepsLineFeeds)
{
    EXPECT_EQ(normaliseText("first\r\nsecond\r\n"), "first\nsecond\n");
    EXPECT_EQ(normaliseText("a\rb\r\r\nc"), "ab\nc");
    EXPECT_EQ(normaliseText(""), "");
}

struct LinesCase {
    const char* text;
    std::vector<Bytes> lines;
};

class SplitLinesTest : public ::testing::TestWithParam<LinesCase> {};

TEST_P(SplitLinesTest, EachKindOfBreakEndsOneLine)
{
    EXPECT_EQ(splitLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Breaks, SplitLinesTest,
    ::testing::Values(LinesCase{"", {""}}, LinesCase{"one", {"one"}}, LinesCase{"a\nb", {"a", "b"}},
                      LinesCase{"a\rb", {"a", "b"}}, LinesCase{"a\r\nb", {"a", "b"}},
                      LinesCase{"a\n\rb", {"a", "", "b"}}, LinesCase{"a\r\r\nb\n", {"a", "", "b", ""}}));

// ---- Goto StrRef ----

struct GotoCase {
    const char* text;
    TlkGotoResult::Kind kind;
    int row;
};

class GotoTest : public ::testing::TestWithParam<GotoCase> {};

TEST_P(GotoTest, GivesTheRowOrTheMessage)
{
    const GotoCase c = GetParam();
    TlkGotoResult result = gotoStrRef(c.text, 20);
    EXPECT_EQ(result.kind, c.kind);
    switch (c.kind) {
    case TlkGotoResult::Found:
        EXPECT_EQ(result.row, c.row);
        EXPECT_EQ(result.message, "");
        break;
    case TlkGotoResult::ConversionFailure:
        EXPECT_EQ(result.message, std::string("Ошибка преобразования строки в целое число.\nSysem message:\n'") +
                                      c.text + "' is not a valid integer value");
        break;
    case TlkGotoResult::MissingStrRef:
        EXPECT_EQ(result.message, "Скорее всего строки с таким StrRef'ом тут нету.  Гы-гы 8-).\nSysem message:\n"
                                  "Grid index out of range");
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    TwentyEntries, GotoTest,
    ::testing::Values(GotoCase{"0", TlkGotoResult::Found, 1}, GotoCase{"19", TlkGotoResult::Found, 20},
                      GotoCase{"0x10", TlkGotoResult::Found, 17}, GotoCase{"$a", TlkGotoResult::Found, 11},
                      GotoCase{" 5", TlkGotoResult::Found, 6}, GotoCase{"+5", TlkGotoResult::Found, 6},
                      GotoCase{"5 ", TlkGotoResult::ConversionFailure, 0},
                      GotoCase{"", TlkGotoResult::ConversionFailure, 0},
                      GotoCase{"abc", TlkGotoResult::ConversionFailure, 0},
                      GotoCase{"2147483648", TlkGotoResult::ConversionFailure, 0},
                      GotoCase{"-1", TlkGotoResult::MissingStrRef, 0},
                      GotoCase{"20", TlkGotoResult::MissingStrRef, 0},
                      GotoCase{"2147483647", TlkGotoResult::MissingStrRef, 0}));

TEST(Goto, FindsNoRowInATableWithoutEntries)
{
    EXPECT_EQ(gotoStrRef("0", 0).kind, TlkGotoResult::MissingStrRef);
}

// ---- Find string ----

class FindTest : public ::testing::Test {
protected:
    // Rows 1..7; row r holds StrRef r-1.
    TlkDocument doc = docOf({
        {"Hello world", "vo_hello", "1"},           // row 1
        {"nothing here", "hello_sound", ""},        // row 2: "hello" only in the sound
        {"say HELLO again", "", ""},                // row 3
        {cp1251("Привет, мир"), "", ""},            // row 4
        {"", "", ""},                               // row 5
        {cp1251("ПРИВЕТ снова"), "VO_BYE", ""},     // row 6
        {"hello at the end", "", ""},               // row 7
    });

    int find(BytesView text, int currentRow, TlkSearchColumn column = TlkSearchColumn::Text)
    {
        TlkSearch search(doc, column, currentRow, text, CodePage::cp1251());
        return search.run() == TlkSearch::State::Found ? search.foundRow() : -1;
    }
};

TEST_F(FindTest, RepeatedFindVisitsMatchesDownwardThenNotFound)
{
    std::vector<int> visited;
    int row = 1; // the selected row is itself never searched
    for (int found; (found = find("hello", row)) != -1; row = found) visited.push_back(found);
    EXPECT_EQ(visited, (std::vector<int>{3, 7}));
    EXPECT_EQ(row, 7);
}

TEST_F(FindTest, HeaderIsNoCandidateButTheFirstEntryIs)
{
    EXPECT_EQ(find("hello", 0), 1);
    EXPECT_EQ(find("hello", -5), 1);
}

TEST_F(FindTest, NeverWrapsToTheTop)
{
    EXPECT_EQ(find("world", 1), -1); // only row 1 holds it
    EXPECT_EQ(find("hello", 7), -1); // the last row is selected
    EXPECT_EQ(find("hello", 8), -1);
}

TEST_F(FindTest, EmptySearchTextMatchesNothing)
{
    TlkSearch search(doc, TlkSearchColumn::Text, 0, "", CodePage::cp1251());
    EXPECT_EQ(search.state(), TlkSearch::State::NotFound);
    EXPECT_EQ(search.run(), TlkSearch::State::NotFound);
}

struct CaseFoldCase {
    const char* utf8;
    int from;
    int row;
};

class FindCaseTest : public FindTest, public ::testing::WithParamInterface<CaseFoldCase> {};

TEST_P(FindCaseTest, IgnoresCaseOfLatinAndCyrillicLetters)
{
    EXPECT_EQ(find(cp1251(GetParam().utf8), GetParam().from), GetParam().row);
}

INSTANTIATE_TEST_SUITE_P(Letters, FindCaseTest,
                         ::testing::Values(CaseFoldCase{"HELLO WORLD", 0, 1}, CaseFoldCase{"hello again", 0, 3},
                                           CaseFoldCase{"ПРИВЕТ", 0, 4}, CaseFoldCase{"привет", 4, 6},
                                           CaseFoldCase{"Мир", 0, 4}, CaseFoldCase{"ё", 0, -1},
                                           CaseFoldCase{"d", 0, 1}, CaseFoldCase{"hello world!", 0, -1}));

TEST_F(FindTest, SoundRefSearchesOnlySoundReferences)
{
    EXPECT_EQ(find("HELLO", 0, TlkSearchColumn::Sound), 1);
    EXPECT_EQ(find("HELLO", 1, TlkSearchColumn::Sound), 2);
    EXPECT_EQ(find("HELLO", 2, TlkSearchColumn::Sound), -1);
    EXPECT_EQ(find("bye", 0, TlkSearchColumn::Sound), 6);
    EXPECT_EQ(find("nothing", 0, TlkSearchColumn::Sound), -1);
}

TEST_F(FindTest, ComparesTheTableAsItWasAtTheStart)
{
    TlkSearch search(doc, TlkSearchColumn::Text, 0, "needle", CodePage::cp1251());
    doc.setRecord(4, {"a needle", "", ""});   // row 5, changed after the start
    doc.appendBlank(1);
    doc.setRecord(7, {"needle", "", ""});     // row 8, added after the start
    EXPECT_EQ(search.run(), TlkSearch::State::NotFound);

    TlkSearch later(doc, TlkSearchColumn::Text, 0, "needle", CodePage::cp1251());
    doc.setRecord(4, {}); // removed again: still found, at its row of the start
    EXPECT_EQ(later.run(), TlkSearch::State::Found);
    EXPECT_EQ(later.foundRow(), 5);
}

TEST_F(FindTest, LetsTheCallerRunAfterEveryRowThatDoesNotMatch)
{
    // From row 3: rows 4, 5 and 6 miss, row 7 matches.
    TlkSearch search(doc, TlkSearchColumn::Text, 3, "end", CodePage::cp1251());
    std::vector<int> missed;
    EXPECT_EQ(search.run([&] {
        missed.push_back(search.nextRow() - 1);
        return true;
    }),
              TlkSearch::State::Found);
    EXPECT_EQ(missed, (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(search.foundRow(), 7);

    // Steps of a few rows at a time; a caller may stop between them.
    TlkSearch stepped(doc, TlkSearchColumn::Text, 0, "end", CodePage::cp1251());
    EXPECT_EQ(stepped.step(3), TlkSearch::State::Running);
    EXPECT_EQ(stepped.nextRow(), 4);
    EXPECT_EQ(stepped.step(3), TlkSearch::State::Running);
    EXPECT_EQ(stepped.step(3), TlkSearch::State::Found);
    EXPECT_EQ(stepped.foundRow(), 7);

    TlkSearch stopped(doc, TlkSearchColumn::Text, 0, "end", CodePage::cp1251());
    EXPECT_EQ(stopped.run([] { return false; }), TlkSearch::State::Running);
    EXPECT_EQ(stopped.nextRow(), 2);

    TlkSearch missing(doc, TlkSearchColumn::Text, 0, "absent", CodePage::cp1251());
    int misses = 0;
    EXPECT_EQ(missing.run([&] { return ++misses, true; }), TlkSearch::State::NotFound);
    EXPECT_EQ(misses, 7);
}

// ---- Append ----

namespace {

// Three entries: a text with a line feed, a full 16-byte sound reference,
// and a sound with a duration but no text bit (its size is ignored).
std::shared_ptr<const TlkFile> threeEntryFile()
{
    return parseTlk(rawTlk({{1 | 4, "", 0, 0, 0, 7, 1.5f},
                            {1 | 2, "0123456789abcdef", 0, 0, 4, 3, 0},
                            {2 | 4, "vo_c", 0, 0, 0, 4, 0.25f}},
                           "one\ntwo"));
}

const std::vector<TlkRecord> kThree = {{"one\ntwo", "", "1.5"}, {"two", "0123456789abcdef", ""}, {"", "vo_c", "0.25"}};

struct ProgressLog {
    std::vector<std::pair<int, std::uint32_t>> begins;
    std::vector<std::uint32_t> blankCounts; // document count at each blank-row report
    std::uint32_t lastBlank = 0, lastEntry = 0, entryReports = 0;
};

TlkAppendProgress logTo(ProgressLog& log, const TlkDocument& doc)
{
    TlkAppendProgress p;
    p.begin = [&log](TlkAppendProgress::Phase phase, std::uint32_t total) { log.begins.push_back({phase, total}); };
    p.row = [&log, &doc](TlkAppendProgress::Phase phase, std::uint32_t done) {
        if (phase == TlkAppendProgress::BlankRows) {
            log.blankCounts.push_back(doc.count());
            log.lastBlank = done;
        } else {
            ++log.entryReports;
            log.lastEntry = done;
        }
    };
    return p;
}

} // namespace

struct AppendCase {
    std::uint32_t count; // entries before
    std::uint32_t gap;   // S - N
    bool emptyFile;
};

class AppendTest : public ::testing::TestWithParam<AppendCase> {};

TEST_P(AppendTest, BlankRowsThenTheFilesEntriesWithProgress)
{
    const AppendCase c = GetParam();
    const std::vector<TlkRecord> before = numberedRecords(c.count);
    TlkDocument doc = docOf(before);
    auto file = c.emptyFile ? parseTlk(rawTlk({}, "")) : threeEntryFile();
    const std::uint32_t added = file->count();

    ProgressLog log;
    appendTlk(doc, file, c.count + c.gap, logTo(log, doc));

    std::vector<TlkRecord> expected = before;
    expected.resize(c.count + c.gap);
    if (!c.emptyFile) expected.insert(expected.end(), kThree.begin(), kThree.end());
    EXPECT_EQ(recordsOf(doc), expected);

    EXPECT_EQ(log.begins, (std::vector<std::pair<int, std::uint32_t>>{{TlkAppendProgress::BlankRows, c.gap},
                                                                       {TlkAppendProgress::Entries, added}}));
    // Blank rows appear one at a time, each reported as it is added.
    std::vector<std::uint32_t> counts;
    for (std::uint32_t k = 1; k <= c.gap; ++k) counts.push_back(c.count + k);
    EXPECT_EQ(log.blankCounts, counts);
    EXPECT_EQ(log.lastBlank, c.gap);
    EXPECT_EQ(log.entryReports, added);
    EXPECT_EQ(log.lastEntry, added);
}

INSTANTIATE_TEST_SUITE_P(Starts, AppendTest,
                         ::testing::Values(AppendCase{1, 0, false},   // S = N on a fresh table
                                           AppendCase{2, 2, false},   // S = N+2
                                           AppendCase{0, 0, false},   // to a table without entries
                                           AppendCase{2, 0, true},    // a file of no entries: no row
                                           AppendCase{2, 3, true}));  // ... but the blank rows

TEST(Append, WrittenBackTheFullSoundReferenceStaysSixteenBytes)
{
    TlkDocument doc;
    appendTlk(doc, threeEntryFile(), 1);
    TlkDocument back;
    back.assign(parseTlk(writeTlkBytes(doc, '.')));
    EXPECT_EQ(back.sound(2), "0123456789abcdef");
    EXPECT_EQ(back.durationText(3, '.'), "0.25");
}

TEST(Append, RefusesAStartBeforeTheEndOrBeyondTheLargestStrRef)
{
    TlkDocument doc = docOf({{"a", "", ""}, {"b", "", ""}});
    ProgressLog log;
    for (std::int64_t s : {std::int64_t(1), std::int64_t(-1), std::int64_t(16777216)}) {
        std::string what = errorText<std::out_of_range>([&] { appendTlk(doc, threeEntryFile(), s, logTo(log, doc)); });
        EXPECT_NE(what.find("StrRef " + std::to_string(s)), std::string::npos) << what;
    }
    EXPECT_EQ(doc.count(), 2u);
    EXPECT_TRUE(log.begins.empty());
}

TEST(Append, KeepsWithinSixteenMillionEntriesAndChecksBeforeAddingBlankRows)
{
    TlkDocument doc;
    doc.appendBlank(tlk::kMaxEntries - 10 - 1); // N = 16777206
    ProgressLog log;

    // 8 blank rows then 3 entries would end at StrRef 16777216.
    std::string what = errorText<std::length_error>(
        [&] { appendTlk(doc, threeEntryFile(), tlk::kMaxEntries - 10 + 8, logTo(log, doc)); });
    EXPECT_NE(what.find("16777216"), std::string::npos) << what;
    EXPECT_EQ(doc.count(), tlk::kMaxEntries - 10);
    EXPECT_TRUE(log.begins.empty());

    // 7 blank rows then 3 entries end exactly at StrRef 16777215.
    appendTlk(doc, threeEntryFile(), tlk::kMaxEntries - 3, logTo(log, doc));
    EXPECT_EQ(doc.count(), tlk::kMaxEntries);
    EXPECT_EQ(doc.sound(tlk::kMaxStrRef), "vo_c");

    // The table is full: not even a file of no entries has a StrRef to go to.
    what = errorText<std::length_error>([&] { appendTlk(doc, parseTlk(rawTlk({}, "")), tlk::kMaxStrRef); });
    EXPECT_NE(what.find("No StrRef is left after the last entry"), std::string::npos) << what;
    EXPECT_EQ(doc.count(), tlk::kMaxEntries);
}

TEST(Append, StopsWhenTheTableChangesUnderTheBlankRows)
{
    TlkDocument doc;
    TlkAppendProgress progress;
    progress.row = [&](TlkAppendProgress::Phase phase, std::uint32_t done) {
        if (phase == TlkAppendProgress::BlankRows && done == 1) addRecord(doc, doc.count(), {"intruder", "", ""});
    };
    EXPECT_THROW(appendTlk(doc, threeEntryFile(), 4, progress), std::logic_error);
    EXPECT_EQ(doc.count(), 3u); // no entry of the file went in at a shifted StrRef
}
