// 2DA reader: any bytes give a sheet (lines that do not fit are reported with
// the reader's message and left out) whose cells hold no line end and no
// 0x00 byte, and which the file reader and the reader over memory agree on.
// Written by the writer and read again, the sheet comes back with only the
// writer's own changes (see checkTwoDaRoundTrip).

#include "FuzzCheck.h"
#include "FuzzTempFile.h"
#include "Sheet.h"
#include "TwoDaReader.h"
#include "TwoDaRoundTrip.h"
#include "TwoDaTexts.h"
#include "TwoDaWriter.h"

#include <cstdint>
#include <string>

namespace {

struct Reading {
    Sheet sheet;
    std::size_t linesLeftOut = 0;
};

Reading readMemory(BytesView bytes)
{
    Reading r;
    read2daFromMemory(bytes, r.sheet, [&](std::size_t line, const std::string& message) {
        FUZZ_CHECK(line >= 3); // the signature line and the header line are never left out
        FUZZ_CHECK(message == std::string(kAddRowFailedText) + std::string(kTooManyCellsText));
        ++r.linesLeftOut;
    });
    return r;
}

// Non-blank lines after the first, counted by the line rules on their own.
std::size_t contentLines(BytesView bytes)
{
    bytes = bytes.substr(0, bytes.find('\0'));
    std::size_t lines = 0, number = 0, i = 0;
    while (i < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", i);
        if (end == BytesView::npos) end = bytes.size();
        bool blank = true;
        for (std::size_t k = i; k < end; ++k)
            if (static_cast<unsigned char>(bytes[k]) > 0x20) blank = false;
        if (number++ > 0 && !blank) ++lines;
        i = end;
        if (i < bytes.size() && bytes[i] == '\r') ++i;
        if (i < bytes.size() && bytes[i] == '\n') ++i;
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzTempFile scratch("input.2da");
    const BytesView input(reinterpret_cast<const char*>(data), size);

    Reading first = readMemory(input);
    const Sheet& s = first.sheet;

    // The reader on a file gives the same sheet.
    scratch.write(input);
    Sheet fromFile;
    std::size_t fileLinesLeftOut = 0;
    Read2da(scratch.path(), fromFile, [&](std::size_t, const std::string&) { ++fileLinesLeftOut; });
    FUZZ_CHECK(sameSheet(s, fromFile));
    FUZZ_CHECK(fileLinesLeftOut == first.linesLeftOut);

    // Every content line is the header, a row, or reported.
    const std::size_t lines = contentLines(input);
    if (lines == 0) {
        FUZZ_CHECK(s.rowCount() == 1 && s.colCount() == 1 && s.cell(0, 0).empty());
    } else {
        FUZZ_CHECK(s.colCount() >= 2 && s.cell(0, 0) == " ");
        FUZZ_CHECK(1 + std::size_t(s.rowCount() - 1) + first.linesLeftOut == lines);
    }
    for (int r = 0; r < s.rowCount(); ++r) {
        for (int c = 0; c < s.colCount(); ++c) {
            BytesView cell = s.cell(c, r);
            FUZZ_CHECK(cell.find_first_of(std::string_view("\0\r\n", 3)) == BytesView::npos);
            // Only cells of a short data row are empty: the header row and
            // the labels always come from the line.
            if (lines > 0 && (r == 0 || c == 0)) FUZZ_CHECK(!cell.empty());
        }
    }

    // Written and read again.
    const Bytes written = checkTwoDaRoundTrip(s);

    // The file writer puts down the same bytes and relabels the sheet as
    // the bytes show it.
    Sheet saved = s;
    Write2da(saved, scratch.path());
    FUZZ_CHECK(scratch.read() == written);
    FUZZ_CHECK(saved.cell(0, 0).empty());
    for (int r = 1; r < saved.rowCount(); ++r) FUZZ_CHECK(saved.cell(0, r) == std::to_string(r - 1));
    return 0;
}
