#pragma once

#include "GridModel.h"

#include <QHash>
#include <QPoint>

// A small model whose cells are "c,r" until written.
class SmallModel : public GridModel {
public:
    SmallModel(int cols, int rows, int fixedCols, int fixedRows)
        : cols_(cols), rows_(rows), fixedCols_(fixedCols), fixedRows_(fixedRows)
    {
    }
    int rowCount() const override { return rows_; }
    int colCount() const override { return cols_; }
    int fixedRows() const override { return fixedRows_; }
    int fixedCols() const override { return fixedCols_; }
    QString cellText(int col, int row) const override
    {
        ++reads;
        return written.value(QPoint(col, row), QString("%1,%2").arg(col).arg(row));
    }
    void setCellText(int col, int row, const QString& text) override { written[QPoint(col, row)] = text; }

    int cols_, rows_, fixedCols_, fixedRows_;
    QHash<QPoint, QString> written;
    mutable long long reads = 0;
};

// The talk table's shape: a header row and 16,777,216 entry rows, texts made
// on demand; counts every text asked for.
class HugeModel : public SmallModel {
public:
    HugeModel() : SmallModel(4, 16777217, 0, 1) {}
};
