#include "CliFixture.h"
#include "SheetRows.h"

#include "TwoDaReader.h"
#include "TwoDaWriter.h"

#include <gtest/gtest.h>

namespace {

using CliTwoDa = CliFixture;

std::string highBytes()
{
    std::string s;
    for (int b = 0x80; b < 0x100; ++b) s += char(b);
    return s;
}

// A sheet with every kind of cell the writer has to quote or mark.
SheetRows awkwardRows()
{
    return {{"", "Label", "Name with blank", "\xC0\xFF", "\"Quoted\""},
            {"0", "a", "b c", "\"q\"", "tab\there"},
            {"1", "", "****", " ", "x\"y"},
            {"2", highBytes(), "\x01\x1F", "\xE4\xF0\xF3\xE3", ""},
            {"3"}};
}

} // namespace

TEST_F(CliTwoDa, JsonIsTheSheetExactlyAsTheReaderBuildsIt)
{
    // CR-only, LF-only and CR LF line ends, blank lines, quoted cells, a
    // short row and a first line that is never looked at.
    writeFile("a.2da", "0 1 2\r\n\n  Label Name\r7 a \"b c\"\n\n 9\r\n\t \r\n8 \"\"x\n");
    CliRun r = run({"2da-to-json", path("a.2da")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "[\n"
                     "[\" \", \"Label\", \"Name\"],\n"
                     "[\"7\", \"a\", \"b c\"],\n"
                     "[\"9\", \"\", \"\"],\n"
                     "[\"8\", \" \", \"x\"]\n"
                     "]\n");
}

TEST_F(CliTwoDa, LinesLeftOutAreNamedAndGiveStatusTwo)
{
    writeFile("a.2da", "2DA V2.0\n\n A B\n0 a b\n1 a b c\n2 x\n3 a b c d\n");
    CliRun r = run({"2da-to-json", path("a.2da")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "[\n[\" \", \"A\", \"B\"],\n[\"0\", \"a\", \"b\"],\n[\"2\", \"x\", \"\"]\n]\n");
    EXPECT_EQ(r.err, "quellmoor-cli: " + path("a.2da") + ": line 5 is left out: it has more cells than the header line has columns\n"
                     "quellmoor-cli: " + path("a.2da") + ": line 7 is left out: it has more cells than the header line has columns\n");
}

class CliTwoDaRoundTrip : public CliFixture, public ::testing::WithParamInterface<const char*> {};

TEST_P(CliTwoDaRoundTrip, FileTheWriterMadeComesBackByteExact)
{
    const std::string original = format2da(sheetFromRows(awkwardRows()));
    writeFile("a.2da", original);
    CliRun toJson = run({"2da-to-json", path("a.2da"), "--encoding", GetParam()});
    ASSERT_EQ(toJson.status, 0) << toJson.err;
    writeFile("a.json", toJson.out);
    CliRun toTwoDa = run({"json-to-2da", "--encoding", GetParam(), path("a.json"), path("b.2da")});
    ASSERT_EQ(toTwoDa.status, 0) << toTwoDa.err;
    EXPECT_EQ(readFile("b.2da"), original);

    CliRun normalized = run({"2da-normalize", path("a.2da"), path("c.2da"), "--encoding", GetParam()});
    EXPECT_EQ(normalized.status, 0) << normalized.err;
    EXPECT_EQ(readFile("c.2da"), original);
    EXPECT_EQ(files(), (std::set<std::string>{"a.2da", "a.json", "b.2da", "c.2da"}));
}

INSTANTIATE_TEST_SUITE_P(CodePages, CliTwoDaRoundTrip, ::testing::Values("cp1251", "cp1252"));

TEST_F(CliTwoDa, JsonRowsAreWrittenByTheWriterWithShortRowsPadded)
{
    writeFile("a.json", "[[\"corner\", \"A\", \"B\", \"C\"], [\"x\", \"1\"], [], [\"y\", \"\\u0410 b\", \"\", \"z\"]]");
    CliRun r = run({"json-to-2da", path("a.json"), path("a.2da")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile("a.2da"),
              format2da(sheetFromRows({{"", "A", "B", "C"}, {"0", "1"}, {"1"}, {"2", "\xC0 b", "", "z"}})));

    writeFile("empty.json", "[]");
    r = run({"json-to-2da", path("empty.json"), path("empty.2da")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile("empty.2da"), "2DA V2.0\r\n\r\n   \r\n");
}

TEST_F(CliTwoDa, NormalizeRefusesToLoseLinesUnlessForced)
{
    const std::string damaged = "2DA V2.0\n\n A\n5 a\n6 b c\n7 \"d e\"\n";
    writeFile("in.2da", damaged);
    writeFile("out.2da", "old");
    CliRun r = run({"2da-normalize", path("in.2da"), path("out.2da")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(path("in.2da") + ": line 5 is left out"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(path("out.2da") + ": not written"), std::string::npos) << r.err;
    EXPECT_EQ(readFile("out.2da"), "old");

    r = run({"2da-normalize", "--force", path("in.2da"), path("out.2da")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("line 5 is left out"), std::string::npos) << r.err;
    EXPECT_EQ(readFile("out.2da"), format2da(sheetFromRows({{"", "A"}, {"0", "a"}, {"1", "d e"}})));
    EXPECT_EQ(files(), (std::set<std::string>{"in.2da", "out.2da"}));
}

class CliTwoDaJsonError : public CliFixture, public ::testing::WithParamInterface<JsonErrorCase> {};

TEST_P(CliTwoDaJsonError, RefusedWithOneLineAndTheOldFileKept)
{
    writeFile("in.json", GetParam().json);
    writeFile("out.2da", "old");
    std::vector<std::string> fragments = GetParam().fragments;
    fragments.push_back(path("in.json") + ": ");
    expectError(run({"json-to-2da", path("in.json"), path("out.2da")}), fragments);
    EXPECT_EQ(readFile("out.2da"), "old");
    EXPECT_EQ(files(), (std::set<std::string>{"in.json", "out.2da"}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliTwoDaJsonError,
    ::testing::Values(JsonErrorCase{"Syntax", "[[\"a\"", {"parse error"}},
                      JsonErrorCase{"NotAnArray", "{}", {"array of rows"}},
                      JsonErrorCase{"RowNotAnArray", "[[\"a\"], \"b\"]", {"row 1: ", "not a string"}},
                      JsonErrorCase{"CellNumber", "[[\"a\", 1]]", {"row 0, column 1: ", "not a number"}},
                      JsonErrorCase{"CellNull", "[[], [null]]", {"row 1, column 0: ", "not null"}},
                      JsonErrorCase{"CellArray", "[[\"a\", []]]", {"row 0, column 1: ", "not an array"}},
                      JsonErrorCase{"CellObject", "[[{}]]", {"row 0, column 0: ", "not an object"}},
                      JsonErrorCase{"CharacterNotInCodePage", "[[\"\\u00e9\"]]", {"U+00E9", "cp1251"}},
                      JsonErrorCase{"ZeroCharacter", "[[\"a\\u0000\"]]", {"zero"}},
                      JsonErrorCase{"LineBreak", "[[\"a\"], [\"b\", \"c\\nd\"]]", {"row 1, column 1: ", "line break"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliTwoDa, UnreadableInputOrOutputIsAnError)
{
    expectError(run({"2da-to-json", path("missing.2da")}), {path("missing.2da")});
    std::filesystem::create_directory(path("folder.2da"));
    expectError(run({"2da-normalize", path("folder.2da"), path("out.2da")}), {path("folder.2da")});
    writeFile("a.json", "[[\"\", \"A\"]]");
    expectError(run({"json-to-2da", path("a.json"), path("no/such/out.2da")}), {path("no/such/out.2da")});
    EXPECT_EQ(files(), (std::set<std::string>{"a.json", "folder.2da"}));
}
