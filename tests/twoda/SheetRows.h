#pragma once

#include "Sheet.h"

#include <string>
#include <vector>

// A sheet written out as its rows of cell texts, for building sheets and
// comparing them in tests.
using SheetRows = std::vector<std::vector<std::string>>;

// A sheet as wide as the widest row; shorter rows leave their last cells empty.
inline Sheet sheetFromRows(const SheetRows& rows)
{
    Sheet sheet;
    std::size_t width = 1;
    for (const auto& row : rows) width = std::max(width, row.size());
    sheet.setRowCount(static_cast<int>(rows.size()));
    sheet.setColCount(static_cast<int>(width));
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            sheet.setCell(static_cast<int>(c), static_cast<int>(r), rows[r][c]);
    return sheet;
}

inline SheetRows rowsOf(const Sheet& sheet)
{
    SheetRows rows(static_cast<std::size_t>(sheet.rowCount()));
    for (int r = 0; r < sheet.rowCount(); ++r)
        for (int c = 0; c < sheet.colCount(); ++c) rows[static_cast<std::size_t>(r)].emplace_back(sheet.cell(c, r));
    return rows;
}
