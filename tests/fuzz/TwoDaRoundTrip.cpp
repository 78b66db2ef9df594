#include "TwoDaRoundTrip.h"

#include "FuzzCheck.h"
#include "Sheet.h"
#include "TwoDaReader.h"
#include "TwoDaWriter.h"

#include <string>

namespace {

// The sheet the reader makes of the bytes; no line may be left out.
Sheet readBack(BytesView bytes)
{
    Sheet sheet;
    read2daFromMemory(bytes, sheet, [](std::size_t, const std::string&) {
        FUZZ_CHECK(!"a line the writer wrote is left out by the reader");
    });
    return sheet;
}

} // namespace

bool sameSheet(const Sheet& a, const Sheet& b)
{
    if (a.rowCount() != b.rowCount() || a.colCount() != b.colCount()) return false;
    for (int r = 0; r < a.rowCount(); ++r)
        for (int c = 0; c < a.colCount(); ++c)
            if (a.cell(c, r) != b.cell(c, r)) return false;
    return true;
}

Bytes checkTwoDaRoundTrip(const Sheet& s)
{
    const Bytes written = format2da(s);
    FUZZ_CHECK(written.compare(0, 12, "2DA V2.0\r\n\r\n") == 0);
    FUZZ_CHECK(written.size() >= 14 && written.compare(written.size() - 2, 2, "\r\n") == 0);
    const Sheet t = readBack(written);

    if (s.colCount() == 1) {
        // The header line is blanks only; the labels 0, 1, ... follow.
        if (s.rowCount() == 1) {
            FUZZ_CHECK(t.rowCount() == 1 && t.colCount() == 1 && t.cell(0, 0).empty());
        } else {
            FUZZ_CHECK(t.rowCount() == s.rowCount() - 1 && t.colCount() == 2);
            FUZZ_CHECK(t.cell(0, 0) == " " && t.cell(1, 0) == "0");
            for (int r = 1; r < t.rowCount(); ++r) {
                FUZZ_CHECK(t.cell(0, r) == std::to_string(r));
                FUZZ_CHECK(t.cell(1, r).empty());
            }
        }
    } else {
        FUZZ_CHECK(t.rowCount() == s.rowCount() && t.colCount() == s.colCount());
        for (int r = 0; r < t.rowCount(); ++r) {
            for (int c = 0; c < t.colCount(); ++c) {
                BytesView was = s.cell(c, r), now = t.cell(c, r);
                if (r == 0 && c == 0)
                    FUZZ_CHECK(now == " ");
                else if (c == 0)
                    FUZZ_CHECK(now == std::to_string(r - 1));
                else if (was.empty())
                    FUZZ_CHECK(now == "****");
                else
                    FUZZ_CHECK(now == was);
            }
        }
    }

    // From here on a write and a read change nothing. (The first write may
    // be narrower: the placeholder it puts for an empty cell does not count
    // for the width.)
    if (s.colCount() > 1) {
        const Bytes rewritten = format2da(t);
        const Sheet u = readBack(rewritten);
        FUZZ_CHECK(sameSheet(u, t));
        FUZZ_CHECK(format2da(u) == rewritten);
    }
    return written;
}
