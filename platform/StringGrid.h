#pragma once

#include "GridOptions.h"
#include "GridRect.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QString>

#include <functional>
#include <vector>

class GridModel;
class QLineEdit;
class QPainter;

// A custom-painted grid of text cells over a GridModel (not owned). It paints
// only the visible cells and keeps no per-row state, so a model of 16.7
// million rows opens at once. Vertical scrolling is by whole rows (the
// scroll bar's value is the top row), horizontal scrolling by whole columns;
// no pixel offset of the whole table is ever computed.
//
// Frozen rows/columns (the model's fixed counts) are drawn as header cells,
// stay in place while the rest scrolls, and never hold the current cell.
// When no unfrozen cell exists the grid has no current cell: row() and col()
// are -1 and selection() is empty.
class StringGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit StringGrid(QWidget* parent = nullptr);
    ~StringGrid() override;

    // Shows a model (nullptr: an empty grid). Current cell and scroll
    // position go to the first unfrozen cell.
    void setModel(GridModel* model);
    GridModel* model() const { return model_; }
    // Counts or fixed counts may have changed. A change of a fixed count
    // moves the current cell to the first unfrozen cell and scrolls back to
    // it (the component's rule); otherwise the current cell, selection and
    // scroll position are only clamped. Ends in-place editing. Repaints.
    void modelReset();
    // Cell texts changed: repaint only.
    void cellsChanged();

    void setOptions(GridOptions options);
    GridOptions options() const { return options_; }

    void setDefaultRowHeight(int height);
    int defaultRowHeight() const { return rowHeight_; }
    // Width of columns not set one by one (64 unless changed).
    void setDefaultColWidth(int width);
    int defaultColWidth() const { return defaultColWidth_; }
    void setColWidth(int col, int width);
    int colWidth(int col) const;

    // Background of the unfrozen cells.
    void setCellColor(const QColor& color);
    QColor cellColor() const { return cellColor_; }
    void setGridColor(const QColor& color);
    QColor gridColor() const { return gridColor_; }

    int row() const { return curRow_; }
    int col() const { return curCol_; }
    // Makes (col, row) current as the program's move: asks onSelectCell,
    // collapses the selection onto the cell (the row with goRowSelect, where
    // the current column stays the first unfrozen one) and scrolls it just
    // into view: a row above the view becomes the top row, a row below it
    // the last fully visible row. Nothing happens when the cell is already
    // current. Returns false, changing nothing, for a frozen or nonexistent
    // cell or when onSelectCell refuses.
    bool setCurrentCell(int col, int row);
    GridRect selection() const;

    // First unfrozen row/column in view.
    int topRow() const { return topRow_; }
    int leftCol() const { return leftCol_; }
    void setTopRow(int row);
    void setLeftCol(int col);
    // Unfrozen rows fully in view (never counting rows past the end).
    int visibleRowCount() const;
    int visibleColCount() const;

    // In-place editing (goEditing): starts on the current cell with its text.
    bool isEditing() const { return editor_ != nullptr && editing_; }
    void startEditing();
    // Ends editing, keeping the text (the model already has it).
    void finishEditing();
    // Ends editing and puts the cell's text back as it was when editing began.
    void cancelEditing();
    QLineEdit* editor() const { return editor_; }

    // Cell under a viewport point; false outside all cells.
    bool cellAt(const QPoint& viewportPos, int* col, int* row) const;
    // Viewport rectangle of a cell in view (empty when it is not in view).
    QRect cellRect(int col, int row) const;

    // Asked before a cell becomes current, by mouse, keyboard or program;
    // returning false refuses the move.
    std::function<bool(int col, int row)> onSelectCell;

signals:
    void currentCellChanged(int col, int row);
    void doubleClicked();
    // Every change of the in-place editor's text (the model has it already).
    void cellTextEdited(int col, int row, const QString& text);
    // In-place editing of the cell ended, also when its text was unchanged.
    void editingFinished(int col, int row);
    void colWidthChanged(int col, int width);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    struct Counts {
        int rows = 0;
        int cols = 0;
        int fixedRows = 0;
        int fixedCols = 0;
    };
    enum class Move { Program, User, UserExtend };
    // A visible column or row: its index and its position in the viewport.
    struct Span {
        int index;
        int pos;
    };

    Counts readCounts() const;
    bool hasCells() const;
    int rowPitch() const;
    int colPitch(int col) const;
    int fixedHeight() const;
    int fixedWidth() const;
    int pageRows() const;
    int maxTopRow() const;
    int maxLeftCol() const;
    int lastFullyVisibleCol() const;
    // Frozen ones first, then the scrolled ones that reach into the view.
    std::vector<Span> visibleCols() const;
    std::vector<Span> visibleRows() const;
    void updateScrollBars();
    void scrollRowIntoView(int row);
    void scrollColIntoView(int col);
    bool moveCurrent(int col, int row, Move how);
    void navigate(QKeyEvent* event);
    int colBorderAt(const QPoint& viewportPos) const;
    void ensureEditor();
    void placeEditor();
    void endEditing(bool restore);
    void editorTextEdited(const QString& text);
    void paintCell(QPainter& p, int col, int row, const QRect& rect, bool fixed);

    GridModel* model_ = nullptr;
    Counts counts_;
    GridOptions options_ = defaultGridOptions();
    int rowHeight_ = 24;
    int defaultColWidth_ = 64;
    std::vector<int> colWidths_; // -1 (or past the end): the default width
    QColor cellColor_;
    QColor gridColor_;

    int curCol_ = -1;
    int curRow_ = -1;
    int anchorCol_ = -1;
    int anchorRow_ = -1;
    int topRow_ = 0;
    int leftCol_ = 0;
    bool syncingScrollBars_ = false;

    // Mouse gestures.
    int sizingCol_ = -1;
    int sizingStartX_ = 0;
    int sizingStartWidth_ = 0;
    bool selecting_ = false;

    QLineEdit* editor_ = nullptr;
    bool editing_ = false;
    int editCol_ = -1;
    int editRow_ = -1;
    QString editOriginal_;
};
