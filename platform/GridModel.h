#pragma once

#include <QString>

// What the string grid shows: counts, frozen counts and cell texts. The grid
// asks for texts of visible cells only, when it paints them, and never does
// per-row work, so a model may have millions of rows made on demand.
class GridModel {
public:
    virtual ~GridModel();
    virtual int rowCount() const = 0;
    virtual int colCount() const = 0;
    // Frozen top rows and left columns; the grid treats a frozen count at or
    // above its count as "no cell of that axis can be current".
    virtual int fixedRows() const = 0;
    virtual int fixedCols() const = 0;
    virtual QString cellText(int col, int row) const = 0;
    // Called by in-place editing for every change of the editor's text.
    // The default ignores it (a read-only model).
    virtual void setCellText(int col, int row, const QString& text);
};
