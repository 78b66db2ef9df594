#include "Sheet.h"
#include "SheetRows.h"
#include "TwoDaReader.h"
#include "TwoDaWriter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// Bytes that make the trouble: marks, blanks, tabs and other separators,
// the placeholder's asterisk, high bytes. Never 0x00, CR or LF, which no
// line of text can hold.
std::string randomText(std::mt19937& random)
{
    static const std::string tricky = "\"\"\" \t\x01\x1f*a1\xFF";
    std::string text;
    std::size_t length = random() % 7;
    for (std::size_t i = 0; i < length; ++i) {
        char c;
        if (random() % 3 == 0) {
            c = tricky[random() % tricky.size()];
        } else {
            do c = static_cast<char>(random() % 256);
            while (c == '\0' || c == '\r' || c == '\n');
        }
        text += c;
    }
    return text;
}

// What reading the written sheet gives back.
SheetRows expectedAfterRoundTrip(const SheetRows& cells)
{
    std::size_t rows = cells.size();
    std::size_t cols = cells[0].size();
    if (cols == 1) {
        // The header line is blanks only and is skipped: the first data line
        // becomes the header line, and the other data lines have one cell.
        if (rows == 1) return {{""}};
        SheetRows expected{{" ", "0"}};
        for (std::size_t r = 2; r < rows; ++r) expected.push_back({std::to_string(r - 1), ""});
        return expected;
    }
    SheetRows expected = cells;
    expected[0][0] = " ";
    for (std::size_t r = 0; r < rows; ++r) {
        if (r > 0) expected[r][0] = std::to_string(r - 1);
        for (std::size_t c = 1; c < cols; ++c)
            if (expected[r][c].empty()) expected[r][c] = "****";
    }
    return expected;
}

TEST(TwoDaRoundTrip, RandomSheetsReadBackAsWritten)
{
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        std::size_t rows = 1 + random() % 6;
        std::size_t cols = 1 + random() % 5;
        SheetRows cells(rows, std::vector<std::string>(cols));
        for (auto& row : cells)
            for (auto& cell : row) cell = randomText(random);
        Sheet written = sheetFromRows(cells);
        Bytes bytes = format2da(written);

        Sheet read;
        int reported = 0;
        read2daFromMemory(bytes, read, [&](std::size_t, const std::string&) { ++reported; });
        ASSERT_EQ(rowsOf(read), expectedAfterRoundTrip(cells)) << testing::PrintToString(bytes);
        ASSERT_EQ(reported, 0);
    }
}

TEST(TwoDaRoundTrip, RelabelledSheetMatchesWhatIsWritten)
{
    Sheet sheet = sheetFromRows({{"corner", "a", "b"}, {"x", "1", "2"}, {"y", "", "3"}});
    Bytes bytes = format2da(sheet);
    relabel2da(sheet);
    EXPECT_EQ(rowsOf(sheet), (SheetRows{{"", "a", "b"}, {"0", "1", "2"}, {"1", "", "3"}}));
    EXPECT_EQ(format2da(sheet), bytes);
}

} // namespace
