// quellmoor-cli's 2DA JSON input (json-to-2da). Any bytes are either refused
// with CliError or give a sheet that holds exactly the rows of strings the
// JSON array holds, read apart with the library's own tree parser (as wide
// as the longest row, shorter rows ending in empty cells, texts encoded by the
// code page). Such a sheet printed by 2da-to-json reads back to the same
// sheet, and written as a 2DA file reads back with only the writer's own
// changes.

#include "CliJsonCourse.h"
#include "Sheet.h"
#include "TwoDaJson.h"
#include "TwoDaRoundTrip.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <optional>

namespace {

void checkAgainstTree(const Sheet& sheet, BytesView input, const CodePage& page)
{
    nlohmann::json tree = nlohmann::json::parse(input.begin(), input.end(), nullptr, false);
    FUZZ_CHECK(!tree.is_discarded() && tree.is_array());
    std::size_t widest = 1;
    for (const nlohmann::json& row : tree) {
        FUZZ_CHECK(row.is_array());
        widest = std::max(widest, row.size());
    }
    FUZZ_CHECK(sheet.rowCount() == int(std::max<std::size_t>(tree.size(), 1)));
    FUZZ_CHECK(sheet.colCount() == int(widest));
    for (int r = 0; r < sheet.rowCount(); ++r) {
        for (int c = 0; c < sheet.colCount(); ++c) {
            Bytes expected;
            if (std::size_t(r) < tree.size() && std::size_t(c) < tree[r].size()) {
                std::optional<Bytes> bytes = page.encodeUtf8(tree[r][c].get<std::string>());
                FUZZ_CHECK(bytes);
                expected = *bytes;
            }
            FUZZ_CHECK(sheet.cell(c, r) == expected);
            // A sheet cell never holds what would break the file's lines.
            FUZZ_CHECK(expected.find_first_of(std::string_view("\0\r\n", 3)) == Bytes::npos);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzTempFile input("input.json");
    const BytesView bytes(reinterpret_cast<const char*>(data), size);
    input.write(bytes);
    runCliJsonCourse<Sheet>(
        input, readSheetJson, writeSheetJson,
        [&](const Sheet& sheet, const CodePage& page) {
            checkAgainstTree(sheet, bytes, page);
            checkTwoDaRoundTrip(sheet);
            return true;
        },
        [](const Sheet& original, const Sheet& reprinted) { FUZZ_CHECK(sameSheet(reprinted, original)); });
    return 0;
}
