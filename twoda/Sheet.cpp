#include "Sheet.h"

#include "SheetError.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace {
constexpr const char* kIndexOutOfRange = "Grid index out of range";
constexpr const char* kFixedRowsTooBig = "Fixed row count must be less than row count";
constexpr const char* kFixedColsTooBig = "Fixed column count must be less than column count";
}

Sheet::Sheet()
    : cells_(1)
{
}

std::size_t Sheet::index(int col, int row) const
{
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(colCount_) + static_cast<std::size_t>(col);
}

void Sheet::checkCell(int col, int row) const
{
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) throw SheetError(kIndexOutOfRange);
}

BytesView Sheet::cell(int col, int row) const
{
    checkCell(col, row);
    return cells_[index(col, row)];
}

void Sheet::setCell(int col, int row, BytesView text)
{
    checkCell(col, row);
    cells_[index(col, row)] = texts_.keep(text);
}

void Sheet::goToFirstUnfrozenCell()
{
    col_ = fixedCols_;
    row_ = fixedRows_;
}

void Sheet::fitFrozen(int& fixed, int& current, int count)
{
    if (fixed >= count) {
        fixed = count - 1;
        goToFirstUnfrozenCell();
    }
    current = std::min(current, count - 1);
}

void Sheet::setRowCount(int count)
{
    count = std::max(count, 1);
    if (count == rowCount_) return;
    cells_.resize(static_cast<std::size_t>(count) * static_cast<std::size_t>(colCount_));
    rowCount_ = count;
    fitFrozen(fixedRows_, row_, count);
}

void Sheet::setColCount(int count)
{
    count = std::max(count, 1);
    if (count == colCount_) return;
    std::size_t rows = static_cast<std::size_t>(rowCount_);
    std::size_t oldWidth = static_cast<std::size_t>(colCount_);
    std::size_t newWidth = static_cast<std::size_t>(count);
    std::size_t kept = std::min(oldWidth, newWidth);
    if (rows == 1) {
        cells_.resize(newWidth);
    } else {
        std::vector<BytesView> cells(rows * newWidth);
        for (std::size_t r = 0; r < rows; ++r)
            std::copy_n(cells_.begin() + static_cast<std::ptrdiff_t>(r * oldWidth), kept,
                        cells.begin() + static_cast<std::ptrdiff_t>(r * newWidth));
        cells_ = std::move(cells);
    }
    colCount_ = count;
    fitFrozen(fixedCols_, col_, count);
}

void Sheet::changeFixed(int& fixed, int count, int limit, const char* tooBig)
{
    if (count == fixed) return;
    if (count < 0) throw SheetError(kIndexOutOfRange);
    if (count >= limit) throw SheetError(tooBig);
    fixed = count;
    goToFirstUnfrozenCell();
}

void Sheet::setFixedRows(int count)
{
    changeFixed(fixedRows_, count, rowCount_, kFixedRowsTooBig);
}

void Sheet::setFixedCols(int count)
{
    changeFixed(fixedCols_, count, colCount_, kFixedColsTooBig);
}

void Sheet::setCurrentCell(int col, int row)
{
    checkCell(col, row);
    if (col < fixedCols_ || row < fixedRows_) throw SheetError(kIndexOutOfRange);
    col_ = col;
    row_ = row;
}

void Sheet::appendRow(std::span<const BytesView> texts)
{
    if (texts.size() > static_cast<std::size_t>(colCount_)) throw SheetError(kIndexOutOfRange);
    if (rowCount_ == std::numeric_limits<int>::max()) throw SheetError(kIndexOutOfRange);
    std::size_t start = cells_.size();
    cells_.resize(start + static_cast<std::size_t>(colCount_));
    try {
        for (std::size_t c = 0; c < texts.size(); ++c) cells_[start + c] = texts_.keep(texts[c]);
    } catch (...) {
        cells_.resize(start); // the row is whole or not there
        throw;
    }
    ++rowCount_;
}

void Sheet::reserveRows(std::size_t rows)
{
    std::size_t width = static_cast<std::size_t>(colCount_);
    if (rows > (cells_.max_size() - cells_.size()) / width) throw std::length_error("Sheet::reserveRows");
    cells_.reserve(cells_.size() + rows * width);
}
