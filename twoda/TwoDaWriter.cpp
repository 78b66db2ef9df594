#include "TwoDaWriter.h"

#include "AtomicFileWriter.h"
#include "Sheet.h"
#include "TwoDaTexts.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <optional>
#include <unistd.h>
#include <vector>

namespace {

constexpr BytesView kHead = "2DA V2.0\r\n\r\n";
constexpr BytesView kLineEnd = "\r\n";
constexpr BytesView kPlaceholder = "****";
// A field is as wide as its column's longest text plus this.
constexpr std::size_t kPadding = 3;
constexpr std::size_t kChunk = 1 << 20;

// The reader would cut such a text at the byte or take it for a quoted cell.
bool needsQuotes(BytesView text)
{
    if (!text.empty() && text.front() == '"') return true;
    for (char c : text) {
        unsigned char b = static_cast<unsigned char>(c);
        if (b >= 0x01 && b <= 0x20) return true;
    }
    return false;
}

// Label texts made without allocating: the decimal number, no sign.
class Label {
public:
    explicit Label(std::size_t number)
    {
        auto result = std::to_chars(digits_, digits_ + sizeof digits_, number);
        size_ = static_cast<std::size_t>(result.ptr - digits_);
    }
    BytesView text() const { return {digits_, size_}; }

private:
    char digits_[24]{};
    std::size_t size_ = 0;
};

// Where the text goes: straight into a string, or in chunks to a file.
class Output {
public:
    explicit Output(AtomicFileWriter* file)
        : file_(file)
    {
        if (file_) bytes_.reserve(kChunk + 4096);
    }

    void put(BytesView text)
    {
        bytes_.append(text);
        if (file_ && bytes_.size() >= kChunk) flush();
    }
    void put(char c) { bytes_.push_back(c); }
    // The whole text is about this long: a string is made that big at once.
    void expect(std::size_t size)
    {
        if (!file_) bytes_.reserve(size);
    }
    void blanks(std::size_t n)
    {
        while (n > 0) {
            std::size_t take = file_ ? std::min(n, kChunk) : n;
            bytes_.append(take, ' ');
            n -= take;
            if (file_ && bytes_.size() >= kChunk) flush();
        }
    }
    void flush()
    {
        if (!file_) return;
        file_->write(bytes_);
        bytes_.clear();
    }
    Bytes& bytes() { return bytes_; }

private:
    AtomicFileWriter* file_;
    Bytes bytes_;
};

// The text as it goes into the file; returns its length there.
std::size_t putFileText(Output& out, BytesView text)
{
    if (text.empty()) {
        out.put(kPlaceholder);
        return kPlaceholder.size();
    }
    if (!needsQuotes(text)) {
        out.put(text);
        return text.size();
    }
    std::size_t length = 2;
    out.put('"');
    for (;;) {
        std::size_t mark = text.find('"');
        if (mark == BytesView::npos) break;
        out.put(text.substr(0, mark + 1));
        out.put('"');
        length += mark + 2;
        text.remove_prefix(mark + 1);
    }
    out.put(text);
    out.put('"');
    return length + text.size();
}

// Pads a field and keeps it apart from the next cell even when its text
// fills or passes the width.
void endField(Output& out, std::size_t written, std::size_t width, bool last)
{
    if (written < width)
        out.blanks(width - written);
    else if (!last)
        out.blanks(1);
}

// Widths of the fields, measured on the texts as they stand in the sheet
// after relabelling (no quotes, no placeholder); size_t cannot overflow
// where a text is longer than any narrower type holds.
std::vector<std::size_t> columnWidths(const Sheet& sheet)
{
    int rows = sheet.rowCount();
    int cols = sheet.colCount();
    std::vector<std::size_t> widths(static_cast<std::size_t>(cols), 0);
    // The corner cell is empty; the labels run from 0 to rows - 2.
    if (rows >= 2) widths[0] = Label(static_cast<std::size_t>(rows - 2)).text().size();
    for (int r = 0; r < rows; ++r)
        for (int c = 1; c < cols; ++c)
            widths[static_cast<std::size_t>(c)] = std::max(widths[static_cast<std::size_t>(c)], sheet.cell(c, r).size());
    for (std::size_t& w : widths) w += kPadding;
    return widths;
}

void emit(const Sheet& sheet, Output& out)
{
    int rows = sheet.rowCount();
    int cols = sheet.colCount();
    std::vector<std::size_t> widths = columnWidths(sheet);
    std::size_t lineLength = kLineEnd.size();
    for (std::size_t w : widths) lineLength += w;
    out.expect(kHead.size() + lineLength * static_cast<std::size_t>(rows));
    out.put(kHead);
    // The corner cell is written as blanks only.
    endField(out, 0, widths[0], cols == 1);
    for (int c = 1; c < cols; ++c)
        endField(out, putFileText(out, sheet.cell(c, 0)), widths[static_cast<std::size_t>(c)], c == cols - 1);
    out.put(kLineEnd);
    for (int r = 1; r < rows; ++r) {
        Label label(static_cast<std::size_t>(r - 1));
        out.put(label.text());
        endField(out, label.text().size(), widths[0], cols == 1);
        for (int c = 1; c < cols; ++c)
            endField(out, putFileText(out, sheet.cell(c, r)), widths[static_cast<std::size_t>(c)], c == cols - 1);
        out.put(kLineEnd);
    }
    out.flush();
}

// The target is replaced by renaming, which a file that may not be written
// would not stop; such a file counts as one that cannot be opened for writing.
bool targetWritable(const std::string& path)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return errno == ENOENT;
    ::close(fd);
    return true;
}

} // namespace

Bytes format2da(const Sheet& sheet)
{
    Output out(nullptr);
    emit(sheet, out);
    return std::move(out.bytes());
}

void relabel2da(Sheet& sheet)
{
    sheet.setCell(0, 0, {});
    for (int r = 1; r < sheet.rowCount(); ++r) {
        Label label(static_cast<std::size_t>(r - 1));
        // Labels that already hold their number are left alone, so saving
        // again stores nothing new.
        if (sheet.cell(0, r) != label.text()) sheet.setCell(0, r, label.text());
    }
}

void Write2da(Sheet& sheet, const std::string& path)
{
    std::optional<AtomicFileWriter> file;
    try {
        if (targetWritable(path)) file.emplace(path);
    } catch (const FileError&) {
    }
    if (!file) throw TwoDaWriteError(std::string(kWriteOpenFailedText));
    try {
        Output out(&*file);
        emit(sheet, out);
        file->commit();
    } catch (const FileError& e) {
        throw TwoDaWriteError(std::string(kWriteOpenFailedText) + "\n" + e.what());
    }
    relabel2da(sheet);
}
