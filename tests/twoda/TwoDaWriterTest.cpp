#include "Sheet.h"
#include "SheetRows.h"
#include "TwoDaWriter.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>

namespace fs = std::filesystem;

namespace {

const std::string kHead = "2DA V2.0\r\n\r\n";

struct WriteCase {
    const char* name;
    SheetRows cells;
    std::string bytes; // after the signature and the empty line
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class WriteCases : public testing::TestWithParam<WriteCase> {};

TEST_P(WriteCases, GiveTheseBytes)
{
    Sheet sheet = sheetFromRows(GetParam().cells);
    EXPECT_EQ(format2da(sheet), kHead + GetParam().bytes);
    EXPECT_EQ(rowsOf(sheet), GetParam().cells); // formatting alone changes nothing
}

INSTANTIATE_TEST_SUITE_P(
    Layout, WriteCases,
    testing::Values(
        WriteCase{"NewSheet", {{""}}, "   \r\n"},
        WriteCase{"WorkedExample",
                  {{" ", "Label", "Name"}, {"7", "a", "b c"}, {"9", "", "x"}},
                  "    Label   Name   \r\n"
                  "0   a       \"b c\"  \r\n"
                  "1   ****    x      \r\n"},
        WriteCase{"WidestTextOfFiveGivesEight", {{"", "abcde"}, {"0", "x"}}, "    abcde   \r\n0   x       \r\n"},
        WriteCase{"LabelsRenumbered", {{"", "a"}, {"10", "x"}, {"20", "y"}, {"x", "z"}},
                  "    a   \r\n0   x   \r\n1   y   \r\n2   z   \r\n"},
        WriteCase{"LongLabelsWidenColumnZero", {{"corner text", "a"}, {"a very long label", "x"}}, "    a   \r\n0   x   \r\n"},
        WriteCase{"ElevenDataRowsHaveTwoDigitLabels",
                  {{"", "a"}, {"", "x"}, {"", "x"}, {"", "x"}, {"", "x"}, {"", "x"}, {"", "x"}, {"", "x"}, {"", "x"}, {"", "x"}, {"", "x"}, {"", "x"}},
                  "     a   \r\n0    x   \r\n1    x   \r\n2    x   \r\n3    x   \r\n4    x   \r\n"
                  "5    x   \r\n6    x   \r\n7    x   \r\n8    x   \r\n9    x   \r\n10   x   \r\n"},
        WriteCase{"SingleColumn", {{"x"}, {"y"}}, "    \r\n0   \r\n"},
        WriteCase{"HighBytesUnchanged", {{"", "\xC8\xEC\xFF"}, {"0", "\x80"}}, "    \xC8\xEC\xFF   \r\n0   \x80     \r\n"},
        WriteCase{"PlaceholderAndBlankValues", {{"", "ab"}, {"0", "****"}, {"1", " "}, {"2", ""}},
                  "    ab     \r\n0   ****   \r\n1   \" \"    \r\n2   ****   \r\n"}));

// Texts the reader would read back differently are quoted, empty names get
// the placeholder, and two cells always stay apart.
INSTANTIATE_TEST_SUITE_P(
    SafeTexts, WriteCases,
    testing::Values(
        WriteCase{"NameWithBlankQuoted", {{"", "a b", "c"}, {"0", "x", "y"}}, "    \"a b\" c   \r\n0   x     y   \r\n"},
        WriteCase{"EmptyNameGetsPlaceholder", {{"", "", "c"}, {"0", "x", "y"}}, "    **** c   \r\n0   x   y   \r\n"},
        WriteCase{"TabQuoted", {{"", "a"}, {"0", "x\ty"}}, "    a     \r\n0   \"x\ty\" \r\n"},
        WriteCase{"ControlByteQuoted", {{"", "a"}, {"0", "\x01"}}, "    a   \r\n0   \"\x01\" \r\n"},
        WriteCase{"LeadingMarkQuotedAndDoubled", {{"", "a", "b"}, {"0", "\"ab\"c", "x"}},
                  "    a       b   \r\n0   \"\"\"ab\"\"c\" x   \r\n"},
        WriteCase{"MarkInsideLeftAlone", {{"", "a"}, {"0", "x\"y"}}, "    a     \r\n0   x\"y   \r\n"},
        WriteCase{"BlankAndMarkQuoted", {{"", "a"}, {"0", "\" "}}, "    a    \r\n0   \"\"\" \"\r\n"},
        WriteCase{"PlaceholderInNarrowColumns", {{"", "a", "b"}, {"0", "", ""}}, "    a   b   \r\n0   **** ****\r\n"},
        WriteCase{"EmptyColumnOfWidthThree", {{"", "", ""}, {"0", "", ""}}, "    **** ****\r\n0   **** ****\r\n"}));

TEST(Write2da, ColumnWiderThanSixteenBitsStillSeparated)
{
    std::string wide(40000, 'w');
    Sheet sheet = sheetFromRows({{"", "a", "b"}, {"0", wide, "x"}, {"1", wide + " " + wide, "y"}});
    std::string expected = kHead + "    a" + std::string(80003, ' ') + "b   \r\n" +
                           "0   " + wide + std::string(40004, ' ') + "x   \r\n" +
                           "1   \"" + wide + " " + wide + "\" y   \r\n";
    EXPECT_EQ(format2da(sheet), expected);
}

std::string slurp(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class Write2daFile : public testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("qm_twoda_write_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::size_t filesInDir() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {})); }

    fs::path dir;
};

TEST_F(Write2daFile, WritesTheFileAndRelabelsTheSheet)
{
    Sheet sheet = sheetFromRows({{" ", "a"}, {"10", "x"}, {"20", "y"}, {"x", ""}});
    fs::path file = dir / "t.2da";
    std::ofstream(file) << "old";
    Write2da(sheet, file.string());
    EXPECT_EQ(slurp(file), kHead + "    a   \r\n0   x   \r\n1   y   \r\n2   ****\r\n");
    EXPECT_EQ(rowsOf(sheet), (SheetRows{{"", "a"}, {"0", "x"}, {"1", "y"}, {"2", ""}}));
    EXPECT_EQ(filesInDir(), 1u);
}

TEST_F(Write2daFile, AFileThatCannotBeCreatedChangesNothing)
{
    SheetRows cells{{" ", "a"}, {"10", "x"}};
    Sheet sheet = sheetFromRows(cells);
    for (fs::path target : {dir / "missing" / "t.2da", dir}) {
        try {
            Write2da(sheet, target.string());
            ADD_FAILURE() << "no error for " << target;
        } catch (const TwoDaWriteError& e) {
            EXPECT_STREQ(e.what(), "Ошибка при открытии файла для записи.");
        }
    }
    EXPECT_EQ(rowsOf(sheet), cells);
    EXPECT_EQ(filesInDir(), 0u);
}

TEST_F(Write2daFile, AFileThatMayNotBeWrittenIsNotReplaced)
{
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    fs::path file = dir / "t.2da";
    std::ofstream(file) << "old";
    fs::permissions(file, fs::perms::owner_read);
    Sheet sheet = sheetFromRows({{" ", "a"}, {"10", "x"}});
    EXPECT_THROW(Write2da(sheet, file.string()), TwoDaWriteError);
    EXPECT_EQ(slurp(file), "old");
    EXPECT_EQ(sheet.cell(0, 1), "10");
}

TEST_F(Write2daFile, AWriteThatFailsMidwayLeavesFileAndSheetAsTheyWere)
{
    // A file size limit makes writes fail the way a full disk does.
    Sheet sheet;
    sheet.setColCount(20);
    sheet.setRowCount(20000);
    sheet.setCell(0, 1, "label");
    fs::path file = dir / "t.2da";
    std::ofstream(file) << "old";

    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string message;
    try {
        Write2da(sheet, file.string());
    } catch (const TwoDaWriteError& e) {
        message = e.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(message.rfind("Ошибка при открытии файла для записи.\n", 0), 0u) << message;
    EXPECT_NE(message.find("t.2da"), std::string::npos) << message;
    EXPECT_EQ(slurp(file), "old");
    EXPECT_EQ(sheet.cell(0, 1), "label");
    EXPECT_EQ(filesInDir(), 1u);
}

} // namespace
