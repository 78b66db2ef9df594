#include "TwoDaJson.h"

#include "JsonReader.h"
#include "JsonOutput.h"
#include "Sheet.h"

#include <algorithm>
#include <vector>

namespace {

class SheetJsonReader : public JsonReader {
public:
    explicit SheetJsonReader(const CodePage& page) : page_(page) {}

    bool start_array(std::size_t) override
    {
        if (at_ == At::Top) {
            at_ = At::Rows;
            return true;
        }
        if (at_ == At::Rows) {
            at_ = At::Cells;
            column_ = 0;
            return true;
        }
        return unexpected("an array");
    }
    bool end_array() override
    {
        if (at_ == At::Cells) {
            rowEnds_.push_back(cellEnds_.size());
            ++row_;
            at_ = At::Rows;
        } else {
            at_ = At::Done;
        }
        return true;
    }
    bool start_object(std::size_t) override { return unexpected("an object"); }
    bool key(string_t&) override { return false; } // never reached: objects are refused at their start
    bool end_object() override { return false; }
    bool string(string_t& value) override
    {
        if (at_ != At::Cells) return unexpected("a string");
        std::string problem;
        if (!encodeJsonText(value, page_, cell_, problem)) return fail(where() + problem);
        // The sheet cannot hold a zero byte, and a line break would cut the
        // row in two in the file.
        if (cell_.find('\0') != Bytes::npos) return fail(where() + "holds a zero character, which a 2DA cell cannot hold");
        if (cell_.find_first_of("\r\n") != Bytes::npos)
            return fail(where() + "holds a line break, which a 2DA cell cannot hold");
        texts_ += cell_;
        cellEnds_.push_back(texts_.size());
        ++column_;
        return true;
    }

    Sheet sheet() const
    {
        Sheet sheet;
        std::size_t widest = 1;
        for (std::size_t r = 0, first = 0; r < rowEnds_.size(); first = rowEnds_[r++])
            widest = std::max(widest, rowEnds_[r] - first);
        sheet.setColCount(int(widest));
        if (rowEnds_.size() > 1) sheet.reserveRows(rowEnds_.size() - 1);
        std::vector<BytesView> row;
        for (std::size_t r = 0, first = 0; r < rowEnds_.size(); first = rowEnds_[r++]) {
            row.clear();
            for (std::size_t c = first; c < rowEnds_[r]; ++c) {
                std::size_t from = c == 0 ? 0 : cellEnds_[c - 1];
                row.emplace_back(texts_.data() + from, cellEnds_[c] - from);
            }
            if (r == 0) {
                for (std::size_t c = 0; c < row.size(); ++c) sheet.setCell(int(c), 0, row[c]);
            } else {
                sheet.appendRow(row);
            }
        }
        return sheet;
    }

protected:
    bool unexpected(const std::string& kind) override
    {
        switch (at_) {
        case At::Top: return fail("the file must hold an array of rows, not " + kind);
        case At::Rows: return fail("row " + std::to_string(row_) + ": a row must be an array of strings, not " + kind);
        default: return fail(where() + "a cell must be a string, not " + kind);
        }
    }

private:
    enum class At { Top, Rows, Cells, Done };

    std::string where() const { return "row " + std::to_string(row_) + ", column " + std::to_string(column_) + ": "; }

    const CodePage& page_;
    At at_ = At::Top;
    std::size_t row_ = 0;
    std::size_t column_ = 0;
    Bytes cell_;
    // Every cell's bytes one after another; where each cell and each row ends.
    Bytes texts_;
    std::vector<std::size_t> cellEnds_;
    std::vector<std::size_t> rowEnds_; // in cells
};

} // namespace

void writeSheetJson(const Sheet& sheet, JsonOutput& out)
{
    out.raw("[");
    for (int r = 0; r < sheet.rowCount(); ++r) {
        out.raw(r == 0 ? "\n[" : ",\n[");
        for (int c = 0; c < sheet.colCount(); ++c) {
            if (c > 0) out.raw(", ");
            out.string(sheet.cell(c, r));
        }
        out.raw("]");
    }
    out.raw("\n]\n");
}

Sheet readSheetJson(const std::string& path, const CodePage& page)
{
    SheetJsonReader reader(page);
    reader.parseFile(path);
    return reader.sheet();
}
