#include "Sheet.h"
#include "SheetError.h"
#include "SheetRows.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string errorOf(auto&& action)
{
    try {
        action();
    } catch (const SheetError& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

TEST(Sheet, StartsAsOneEmptyCellWithNothingFrozen)
{
    Sheet sheet;
    EXPECT_EQ(rowsOf(sheet), (SheetRows{{""}}));
    EXPECT_EQ(sheet.fixedRows(), 0);
    EXPECT_EQ(sheet.fixedCols(), 0);
    EXPECT_EQ(sheet.tag(), 0);
    EXPECT_EQ(sheet.col(), 0);
    EXPECT_EQ(sheet.row(), 0);
}

TEST(Sheet, GrowingAddsEmptyCellsAndShrinkingDropsFromTheEnd)
{
    Sheet sheet = sheetFromRows({{"a", "b", "c"}, {"d", "e", "f"}});
    sheet.setColCount(4);
    sheet.setRowCount(3);
    EXPECT_EQ(rowsOf(sheet), (SheetRows{{"a", "b", "c", ""}, {"d", "e", "f", ""}, {"", "", "", ""}}));
    sheet.setColCount(2);
    EXPECT_EQ(rowsOf(sheet), (SheetRows{{"a", "b"}, {"d", "e"}, {"", ""}}));
    sheet.setRowCount(1);
    sheet.setColCount(3);
    sheet.setRowCount(2);
    // Dropped cells do not come back when the sheet grows again.
    EXPECT_EQ(rowsOf(sheet), (SheetRows{{"a", "b", ""}, {"", "", ""}}));
}

TEST(Sheet, CountsNeverDropBelowOne)
{
    Sheet sheet = sheetFromRows({{"a", "b"}, {"c", "d"}});
    sheet.setRowCount(0);
    sheet.setColCount(-5);
    EXPECT_EQ(rowsOf(sheet), (SheetRows{{"a"}}));
}

TEST(Sheet, CellsOutsideTheSheetAreRefused)
{
    Sheet sheet = sheetFromRows({{"a", "b"}});
    EXPECT_EQ(errorOf([&] { sheet.cell(2, 0); }), "Grid index out of range");
    EXPECT_EQ(errorOf([&] { sheet.setCell(0, 1, "x"); }), "Grid index out of range");
    EXPECT_EQ(errorOf([&] { sheet.setCell(-1, 0, "x"); }), "Grid index out of range");
    EXPECT_EQ(rowsOf(sheet), (SheetRows{{"a", "b"}}));
}

TEST(Sheet, TextsAreBytesOfAnyValueButZero)
{
    Sheet sheet;
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    sheet.setCell(0, 0, all);
    EXPECT_EQ(sheet.cell(0, 0), all);
    // A cell set from another cell keeps its text when the source changes.
    sheet.setColCount(2);
    sheet.setCell(1, 0, sheet.cell(0, 0));
    sheet.setCell(0, 0, "other");
    EXPECT_EQ(sheet.cell(1, 0), all);
}

TEST(Sheet, FrozenCountsMustStayBelowTheCounts)
{
    Sheet sheet = sheetFromRows({{"a", "b", "c"}, {"d", "e", "f"}});
    EXPECT_EQ(errorOf([&] { sheet.setFixedRows(2); }), "Fixed row count must be less than row count");
    EXPECT_EQ(errorOf([&] { sheet.setFixedCols(3); }), "Fixed column count must be less than column count");
    EXPECT_EQ(errorOf([&] { sheet.setFixedRows(-1); }), "Grid index out of range");
    EXPECT_EQ(errorOf([&] { sheet.setFixedCols(-1); }), "Grid index out of range");
    EXPECT_EQ(sheet.fixedRows(), 0);
    EXPECT_EQ(sheet.fixedCols(), 0);

    Sheet single;
    EXPECT_EQ(errorOf([&] { single.setFixedRows(1); }), "Fixed row count must be less than row count");
    EXPECT_EQ(errorOf([&] { single.setFixedCols(1); }), "Fixed column count must be less than column count");
}

TEST(Sheet, AcceptedFreezeMovesTheCurrentCellToTheFirstUnfrozenCell)
{
    Sheet sheet = sheetFromRows({{"", "a", "b", "c"}, {"0", "1", "2", "3"}, {"1", "1", "2", "3"}});
    sheet.setCurrentCell(3, 2);
    sheet.setFixedCols(2);
    EXPECT_EQ(std::pair(sheet.col(), sheet.row()), std::pair(2, 0));
    sheet.setCurrentCell(3, 2);
    sheet.setFixedRows(1);
    EXPECT_EQ(std::pair(sheet.col(), sheet.row()), std::pair(2, 1));
    sheet.setCurrentCell(3, 2);
    sheet.setFixedRows(1); // the count it already has: nothing moves
    EXPECT_EQ(std::pair(sheet.col(), sheet.row()), std::pair(3, 2));
    sheet.setFixedRows(0);
    EXPECT_EQ(std::pair(sheet.col(), sheet.row()), std::pair(2, 0));
    // A refused request leaves the current cell alone too.
    sheet.setCurrentCell(3, 2);
    EXPECT_THROW(sheet.setFixedCols(4), SheetError);
    EXPECT_EQ(std::pair(sheet.col(), sheet.row()), std::pair(3, 2));
}

TEST(Sheet, CurrentCellIsNeverFrozenNorOutside)
{
    Sheet sheet = sheetFromRows({{"", "a", "b"}, {"0", "1", "2"}, {"1", "1", "2"}});
    sheet.setFixedRows(1);
    sheet.setFixedCols(1);
    EXPECT_EQ(errorOf([&] { sheet.setCurrentCell(0, 2); }), "Grid index out of range");
    EXPECT_EQ(errorOf([&] { sheet.setCurrentCell(2, 0); }), "Grid index out of range");
    EXPECT_EQ(errorOf([&] { sheet.setCurrentCell(3, 1); }), "Grid index out of range");
    EXPECT_EQ(std::pair(sheet.col(), sheet.row()), std::pair(1, 1));
    sheet.setCurrentCell(2, 2);
    EXPECT_EQ(std::pair(sheet.col(), sheet.row()), std::pair(2, 2));
}

TEST(Sheet, ShrinkingBelowTheCurrentCellMovesItToTheLastRowOrColumn)
{
    Sheet sheet = sheetFromRows({{"", "a", "b", "c"}, {"0", "1", "2", "3"}, {"1", "1", "2", "3"}, {"2", "", "", ""}});
    sheet.setFixedRows(1);
    sheet.setCurrentCell(3, 3);
    sheet.setRowCount(3);
    EXPECT_EQ(std::pair(sheet.col(), sheet.row()), std::pair(3, 2));
    sheet.setColCount(2);
    EXPECT_EQ(std::pair(sheet.col(), sheet.row()), std::pair(1, 2));
    EXPECT_EQ(sheet.fixedRows(), 1);
}

TEST(Sheet, ShrinkingToTheFrozenCountLowersItAndMovesTheCurrentCell)
{
    Sheet sheet = sheetFromRows({{"", "a", "b", "c"}, {"0", "1", "2", "3"}, {"1", "1", "2", "3"}});
    sheet.setFixedRows(1);
    sheet.setFixedCols(2);
    sheet.setCurrentCell(3, 2);
    sheet.setRowCount(1);
    EXPECT_EQ(sheet.fixedRows(), 0);
    EXPECT_EQ(std::pair(sheet.col(), sheet.row()), std::pair(2, 0));
    sheet.setColCount(2);
    EXPECT_EQ(sheet.fixedCols(), 1);
    EXPECT_EQ(std::pair(sheet.col(), sheet.row()), std::pair(1, 0));
}

TEST(Sheet, AppendRowFillsFromTheLeftAndRefusesTooManyTexts)
{
    Sheet sheet = sheetFromRows({{" ", "a", "b"}});
    BytesView two[] = {"0", "x"};
    sheet.appendRow(two);
    BytesView four[] = {"1", "x", "y", "z"};
    EXPECT_EQ(errorOf([&] { sheet.appendRow(four); }), "Grid index out of range");
    EXPECT_EQ(rowsOf(sheet), (SheetRows{{" ", "a", "b"}, {"0", "x", ""}}));
}

TEST(Sheet, CopiesAreIndependent)
{
    Sheet original = sheetFromRows({{"a", "b"}, {"c", "d"}});
    Sheet copy = original;
    copy.setCell(0, 0, "changed");
    original.setCell(1, 1, "also changed");
    copy.setTag(1);
    // Both go on storing texts without touching each other's.
    for (int i = 0; i < 2000; ++i) {
        original.setCell(0, 1, std::string(100, static_cast<char>('a' + i % 26)));
        copy.setCell(1, 0, std::string(100, static_cast<char>('A' + i % 26)));
    }
    EXPECT_EQ(rowsOf(original), (SheetRows{{"a", "b"}, {std::string(100, 'x'), "also changed"}}));
    EXPECT_EQ(rowsOf(copy), (SheetRows{{"changed", std::string(100, 'X')}, {"c", "d"}}));
    EXPECT_EQ(original.tag(), 0);
}
