#include "TwoDaReader.h"

#include "InputFile.h"
#include "Sheet.h"
#include "TwoDaTexts.h"

#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <vector>

namespace {

// Bytes 0x01-0x20 separate cells; 0x00 never reaches the splitting.
inline bool isSeparator(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

char* skipSeparators(char* p, char* end)
{
    while (p < end && isSeparator(*p)) ++p;
    return p;
}

bool isBlankLine(char* begin, char* end)
{
    return skipSeparators(begin, end) == end;
}

// Cuts a text into lines: a line runs up to the next CR or LF; after it one
// CR and then one LF are skipped, so CR LF, CR and LF each end one line and
// LF CR ends a line and then an empty one. A line end at the very end gives
// no further line.
class LineCursor {
public:
    LineCursor(char* begin, char* end)
        : p_(begin), end_(end), nextCr_(find('\r')), nextLf_(find('\n'))
    {
    }

    bool next(char*& begin, char*& end)
    {
        if (p_ >= end_) return false;
        // The positions of the next CR and LF are looked up with memchr and
        // kept until passed, so that files with either line end stay fast.
        if (nextCr_ < p_) nextCr_ = find('\r');
        if (nextLf_ < p_) nextLf_ = find('\n');
        begin = p_;
        end = nextCr_ < nextLf_ ? nextCr_ : nextLf_;
        p_ = end;
        if (p_ < end_ && *p_ == '\r') ++p_;
        if (p_ < end_ && *p_ == '\n') ++p_;
        return true;
    }

private:
    char* find(char c) const
    {
        void* hit = std::memchr(p_, c, static_cast<std::size_t>(end_ - p_));
        return hit ? static_cast<char*>(hit) : end_;
    }

    char* p_;
    char* end_;
    char* nextCr_;
    char* nextLf_;
};

// Splits one line into cells, unquoting quoted cells in place (the text of a
// quoted cell is never longer than its bytes in the line). Appends views of
// the line to cells.
void splitCells(char* p, char* end, std::vector<BytesView>& cells)
{
    p = skipSeparators(p, end);
    while (p < end) {
        if (*p == '"') {
            char* mark = p;
            char* text = p + 1;
            char* out = text;
            char* in = text;
            for (;;) {
                void* hit = std::memchr(in, '"', static_cast<std::size_t>(end - in));
                if (!hit) {
                    // No closing mark: the rest of the line less its last byte.
                    std::memmove(out, in, static_cast<std::size_t>(end - in));
                    out += end - in;
                    if (out > text) --out;
                    p = end;
                    break;
                }
                char* q = static_cast<char*>(hit);
                if (out != in) std::memmove(out, in, static_cast<std::size_t>(q - in));
                out += q - in;
                if (q + 1 < end && q[1] == '"') {
                    *out++ = '"';
                    in = q + 2;
                    continue;
                }
                // A new cell begins right after the closing mark, separator or not.
                p = q + 1;
                break;
            }
            if (out == text) {
                // An empty text is kept as a single blank, in the mark's place.
                *mark = ' ';
                cells.emplace_back(mark, 1);
            } else {
                cells.emplace_back(text, static_cast<std::size_t>(out - text));
            }
        } else {
            char* start = p;
            while (p < end && !isSeparator(*p)) ++p;
            cells.emplace_back(start, static_cast<std::size_t>(p - start));
        }
        p = skipSeparators(p, end);
    }
}

void report(const TwoDaLineError& onLineError, std::size_t lineNumber, std::string_view reason)
{
    if (!onLineError) return;
    std::string message(kAddRowFailedText);
    message += reason;
    onLineError(lineNumber, message);
}

void placeHeader(Sheet& sheet, const std::vector<BytesView>& cells)
{
    if (cells.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw std::length_error("Too many columns in the header line");
    sheet.setColCount(static_cast<int>(cells.size()));
    for (std::size_t c = 0; c < cells.size(); ++c) sheet.setCell(static_cast<int>(c), 0, cells[c]);
}

// Makes room for every data row the rest of the text can give, so that the
// cells never move while rows are added. Only a hint: on failure the rows are
// added one by one.
void reserveForRest(Sheet& sheet, LineCursor rest)
{
    std::size_t lines = 0;
    char* begin;
    char* end;
    while (rest.next(begin, end))
        if (!isBlankLine(begin, end)) ++lines;
    try {
        sheet.reserveRows(lines);
    } catch (const std::exception&) {
    }
}

// Splits the text [data, data + n), which the sheet already owns, into the
// sheet.
void parse(char* data, std::size_t n, Sheet& sheet, const TwoDaLineError& onLineError)
{
    if (void* zero = std::memchr(data, 0, n)) n = static_cast<std::size_t>(static_cast<char*>(zero) - data);
    LineCursor lines(data, data + n);
    char* begin;
    char* end;
    if (!lines.next(begin, end)) return; // the signature line is never looked at
    std::size_t lineNumber = 1;
    bool haveHeader = false;
    std::vector<BytesView> cells;
    while (lines.next(begin, end)) {
        ++lineNumber;
        if (isBlankLine(begin, end)) continue;
        cells.clear();
        if (!haveHeader) {
            cells.emplace_back(" ", 1); // the corner cell
            splitCells(begin, end, cells);
            placeHeader(sheet, cells);
            haveHeader = true;
            reserveForRest(sheet, lines);
            continue;
        }
        splitCells(begin, end, cells);
        if (cells.size() > static_cast<std::size_t>(sheet.colCount())) {
            report(onLineError, lineNumber, kTooManyCellsText);
            continue;
        }
        try {
            sheet.appendRow(cells);
        } catch (const std::exception& e) {
            report(onLineError, lineNumber, e.what());
        }
    }
}

void readInto(std::unique_ptr<char[]> buffer, std::size_t n, Sheet& sheet, const TwoDaLineError& onLineError)
{
    if (n == 0) return;
    char* data = sheet.adoptText(std::move(buffer), n);
    parse(data, n, sheet, onLineError);
}

} // namespace

void Read2da(const std::string& path, Sheet& sheet, const TwoDaLineError& onLineError)
{
    std::unique_ptr<char[]> buffer;
    std::size_t n = 0;
    {
        InputFile file(path);
        if (file.size() > std::numeric_limits<std::size_t>::max()) throw std::bad_alloc();
        n = static_cast<std::size_t>(file.size());
        buffer = std::make_unique_for_overwrite<char[]>(n);
        file.readAt(0, buffer.get(), n);
    }
    readInto(std::move(buffer), n, sheet, onLineError);
}

void read2daFromMemory(BytesView contents, Sheet& sheet, const TwoDaLineError& onLineError)
{
    auto buffer = std::make_unique_for_overwrite<char[]>(contents.size());
    if (!contents.empty()) std::memcpy(buffer.get(), contents.data(), contents.size());
    readInto(std::move(buffer), contents.size(), sheet, onLineError);
}
