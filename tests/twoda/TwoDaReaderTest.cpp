#include "FileError.h"
#include "Sheet.h"
#include "SheetRows.h"
#include "TwoDaReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace std::string_literals;

namespace {

const std::string kTooMany =
    "Ошибка добавления строки в таблицу. Возможно неформатный 2да файл, строка будет пропущена. "
    "Сообщение системы:\nList index out of bounds (-1)";

struct Reported {
    std::size_t line;
    std::string message;
    bool operator==(const Reported&) const = default;
};

struct Read {
    SheetRows rows;
    std::vector<Reported> reported;
};

Read readBytes(const std::string& bytes)
{
    Sheet sheet;
    Read result;
    read2daFromMemory(bytes, sheet, [&](std::size_t line, const std::string& message) {
        result.reported.push_back({line, message});
    });
    result.rows = rowsOf(sheet);
    return result;
}

struct ReadCase {
    const char* name;
    std::string bytes;
    SheetRows rows;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class ReadCases : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadCases, GiveTheseCells)
{
    Read read = readBytes(GetParam().bytes);
    EXPECT_EQ(read.rows, GetParam().rows);
    EXPECT_TRUE(read.reported.empty());
}

const SheetRows kNew{{""}};

INSTANTIATE_TEST_SUITE_P(
    Lines, ReadCases,
    testing::Values(
        ReadCase{"EmptyFile", "", kNew},
        ReadCase{"SignatureOnly", "2DA V2.0\r\n", kNew},
        ReadCase{"BlankLinesOnly", "2DA V2.0\r\n\r\n \t \x01\x1f\r\n\n\r\r\n", kNew},
        ReadCase{"FirstLineNeverLooked", "a b c\r\nx y\r\n0 1 2\r\n", {{" ", "x", "y"}, {"0", "1", "2"}}},
        ReadCase{"HeaderOnly", "2DA V2.0\r\n\r\n  label name\r\n", {{" ", "label", "name"}}},
        ReadCase{"BlankAndControlLinesSkipped", "2DA\r\n\x01\x02\r\n a b\r\n\t\r\n0 x y\r\n \x1f \r\n1 z\r\n\r\n",
                 {{" ", "a", "b"}, {"0", "x", "y"}, {"1", "z", ""}}},
        ReadCase{"LfOnly", "2DA\n\n a b\n0 x y\n", {{" ", "a", "b"}, {"0", "x", "y"}}},
        ReadCase{"CrOnly", "2DA\r\r a b\r0 x y\r", {{" ", "a", "b"}, {"0", "x", "y"}}},
        ReadCase{"LfCrGivesAnEmptyLine", "2DA\n\r a b\n\r0 x y\n\r", {{" ", "a", "b"}, {"0", "x", "y"}}},
        ReadCase{"NoFinalLineEnd", "2DA\n a b\n0 x y", {{" ", "a", "b"}, {"0", "x", "y"}}},
        ReadCase{"ZeroByteEndsTheText", "2DA\n a b\n0 x y\x00z\n1 p q\n"s, {{" ", "a", "b"}, {"0", "x", "y"}}},
        ReadCase{"ZeroByteInTheSignatureLine", "2DA\x00\n a b\n"s, kNew}));

INSTANTIATE_TEST_SUITE_P(
    Cells, ReadCases,
    testing::Values(
        ReadCase{"QuotedAndEmptyQuoted", "2DA\n a b c\n0 x \"y z\" \"\"\n", {{" ", "a", "b", "c"}, {"0", "x", "y z", " "}}},
        ReadCase{"FewerCellsLeaveTheRestEmpty", "2DA\n a b c\n0\n1 x\n", {{" ", "a", "b", "c"}, {"0", "", "", ""}, {"1", "x", "", ""}}},
        ReadCase{"ClosingMarkStartsANewCell", "2DA\n a b\n\"abc\"def\n", {{" ", "a", "b"}, {"abc", "def", ""}}},
        ReadCase{"MarkInsidePlainCell", "2DA\n a\nab\"c\n", {{" ", "a"}, {"ab\"c", ""}}},
        ReadCase{"PairOfMarks", "2DA\n a\n\"a\"\"b\"\n", {{" ", "a"}, {"a\"b", ""}}},
        ReadCase{"UnclosedLosesItsLastByte", "2DA\n a b\n0 \"abc def\n", {{" ", "a", "b"}, {"0", "abc de", ""}}},
        ReadCase{"UnclosedLineIsNotTrimmed", "2DA\n a b\n0 \"abc def  \n", {{" ", "a", "b"}, {"0", "abc def ", ""}}},
        ReadCase{"UnclosedWithOneByte", "2DA\n a b\n0 \"x\n", {{" ", "a", "b"}, {"0", " ", ""}}},
        ReadCase{"UnclosedAtLineEnd", "2DA\n a b\n0 \"\n", {{" ", "a", "b"}, {"0", " ", ""}}},
        ReadCase{"UnclosedWithPairs", "2DA\n a b\n0 \"a\"\"b\"\"\n", {{" ", "a", "b"}, {"0", "a\"b", ""}}},
        ReadCase{"TabsAndControlsSeparate", "2DA\n a\tb\n0\x01x\x1fy\n", {{" ", "a", "b"}, {"0", "x", "y"}}},
        ReadCase{"HighBytesAreText", "2DA\n \xC8\xEC\xFF\n0 \x80\xA0\n", {{" ", "\xC8\xEC\xFF"}, {"0", "\x80\xA0"}}},
        ReadCase{"QuotedNamesAndEmptyName", "2DA\n\"a b\" \"\" c\n", {{" ", "a b", " ", "c"}}},
        ReadCase{"PlaceholderIsText", "2DA\n a\n**** ****\n", {{" ", "a"}, {"****", "****"}}},
        ReadCase{"LabelsKeptAsTheyStand", "2DA\n a\n7 x\nlabel y\n", {{" ", "a"}, {"7", "x"}, {"label", "y"}}}));

TEST(Read2da, ReportsEachLineThatDoesNotFitAndGoesOn)
{
    // Line 5 and line 8 have more cells than the sheet has columns; the LF CR
    // after line 5 makes line 6 empty.
    Read read = readBytes("2DA\r\n\r\n a b\r\n0 x y\r\n1 x y z\n\r2 p\r\n3 1 2 3 4\r\n4 q\r\n");
    EXPECT_EQ(read.rows, (SheetRows{{" ", "a", "b"}, {"0", "x", "y"}, {"2", "p", ""}, {"4", "q", ""}}));
    EXPECT_EQ(read.reported, (std::vector<Reported>{{5, kTooMany}, {8, kTooMany}}));
}

TEST(Read2da, ReadsAFileAndRefusesOneThatCannotBeOpened)
{
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / "qm_twoda_read_test";
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::path file = dir / "t.2da";
    std::ofstream(file, std::ios::binary) << "2DA V2.0\r\n\r\n    Label\r\n0   \"a b\"\r\n";
    Sheet sheet;
    Read2da(file.string(), sheet);
    EXPECT_EQ(rowsOf(sheet), (SheetRows{{" ", "Label"}, {"0", "a b"}}));

    Sheet untouched = sheetFromRows({{"keep"}});
    EXPECT_THROW(Read2da((dir / "missing.2da").string(), untouched), FileError);
    EXPECT_THROW(Read2da(dir.string(), untouched), FileError);
    EXPECT_EQ(rowsOf(untouched), (SheetRows{{"keep"}}));
    fs::remove_all(dir);
}

// The splitting rules written out plainly, one byte at a time, as a second
// opinion on the reader's in-place splitting.
SheetRows referenceRead(std::string text)
{
    if (auto zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
    std::vector<std::string> lines;
    std::size_t p = 0;
    while (p < text.size()) {
        std::size_t e = p;
        while (e < text.size() && text[e] != '\r' && text[e] != '\n') ++e;
        lines.push_back(text.substr(p, e - p));
        p = e;
        if (p < text.size() && text[p] == '\r') ++p;
        if (p < text.size() && text[p] == '\n') ++p;
    }
    auto sep = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    SheetRows rows{{""}};
    bool header = false;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        std::vector<std::string> cells;
        std::size_t k = 0;
        auto skip = [&] { while (k < line.size() && sep(line[k])) ++k; };
        skip();
        if (k == line.size()) continue;
        while (k < line.size()) {
            std::string cell;
            if (line[k] == '"') {
                ++k;
                bool closed = false;
                while (k < line.size()) {
                    if (line[k] == '"') {
                        if (k + 1 < line.size() && line[k + 1] == '"') {
                            cell += '"';
                            k += 2;
                            continue;
                        }
                        ++k;
                        closed = true;
                        break;
                    }
                    cell += line[k++];
                }
                if (!closed && !cell.empty()) cell.pop_back();
            } else {
                while (k < line.size() && !sep(line[k])) cell += line[k++];
            }
            cells.push_back(cell.empty() ? " " : cell);
            skip();
        }
        if (!header) {
            cells.insert(cells.begin(), " ");
            rows[0] = cells;
            header = true;
        } else if (cells.size() <= rows[0].size()) {
            cells.resize(rows[0].size());
            rows.push_back(cells);
        }
    }
    return rows;
}

TEST(Read2da, AgreesWithThePlainRulesOnRandomText)
{
    const std::string alphabet = "ab\" \"\t\r\n\x01\x00\xFF"s;
    std::mt19937 random(2024);
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        std::size_t length = random() % 40;
        for (std::size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
        ASSERT_EQ(readBytes(text).rows, referenceRead(text)) << testing::PrintToString(text);
    }
}

} // namespace
