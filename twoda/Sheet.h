#pragma once

#include "Bytes.h"
#include "TextStore.h"

#include <cstddef>
#include <memory>
#include <span>
#include <vector>

// One 2DA file in memory: a rectangle of byte-string cells addressed by
// (column, row) from 0. Row 0 holds the corner cell and the column names,
// column 0 the row labels. Besides the cells it keeps what the sheet's grid
// keeps: the frozen counts, the modified flag (Tag) and the current cell,
// with the grid's rules:
//  - the row and column counts never drop below 1;
//  - a frozen count stays below its count; a request that does not fit is
//    refused with the grid's error text, and lowering a count to or below
//    its frozen count lowers the frozen count to count - 1;
//  - an accepted change of a frozen count makes the first unfrozen cell
//    current; the current cell is always inside the sheet and never frozen.
// A new sheet is one row by one column, its cell empty, nothing frozen.
class Sheet {
public:
    Sheet();

    int rowCount() const { return rowCount_; }
    int colCount() const { return colCount_; }
    // Below 1 gives 1. Raising adds empty rows at the bottom, lowering drops
    // rows from the bottom.
    void setRowCount(int count);
    // Below 1 gives 1. Raising adds empty columns at the right, lowering
    // drops columns from the right.
    void setColCount(int count);

    // The view stays valid as long as the sheet (or a copy of it) lives.
    // Throws SheetError for a cell outside the sheet.
    BytesView cell(int col, int row) const;
    // Throws SheetError for a cell outside the sheet.
    void setCell(int col, int row, BytesView text);

    int fixedRows() const { return fixedRows_; }
    int fixedCols() const { return fixedCols_; }
    // Throws SheetError "Fixed row count must be less than row count" or
    // "Grid index out of range" (negative), changing nothing.
    void setFixedRows(int count);
    // Throws SheetError "Fixed column count must be less than column count"
    // or "Grid index out of range" (negative), changing nothing.
    void setFixedCols(int count);

    // The modified flag the editor window keeps with the sheet.
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    // The current cell.
    int col() const { return col_; }
    int row() const { return row_; }
    // Throws SheetError "Grid index out of range" for a cell outside the
    // sheet or a frozen one, changing nothing.
    void setCurrentCell(int col, int row);

    // Adds a row at the bottom holding these texts from column 0 on; the
    // cells after them stay empty. Throws SheetError when there are more
    // texts than columns, changing nothing.
    void appendRow(std::span<const BytesView> texts);
    // Makes room for this many rows of the present width, so that adding
    // them moves nothing.
    void reserveRows(std::size_t rows);
    // Hands a buffer to the sheet's text storage and returns its start; a
    // reader splits the buffer in place and stores views of it as cells
    // without copying them.
    char* adoptText(std::unique_ptr<char[]> data, std::size_t n) { return texts_.adopt(std::move(data), n); }

private:
    std::size_t index(int col, int row) const;
    void checkCell(int col, int row) const;
    void goToFirstUnfrozenCell();
    // After a count changed: keeps the frozen count below it and the current
    // cell inside.
    void fitFrozen(int& fixed, int& current, int count);
    void changeFixed(int& fixed, int count, int limit, const char* tooBig);

    int rowCount_ = 1;
    int colCount_ = 1;
    int fixedRows_ = 0;
    int fixedCols_ = 0;
    int tag_ = 0;
    int col_ = 0;
    int row_ = 0;
    // Row-major, rowCount_ * colCount_ views into texts_.
    std::vector<BytesView> cells_;
    TextStore texts_;
};
