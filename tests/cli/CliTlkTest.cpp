#include "CliFixture.h"
#include "TlkBytes.h"

#include "TlkDocument.h"
#include "TlkFile.h"
#include "TlkWriter.h"

#include <gtest/gtest.h>

namespace {

// A document of exactly these records (no fresh blank entry first).
TlkDocument docOf(const std::vector<TlkRecord>& records)
{
    TlkDocument doc;
    doc.assign(parseTlk(rawHeader(0, 20)));
    doc.appendBlank(std::uint32_t(records.size()));
    for (std::uint32_t i = 0; i < records.size(); ++i)
        if (records[i] != TlkRecord{}) doc.setRecord(i, records[i]);
    return doc;
}

std::string packed(const std::vector<TlkRecord>& records) { return writeTlkBytes(docOf(records), '.'); }

std::string allBytes()
{
    std::string s;
    for (int b = 0; b < 256; ++b) s += char(b);
    return s;
}

using CliTlk = CliFixture;

} // namespace

TEST_F(CliTlk, JsonHoldsOneObjectPerEntryWithOnlyTheCellsThatAreNotEmpty)
{
    writeFile("a.tlk", packed({{"Hello", "snd01", "1.5"}, {}, {"", "", "2.3"}, {"", "vo_x", ""}}));
    CliRun r = run({"tlk-to-json", path("a.tlk")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "[\n"
                     "{\"strref\": 0, \"text\": \"Hello\", \"sound\": \"snd01\", \"duration\": \"1.5\"},\n"
                     "{\"strref\": 1},\n"
                     "{\"strref\": 2, \"duration\": \"2.29999995231628\"},\n"
                     "{\"strref\": 3, \"sound\": \"vo_x\"}\n"
                     "]\n");

    writeFile("empty.tlk", rawHeader(0, 20));
    r = run({"tlk-to-json", path("empty.tlk")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "[]\n");
}

struct Decoding {
    const char* encoding;
    const char* json; // the text cell of "\xC0\x98\x81\x00\x1F\x7F\"\\\n"
};

class CliTlkDecoding : public CliFixture, public ::testing::WithParamInterface<Decoding> {};

TEST_P(CliTlkDecoding, EachByteIsItsCodePageCharacterAndUndefinedBytesTheirControl)
{
    writeFile("a.tlk", packed({{std::string("\xC0\x98\x81\x00\x1F\x7F\"\\\n", 9), "", ""}}));
    CliRun r = run({"tlk-to-json", path("a.tlk"), "--encoding", GetParam().encoding});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, std::string("[\n{\"strref\": 0, \"text\": \"") + GetParam().json + "\"}\n]\n");
}

INSTANTIATE_TEST_SUITE_P(CodePages, CliTlkDecoding,
                         ::testing::Values(Decoding{"cp1251", "\u0410\\u0098\u0403\\u0000\\u001f\\u007f\\\"\\\\\\n"},
                                           Decoding{"cp1252", "\u00C0\u02DC\\u0081\\u0000\\u001f\\u007f\\\"\\\\\\n"}));

class CliTlkRoundTrip : public CliFixture, public ::testing::WithParamInterface<const char*> {};

TEST_P(CliTlkRoundTrip, FileTheWriterMadeComesBackByteExact)
{
    std::string every = allBytes();
    std::string reversed(every.rbegin(), every.rend());
    const std::string original = packed({
        {every, "0123456789abcdef", "2.3"},
        {},
        {"only text", "", ""},
        {"", "Snd_\xC0\xFF", ""},
        {"", "", "1E-10"},
        {reversed + "\r\n", "x", "-3"},
        {"", "", "INF"},
        {"", "", "-INF"},
        {"", "", "NAN"},
        {"", "", "3.4E38"},
        {"", "", "1.4E-45"},
        {"", "", "16777217"},
        {"\xD0\xF3\xF1\xF1\xEA\xE8\xE9", "", "0.1"},
        {},
    });
    writeFile("a.tlk", original);
    const std::string enc = GetParam();
    CliRun toJson = run({"tlk-to-json", "--encoding", enc, path("a.tlk")});
    ASSERT_EQ(toJson.status, 0) << toJson.err;
    writeFile("a.json", toJson.out);

    CliRun toTlk = run({"json-to-tlk", path("a.json"), path("b.tlk"), "--encoding=" + enc});
    ASSERT_EQ(toTlk.status, 0) << toTlk.err;
    EXPECT_EQ(toTlk.out, "");
    EXPECT_EQ(readFile("b.tlk"), original);
    EXPECT_EQ(files(), (std::set<std::string>{"a.tlk", "a.json", "b.tlk"}));
}

INSTANTIATE_TEST_SUITE_P(CodePages, CliTlkRoundTrip, ::testing::Values("cp1251", "cp1252"));

TEST_F(CliTlk, FileInAnotherLayoutComesBackInThePackedLayout)
{
    // Texts out of order and overlapping, unused string bytes, other flag
    // bits, variances, fields whose bit is clear, a 16-byte sound reference.
    std::string file = rawTlk({{1 | 8 | 0x100, "", 7, 9, 4, 3, 0},
                               {3, "0123456789abcdef", 0, 0, 0, 5, 0},
                               {0, "hidden", 1, 1, 0, 6, 9.5f},
                               {1 | 4, "", 0, 0, 2, 0, 2.3f}},
                              "Hello world");
    writeFile("a.tlk", file);
    CliRun toJson = run({"tlk-to-json", path("a.tlk")});
    ASSERT_EQ(toJson.status, 0) << toJson.err;
    EXPECT_EQ(toJson.out, "[\n"
                          "{\"strref\": 0, \"text\": \"o w\"},\n"
                          "{\"strref\": 1, \"text\": \"Hello\", \"sound\": \"0123456789abcdef\"},\n"
                          "{\"strref\": 2},\n"
                          "{\"strref\": 3, \"duration\": \"2.29999995231628\"}\n"
                          "]\n");
    writeFile("a.json", toJson.out);
    CliRun toTlk = run({"json-to-tlk", path("a.json"), path("b.tlk")});
    ASSERT_EQ(toTlk.status, 0) << toTlk.err;
    TlkDocument doc;
    doc.assign(parseTlk(file));
    EXPECT_EQ(readFile("b.tlk"), writeTlkBytes(doc, '.'));
}

TEST_F(CliTlk, StrRefsMayBeLeftOutOrSkipAheadAndGapsBecomeBlankEntries)
{
    writeFile("a.json", R"([{"strref": 2, "text": "two"}, {"sound": "three"}, {"strref": 4}, {"strref": 6, "duration": "1.5"}])");
    CliRun r = run({"json-to-tlk", path("a.json"), path("a.tlk")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile("a.tlk"), packed({{}, {}, {"two", "", ""}, {"", "three", ""}, {}, {}, {"", "", "1.5"}}));

    writeFile("empty.json", " [ ] ");
    r = run({"json-to-tlk", path("empty.json"), path("empty.tlk")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile("empty.tlk"), rawHeader(0, 20));
}

TEST_F(CliTlk, JsonWithCharactersAsTypedIsEncodedByTheCodePage)
{
    writeFile("a.json", "[{\"text\": \"\xD0\x9F\xD1\x80\xD0\xB8 \\u00a0\\u0098\"}]"); // "При", U+00A0, U+0098
    CliRun r = run({"json-to-tlk", path("a.json"), path("a.tlk")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile("a.tlk"), packed({{"\xCF\xF0\xE8 \xA0\x98", "", ""}}));
}

struct DurationCase {
    const char* json;  // as given in the JSON file
    const char* shown; // as tlk-to-json shows the written entry
};

class CliTlkDuration : public CliFixture, public ::testing::WithParamInterface<DurationCase> {};

TEST_P(CliTlkDuration, DurationPassesTheRecordDialogCheckAndIsStoredAsItsNumber)
{
    writeFile("a.json", std::string("[{\"duration\": \"") + GetParam().json + "\"}]");
    CliRun r = run({"json-to-tlk", path("a.json"), path("a.tlk")});
    ASSERT_EQ(r.status, 0) << r.err;
    r = run({"tlk-to-json", path("a.tlk")});
    EXPECT_EQ(r.out, std::string("[\n{\"strref\": 0, \"duration\": \"") + GetParam().shown + "\"}\n]\n");
}

INSTANTIATE_TEST_SUITE_P(Texts, CliTlkDuration,
                         ::testing::Values(DurationCase{"1.5", "1.5"}, DurationCase{"  1.5 ", "1.5"},
                                           DurationCase{"+2e3", "2000"}, DurationCase{".5", "0.5"},
                                           DurationCase{"7.", "7"}, DurationCase{"2.3", "2.29999995231628"},
                                           DurationCase{"-0.00001", "-9.99999974737875E-6"},
                                           DurationCase{"NAN", "NAN"}, DurationCase{"INF", "INF"},
                                           DurationCase{"-INF", "-INF"}));

class CliTlkJsonError : public CliFixture, public ::testing::WithParamInterface<JsonErrorCase> {};

TEST_P(CliTlkJsonError, RefusedWithOneLineAndNoFile)
{
    writeFile("in.json", GetParam().json);
    CliRun r = run({"json-to-tlk", path("in.json"), path("out.tlk")});
    std::vector<std::string> fragments = GetParam().fragments;
    fragments.push_back(path("in.json") + ": ");
    expectError(r, fragments);
    EXPECT_EQ(files(), std::set<std::string>{"in.json"});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliTlkJsonError,
    ::testing::Values(
        JsonErrorCase{"Syntax", R"([{"text": "a",])", {"parse error", "line 1"}},
        JsonErrorCase{"EmptyFile", "", {"parse error"}},
        JsonErrorCase{"TrailingText", "[] x", {"parse error"}},
        JsonErrorCase{"BadUtf8", "[{\"text\": \"\xC0\"}]", {"parse error"}},
        JsonErrorCase{"NotAnArray", R"({"text": "a"})", {"array"}},
        JsonErrorCase{"EntryNotAnObject", R"([{}, 1])", {"entry 1: ", "object"}},
        JsonErrorCase{"NestedArray", R"([[]])", {"entry 0: ", "object"}},
        JsonErrorCase{"UnknownKey", R"([{"txt": "a"}])", {"unknown key \"txt\""}},
        JsonErrorCase{"KeyTwice", R"([{"text": "a", "text": "b"}])", {"\"text\"", "twice"}},
        JsonErrorCase{"DurationWithComma", R"([{"duration": "1,5"}])", {"entry 0: ", "'1,5' is not a valid floating point value"}},
        JsonErrorCase{"DurationWord", R"([{}, {"duration": "abc"}])", {"entry 1: ", "'abc' is not a valid floating point value"}},
        JsonErrorCase{"DurationBlanks", R"([{"duration": "  "}])", {"'  ' is not a valid floating point value"}},
        JsonErrorCase{"DurationLowerCaseNan", R"([{"duration": "nan"}])", {"'nan' is not a valid floating point value"}},
        JsonErrorCase{"DurationNumber", R"([{"duration": 1.5}])", {"\"duration\" must be a string"}},
        JsonErrorCase{"LongSound", R"([{"sound": "0123456789abcdefg"}])", {"\"sound\"", "17 bytes"}},
        JsonErrorCase{"LongSoundInBytes", "[{\"sound\": \"\xD0\x90\xD0\x91" "0123456789abcdef\"}]", {"18 bytes"}},
        JsonErrorCase{"ZeroInSound", R"([{"sound": "a\u0000b"}])", {"\"sound\"", "zero"}},
        JsonErrorCase{"CharacterNotInCodePage", R"([{"text": "a\u4e2d"}])", {"\"text\"", "U+4E2D", "cp1251"}},
        JsonErrorCase{"StrRefDecreasing", R"([{"strref": 5}, {"strref": 3}])", {"entry 1: ", "3 is below the next StrRef 6"}},
        JsonErrorCase{"StrRefRepeated", R"([{}, {"strref": 0}])", {"0 is below the next StrRef 1"}},
        JsonErrorCase{"StrRefNegative", R"([{"strref": -1}])", {"\"strref\" must be a whole number"}},
        JsonErrorCase{"StrRefFraction", R"([{"strref": 1.5}])", {"\"strref\" must be a whole number"}},
        JsonErrorCase{"StrRefText", R"([{"strref": "1"}])", {"\"strref\" must be a whole number"}},
        JsonErrorCase{"StrRefBeyondLast", R"([{"strref": 16777216}])", {"16777216 is above 16777215"}},
        JsonErrorCase{"TextNull", R"([{"text": null}])", {"\"text\" must be a string, not null"}},
        JsonErrorCase{"FirstFaultInTheFileWins", R"([{"duration": "x"}, {"tex": "a"}, {"text": ])", {"entry 0: ", "'x'"}},
        JsonErrorCase{"SyntaxOnALaterLine", "[\n{},\n{\"text\": x}\n]", {"line 3, column 10"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliTlk, FailedConversionLeavesTheOldFileAsItWas)
{
    writeFile("out.tlk", "old bytes");
    writeFile("in.json", R"([{"text": "new"}, {"duration": "1,5"}])");
    expectError(run({"json-to-tlk", path("in.json"), path("out.tlk")}), {"entry 1"});
    EXPECT_EQ(readFile("out.tlk"), "old bytes");

    writeFile("in.json", R"([{"text": "new"}])");
    expectError(run({"json-to-tlk", path("in.json"), path("no/such/folder/out.tlk")}), {path("no/such/folder/out.tlk")});
    expectError(run({"json-to-tlk", path("missing.json"), path("out.tlk")}), {path("missing.json")});
    EXPECT_EQ(readFile("out.tlk"), "old bytes");
    EXPECT_EQ(files(), (std::set<std::string>{"in.json", "out.tlk"}));
}

struct TlkInputCase {
    const char* name;
    std::string bytes; // the file's bytes; "<dir>" makes a folder, "<none>" no file
    std::vector<std::string> fragments;
};

class CliTlkInputError : public CliFixture, public ::testing::WithParamInterface<TlkInputCase> {};

TEST_P(CliTlkInputError, UnreadableOrDamagedTalkTableIsRefused)
{
    const std::string& bytes = GetParam().bytes;
    if (bytes == "<dir>")
        std::filesystem::create_directory(path("in.tlk"));
    else if (bytes != "<none>")
        writeFile("in.tlk", bytes);
    std::vector<std::string> fragments = GetParam().fragments;
    fragments.push_back(path("in.tlk"));
    expectError(run({"tlk-to-json", path("in.tlk")}), fragments);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliTlkInputError,
    ::testing::Values(TlkInputCase{"Missing", "<none>", {"Cannot open"}},
                      TlkInputCase{"Folder", "<dir>", {"Cannot open"}},
                      TlkInputCase{"ShorterThanHeader", "TLK V3.0", {"header"}},
                      TlkInputCase{"EntryTableBeyondEnd", rawHeader(2, 100) + std::string(40, '\0'), {"entry table"}},
                      TlkInputCase{"StringDataBeyondEnd", rawHeader(0, 21), {"string data"}},
                      TlkInputCase{"TextOutsideStringData", rawTlk({{}, {1, "", 0, 0, 2, 4, 0}}, "abc"), {"entry 1"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliTlk, ManyEntriesRoundTripAndAFaultFarInIsNamed)
{
    // Enough entries for many blocks and batches, with runs of blanks long
    // and short between them.
    std::vector<TlkRecord> records;
    for (int i = 0; i < 30000; ++i) {
        if (i % 7 == 3) records.push_back({});
        else if (i % 5000 == 100) records.resize(records.size() + 9000);
        else records.push_back({"entry " + std::to_string(i) + (i % 3 ? " \xE0\xE1" : ""), i % 4 ? "" : "s" + std::to_string(i),
                                i % 8 ? "" : std::to_string(i) + ".25"});
    }
    const std::string original = packed(records);
    writeFile("a.tlk", original);
    CliRun toJson = run({"tlk-to-json", path("a.tlk")});
    ASSERT_EQ(toJson.status, 0) << toJson.err;
    writeFile("a.json", toJson.out);
    CliRun toTlk = run({"json-to-tlk", path("a.json"), path("b.tlk")});
    ASSERT_EQ(toTlk.status, 0) << toTlk.err;
    EXPECT_EQ(readFile("b.tlk"), original);

    // 20,000 entries, entry 17,000 given as asked.
    auto entries = [](const std::string& at17000) {
        std::string json = "[";
        for (int i = 0; i < 20000; ++i)
            json += std::string(i ? ",\n" : "\n") + (i == 17000 ? at17000 : "{\"duration\": \"1\"}");
        return json;
    };
    writeFile("bad.json", entries("{\"duration\": \"1e\"}") + "\n]");
    expectError(run({"json-to-tlk", path("bad.json"), path("c.tlk")}), {"entry 17000: ", "'1e'"});
    writeFile("bad.json", entries("{\"duration\": 1}") + "\n]");
    expectError(run({"json-to-tlk", path("bad.json"), path("c.tlk")}), {"entry 17000: ", "\"duration\" must be a string"});
    writeFile("bad.json", entries("{}") + ",\n{]");
    expectError(run({"json-to-tlk", path("bad.json"), path("c.tlk")}), {"parse error at line 20002"});
    EXPECT_FALSE(exists("c.tlk"));
}
