#include "CliFixture.h"
#include "TlkBytes.h"

#include <gtest/gtest.h>

namespace {

using CliOptions = CliFixture;

// A talk table whose one text reads differently in the two code pages.
std::string tableWithC0() { return rawTlk({{1, "", 0, 0, 0, 1, 0}}, "\xC0"); }

} // namespace

TEST_F(CliOptions, OptionsMayStandAnywhereAfterTheProgramName)
{
    writeFile("a.tlk", tableWithC0());
    const std::string cp1252 = "[\n{\"strref\": 0, \"text\": \"\u00C0\"}\n]\n";
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"tlk-to-json", path("a.tlk"), "--encoding", "cp1252"},
             {"tlk-to-json", "--encoding=cp1252", path("a.tlk")},
             {"--encoding", "cp1252", "tlk-to-json", path("a.tlk")},
             {"tlk-to-json", "--encoding", "cp1251", "--encoding", "cp1252", "--", path("a.tlk")}}) {
        CliRun r = run(args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, cp1252) << args[1];
    }
    CliRun r = run({"tlk-to-json", path("a.tlk")});
    EXPECT_EQ(r.out, "[\n{\"strref\": 0, \"text\": \"\u0410\"}\n]\n") << "cp1251 is the default";
}

TEST_F(CliOptions, HelpExplainsEachCommand)
{
    for (const auto& args : std::vector<std::vector<std::string>>{{"--help"}, {"json-to-tlk", "--help"}}) {
        CliRun r = run(args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        for (const char* word : {"tlk-to-json TLK", "json-to-tlk JSON TLK", "2da-to-json 2DA", "json-to-2da JSON 2DA",
                                 "2da-normalize IN OUT", "--encoding", "--force", "Exit status"})
            EXPECT_NE(r.out.find(word), std::string::npos) << word;
    }
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    const char* fragment;
};

class CliUsageError : public CliFixture, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(CliUsageError, WrongCommandLineIsRefusedWithOneLine)
{
    writeFile("a.tlk", tableWithC0());
    std::vector<std::string> args;
    for (const std::string& a : GetParam().args) args.push_back(a == "A" ? path("a.tlk") : a == "B" ? path("b") : a);
    expectError(run(args), {GetParam().fragment});
    EXPECT_EQ(files(), std::set<std::string>{"a.tlk"});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliUsageError,
    ::testing::Values(UsageCase{"NoCommand", {}, "no command"},
                      UsageCase{"UnknownCommand", {"tlk2json", "A"}, "unknown command \"tlk2json\""},
                      UsageCase{"UnknownOption", {"tlk-to-json", "A", "--verbose"}, "unknown option --verbose"},
                      UsageCase{"UnknownEncoding", {"tlk-to-json", "A", "--encoding", "utf8"}, "unknown encoding \"utf8\""},
                      UsageCase{"EncodingWithoutValue", {"tlk-to-json", "A", "--encoding"}, "--encoding needs a value"},
                      UsageCase{"MissingFile", {"json-to-tlk", "A"}, "json-to-tlk JSON TLK"},
                      UsageCase{"ExtraFile", {"tlk-to-json", "A", "B"}, "tlk-to-json TLK"},
                      UsageCase{"ForceElsewhere", {"json-to-tlk", "A", "B", "--force"}, "--force"}),
    [](const auto& info) { return std::string(info.param.name); });
