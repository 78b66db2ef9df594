// Writes the fuzz targets' seed corpus into corpus/<target>/ under the folder
// given: files made by the toolkit's own writers, and damaged copies of them
// made here, so that the fuzzers start from every layout the readers know.
// Run it again after changing the seeds; the files are kept in the source
// tree. Inputs the fuzzers found are kept beside them as regression cases.
//   make_fuzz_seeds tests/fuzz

#include "IniFile.h"
#include "NumberText.h"
#include "Sheet.h"
#include "TlkBytes.h"
#include "TlkDocument.h"
#include "TlkFile.h"
#include "TlkWriter.h"
#include "TwoDaWriter.h"

#ifdef QM_SEEDS_WITH_CLI
#include "CodePage.h"
#include "JsonOutput.h"
#include "TlkJson.h"
#include "TwoDaJson.h"
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path root;

void put(const std::string& target, const std::string& name, const std::string& bytes)
{
    fs::create_directories(root / target);
    std::ofstream out(root / target / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

std::string slurp(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string replaceAll(std::string s, const std::string& from, const std::string& to)
{
    for (std::size_t at = 0; (at = s.find(from, at)) != std::string::npos; at += to.size()) s.replace(at, from.size(), to);
    return s;
}

// ---- talk tables ----------------------------------------------------------

TlkDocument documentOf(const std::vector<TlkRecord>& rows)
{
    TlkDocument doc;
    doc.assign(std::make_shared<TlkFile>());
    doc.appendBlank(std::uint32_t(rows.size()));
    for (std::uint32_t i = 0; i < rows.size(); ++i)
        if (rows[i] != TlkRecord{}) doc.setRecord(i, rows[i]);
    return doc;
}

std::string tlkBytes(const TlkDocument& doc)
{
    fs::path tmp = root / "seed.tmp";
    WriteTlk(doc, tmp.string(), '.');
    std::string bytes = slurp(tmp);
    fs::remove(tmp);
    return bytes;
}

std::vector<TlkRecord> sampleRows()
{
    return {
        {"Hello", "snd01", "1.5"},
        {},
        {"\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0", "vo_ru_000001", "2.3"}, // cp1251 text
        {"line one\r\nline two\nline three", "", ""},
        {"", "sixteen_bytes_16", "0"},
        {"quote \" and \\ and \t tab", "", "1E-5"},
        {"", "", "INF"},
    };
}

void tlkSeeds()
{
    put("tlk", "fresh.tlk", tlkBytes(TlkDocument()));
    put("tlk", "no-entries.tlk", tlkBytes(documentOf({})));
    put("tlk", "two-rows.tlk", tlkBytes(documentOf({{"Hello", "snd01", "1.5"}, {}})));
    const std::string sample = tlkBytes(documentOf(sampleRows()));
    put("tlk", "sample.tlk", sample);

    // Layouts other tools make: texts out of order, shared and with unused
    // bytes between them, stray flag bits and fields the writer zeroes.
    put("tlk", "other-layout.tlk",
        rawTlk({{1 | 2 | 4 | 0x100, "snd", 7, 9, 6, 5, 0.25f},
                {1, "", 0, 0, 0, 5, 0},
                {1, "", 0, 0, 2, 3, 0},
                {2, "sixteen_bytes_16", 0, 0, 0, 0, 0},
                {0, "unused", 0, 0, 99, 99, 3.5f},
                {1 | 4, "", 0, 0, 0, 0, -0.0f}},
               "first-second"));
    put("tlk", "other-signature.tlk", "TLK V4.0" + sample.substr(8));

    // Damaged files, each breaking one limit.
    put("tlk", "short-header.tlk", sample.substr(0, 19));
    put("tlk", "cut-entry-table.tlk", sample.substr(0, 20 + 40 * 3 + 7));
    put("tlk", "data-beyond-end.tlk", rawHeader(1, 4096) + rawEntry({}));
    put("tlk", "text-beyond-data.tlk", rawTlk({{1, "", 0, 0, 3, 10, 0}}, "abcdef"));
    put("tlk", "huge-count.tlk", rawHeader(0xFFFFFFFFu, 20) + rawEntry({}));
    put("tlk", "count-over-limit.tlk", rawHeader(16777217u, 20));
}

// ---- 2DA ------------------------------------------------------------------

std::string twodaBytes(Sheet sheet)
{
    fs::path tmp = root / "seed.tmp";
    Write2da(sheet, tmp.string());
    std::string bytes = slurp(tmp);
    fs::remove(tmp);
    return bytes;
}

Sheet sheetOf(const std::vector<std::vector<std::string>>& rows)
{
    Sheet s;
    std::size_t cols = 1;
    for (const auto& r : rows) cols = std::max(cols, r.size());
    s.setColCount(int(cols));
    s.setRowCount(int(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c) s.setCell(int(c), int(r), rows[r][c]);
    return s;
}

void twodaSeeds()
{
    put("twoda", "new-sheet.2da", twodaBytes(Sheet()));
    const std::string example = twodaBytes(sheetOf({{" ", "Label", "Name"}, {"7", "a", "b c"}, {"9", "", "x"}}));
    put("twoda", "example.2da", example);
    put("twoda", "quotes-and-separators.2da",
        twodaBytes(sheetOf({{" ", "Col A", "\"q", "Tab\there"},
                            {"0", "\"abc", "a\"\"b", "****"},
                            {"1", " ", "x\ty", "\xC0\xFF\x7F"},
                            {"2"}})));
    put("twoda", "lf-only.2da", replaceAll(example, "\r\n", "\n"));
    put("twoda", "cr-only.2da", replaceAll(example, "\r\n", "\r"));
    put("twoda", "lf-cr.2da", replaceAll(example, "\r\n", "\n\r"));
    put("twoda", "no-final-line-end.2da", example.substr(0, example.size() - 2));
    put("twoda", "zero-byte.2da", example.substr(0, 30) + std::string(1, '\0') + example.substr(30));

    // What other tools and hands write: a table row on the first line,
    // blank and control-byte lines, quoting cases, short and long rows.
    put("twoda", "hand-written.2da",
        "0 not a signature\r\n"
        "\t \x01\r\n"
        "  label name other\r\n"
        "0 x \"y z\" \"\"\r\n"
        "1 \"abc\"def \"a\"\"b\"\r\n"
        "2 short\r\n"
        "3 too many cells here\r\n"
        "\r\n"
        "4 \"abc def\r\n"
        "5 \"abc def  \r\n"
        "6 \"x\r\n");
    put("twoda", "empty.2da", "");
    put("twoda", "signature-only.2da", "2DA V2.0\r\n");
    put("twoda", "blank-lines-only.2da", "2DA V2.0\r\n\r\n   \r\n\t\r\n");
    put("twoda", "header-only.2da", "2DA V2.0\n\nA B C\n");
}

// ---- settings file -------------------------------------------------------

std::string settingsFile(const std::vector<std::pair<std::string, std::string>>& keys, const std::string& start = {})
{
    fs::path tmp = root / "seed.tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << start;
    }
    IniFile ini(tmp.string());
    for (const auto& [key, value] : keys) ini.writeString("settings", key, value);
    std::string bytes = slurp(tmp);
    fs::remove(tmp);
    return bytes;
}

void settingsSeeds()
{
    // The input is the value to write, a 0x00 byte, then the file.
    const std::string both = settingsFile({{"TlkInitialDirectory", "/home/builder/tlk/"},
                                           {"_2daInitialDirectory", "/home/builder/2da/"}});
    put("settings", "both-keys", std::string("/srv/quellmoor/tlk/\0", 20) + both);
    put("settings", "no-file", std::string("/a/\0", 4));
    put("settings", "empty-value", std::string("\0", 1) + both);
    put("settings", "blanks-around-value", std::string("  \t/x y/ \t\0", 11) + both);
    put("settings", "long-value", std::string(2100, 'v') + std::string(1, '\0') + both);
    put("settings", "other-sections",
        std::string("/b/\0", 4) +
            settingsFile({{"_2daInitialDirectory", "/d/"}},
                         "; comment\n[Other]\nTlkInitialDirectory=/not/this/\n\n[SETTINGS]\n  key = v \n[other]\nx=y"));
    put("settings", "lowercase-names", std::string("/c/\0", 4) + "[settings]\rtlkinitialdirectory=/old/\r");
    put("settings", "no-final-line-end", std::string("/e/\0", 4) + "[settings]\r\nTlkInitialDirectory=/old/");
    put("settings", "line-break-in-value", std::string("/f/\r\n[x]\0", 10) + both);
}

// ---- number texts --------------------------------------------------------

void numberTextSeeds()
{
    const char* texts[] = {"123", "  -5", "+0", "$FF", "x1A", "0x7fffffff", "-2147483648", "2147483648",
                           "16777215", "16777216", "1.5", "2,29999995231628", "2.29999995231628", "1E-5",
                           "-1.5e+3", " 3 ", ".5", "5.", "abc", "", "NAN", "-INF", "1e4933", "0.000e-99999"};
    int n = 0;
    for (const char* t : texts) put("number_text", "text-" + std::to_string(n++), t);
    for (float f : {2.3f, 1.5f, 1e20f, 1.17549435e-38f, 1.4e-45f, -0.0f, 3.4028235e38f}) {
        std::string bits(4, '\0');
        tlk::writeU32(bits.data(), tlk::floatToBits(f));
        put("number_text", "float-" + floatToDurationText(f, '.'), bits);
    }
}

// ---- quellmoor-cli JSON ------------------------------------------------------

#ifdef QM_SEEDS_WITH_CLI
template <typename Print>
std::string printed(Print print)
{
    fs::path tmp = root / "seed.tmp";
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    JsonOutput out(fd, CodePage::cp1251());
    print(out);
    out.finish();
    ::close(fd);
    std::string bytes = slurp(tmp);
    fs::remove(tmp);
    return bytes;
}

std::string tlkJson(const TlkDocument& doc)
{
    return printed([&](JsonOutput& out) { writeTlkJson(doc, out); });
}

std::string sheetJson(const Sheet& sheet)
{
    return printed([&](JsonOutput& out) { writeSheetJson(sheet, out); });
}

void twodaJsonSeeds()
{
    put("twoda_json", "example.json", sheetJson(sheetOf({{" ", "Label", "Name"}, {"7", "a", "b c"}, {"9", "", "x"}})));
    put("twoda_json", "new-sheet.json", sheetJson(Sheet()));
    put("twoda_json", "one-column.json", sheetJson(sheetOf({{""}, {"a"}, {"b"}})));
    put("twoda_json", "quotes-and-separators.json",
        sheetJson(sheetOf({{"", "Col A", "\"q", "", "Tab\there"}, {"0", "\"abc", "a\"\"b", "****"}, {"x", " ", "\xC0\xFF\x7F"}})));
    put("twoda_json", "ragged.json", R"([[], ["a"], ["b", "c", "d"], []])");
    put("twoda_json", "empty.json", "[]");
    put("twoda_json", "refused.json", R"([["a\nb"], ["\u0000"], [1], {"a": []}])");
}

void tlkJsonSeeds()
{
    put("tlk_json", "sample.json", tlkJson(documentOf(sampleRows())));
    put("tlk_json", "fresh.json", tlkJson(TlkDocument()));
    put("tlk_json", "empty.json", " [ ] ");
    put("tlk_json", "gaps.json",
        R"([{"strref": 2, "text": "two"}, {"sound": "three"}, {"strref": 4}, {"strref": 6, "duration": "1.5"}])");
    put("tlk_json", "escapes.json", "[{\"text\": \"\xD0\x9F\xD1\x80\xD0\xB8 \\u00a0\\u0098\\n\\\"\", \"sound\": \"a\\u0000\"}]");
    put("tlk_json", "last-strref.json", R"([{"strref": 16777215, "text": "end"}])");
    put("tlk_json", "refused.json", R"([{"strref": 1}, {"strref": 0}, {"text": 5}, {"duration": "1,5"}])");
    put("tlk_json", "not-an-array.json", R"({"strref": 0})");
}
#endif

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER (corpus/<target>/ is written under it)\n", argv[0]);
        return 1;
    }
    root = fs::path(argv[1]) / "corpus";
    fs::create_directories(root);
    tlkSeeds();
    twodaSeeds();
    settingsSeeds();
    numberTextSeeds();
#ifdef QM_SEEDS_WITH_CLI
    tlkJsonSeeds();
    twodaJsonSeeds();
#endif
    std::printf("seeds written under %s\n", root.c_str());
    return 0;
}
