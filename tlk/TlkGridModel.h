#pragma once

#include "CodePage.h"
#include "GridModel.h"
#include "TlkDocument.h"

// Shows a talk table document in the grid: a header row of captions, then
// one row per entry (StrRef, text, sound reference, duration), cell texts
// made when the grid paints them.
class TlkGridModel : public GridModel {
public:
    enum Column { ColStrRef = 0, ColText = 1, ColSound = 2, ColDuration = 3 };

    TlkGridModel(const TlkDocument& doc, const CodePage& codePage, char decimalSeparator)
        : doc_(doc), codePage_(codePage), sep_(decimalSeparator) {}

    // The header row's caption of a column.
    static QString caption(int col);

    int rowCount() const override { return int(doc_.count()) + 1; }
    int colCount() const override { return 4; }
    int fixedRows() const override { return 1; }
    int fixedCols() const override { return 0; }
    QString cellText(int col, int row) const override;

private:
    const TlkDocument& doc_;
    const CodePage& codePage_;
    char sep_;
};
