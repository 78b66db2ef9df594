#include "StringGrid.h"

#include "GridModel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>

namespace {

// How close (pixels) the mouse must be to a column border to drag it.
constexpr int sizingGrip = 2;
constexpr int minColWidth = 1;

bool isNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

} // namespace

StringGrid::StringGrid(QWidget* parent)
    : QAbstractScrollArea(parent), cellColor_(palette().color(QPalette::Base)), gridColor_(QColor(192, 192, 192))
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);
    setOptions(options_);
}

StringGrid::~StringGrid() = default;

// ---- model -----------------------------------------------------------------

StringGrid::Counts StringGrid::readCounts() const
{
    Counts c;
    if (!model_)
        return c;
    c.rows = std::max(0, model_->rowCount());
    c.cols = std::max(0, model_->colCount());
    c.fixedRows = std::clamp(model_->fixedRows(), 0, c.rows);
    c.fixedCols = std::clamp(model_->fixedCols(), 0, c.cols);
    return c;
}

bool StringGrid::hasCells() const
{
    return counts_.fixedRows < counts_.rows && counts_.fixedCols < counts_.cols;
}

void StringGrid::setModel(GridModel* model)
{
    endEditing(false);
    model_ = model;
    counts_ = readCounts();
    if (hasCells()) {
        curCol_ = counts_.fixedCols;
        curRow_ = counts_.fixedRows;
    } else {
        curCol_ = curRow_ = -1;
    }
    anchorCol_ = curCol_;
    anchorRow_ = curRow_;
    topRow_ = counts_.fixedRows;
    leftCol_ = counts_.fixedCols;
    updateScrollBars();
    viewport()->update();
    emit currentCellChanged(curCol_, curRow_);
}

void StringGrid::modelReset()
{
    endEditing(false);
    const Counts old = counts_;
    counts_ = readCounts();
    if (int(colWidths_.size()) > counts_.cols)
        colWidths_.resize(counts_.cols);
    const int oldCol = curCol_;
    const int oldRow = curRow_;
    if (!hasCells()) {
        curCol_ = curRow_ = anchorCol_ = anchorRow_ = -1;
        topRow_ = counts_.fixedRows;
        leftCol_ = counts_.fixedCols;
    } else if (old.fixedRows != counts_.fixedRows || old.fixedCols != counts_.fixedCols || curRow_ < 0) {
        // A new frozen count puts the current cell on the first unfrozen
        // cell and scrolls back to it.
        curCol_ = anchorCol_ = counts_.fixedCols;
        curRow_ = anchorRow_ = counts_.fixedRows;
        topRow_ = counts_.fixedRows;
        leftCol_ = counts_.fixedCols;
    } else {
        auto clampCol = [&](int c) { return std::clamp(c, counts_.fixedCols, counts_.cols - 1); };
        auto clampRow = [&](int r) { return std::clamp(r, counts_.fixedRows, counts_.rows - 1); };
        curCol_ = options_ & goRowSelect ? counts_.fixedCols : clampCol(curCol_);
        curRow_ = clampRow(curRow_);
        anchorCol_ = clampCol(anchorCol_);
        anchorRow_ = clampRow(anchorRow_);
    }
    updateScrollBars();
    viewport()->update();
    if (curCol_ != oldCol || curRow_ != oldRow)
        emit currentCellChanged(curCol_, curRow_);
}

void StringGrid::cellsChanged()
{
    viewport()->update();
}

// ---- settings --------------------------------------------------------------

void StringGrid::setOptions(GridOptions options)
{
    const GridOptions old = options_;
    options_ = options;
    if (!(options & goEditing))
        endEditing(false);
    if ((old ^ options) & goRowSelect && hasCells()) {
        if (options & goRowSelect)
            curCol_ = counts_.fixedCols;
        anchorCol_ = curCol_;
        anchorRow_ = curRow_;
    }
    const bool tracking = options & goThumbTracking;
    verticalScrollBar()->setTracking(tracking);
    horizontalScrollBar()->setTracking(tracking);
    updateScrollBars();
    viewport()->update();
}

void StringGrid::setDefaultRowHeight(int height)
{
    rowHeight_ = std::max(1, height);
    updateScrollBars();
    placeEditor();
    viewport()->update();
}

void StringGrid::setDefaultColWidth(int width)
{
    // As the component does: a new default width applies to every column.
    defaultColWidth_ = std::max(minColWidth, width);
    colWidths_.clear();
    updateScrollBars();
    placeEditor();
    viewport()->update();
}

void StringGrid::setColWidth(int col, int width)
{
    if (col < 0)
        return;
    if (col >= int(colWidths_.size()))
        colWidths_.resize(size_t(col) + 1, -1);
    colWidths_[size_t(col)] = std::max(minColWidth, width);
    updateScrollBars();
    placeEditor();
    viewport()->update();
}

int StringGrid::colWidth(int col) const
{
    if (col >= 0 && col < int(colWidths_.size()) && colWidths_[size_t(col)] >= 0)
        return colWidths_[size_t(col)];
    return defaultColWidth_;
}

void StringGrid::setCellColor(const QColor& color)
{
    cellColor_ = color;
    viewport()->update();
}

void StringGrid::setGridColor(const QColor& color)
{
    gridColor_ = color;
    viewport()->update();
}

// ---- geometry --------------------------------------------------------------

int StringGrid::rowPitch() const
{
    return rowHeight_ + (options_ & (goFixedHorzLine | goHorzLine) ? 1 : 0);
}

int StringGrid::colPitch(int col) const
{
    return colWidth(col) + (options_ & (goFixedVertLine | goVertLine) ? 1 : 0);
}

int StringGrid::fixedHeight() const
{
    return counts_.fixedRows * rowPitch();
}

int StringGrid::fixedWidth() const
{
    int width = 0;
    for (int c = 0; c < counts_.fixedCols; ++c)
        width += colPitch(c);
    return width;
}

int StringGrid::pageRows() const
{
    const int room = viewport()->height() - fixedHeight() - rowHeight_;
    return room < 0 ? 1 : room / rowPitch() + 1;
}

int StringGrid::maxTopRow() const
{
    return std::max(counts_.fixedRows, counts_.rows - pageRows());
}

int StringGrid::maxLeftCol() const
{
    const int room = viewport()->width() - fixedWidth();
    int used = 0;
    int left = counts_.cols - 1;
    for (int c = counts_.cols - 1; c >= counts_.fixedCols; --c) {
        used += colWidth(c);
        if (used > room)
            break;
        left = c;
        used += colPitch(c) - colWidth(c);
    }
    return std::max(counts_.fixedCols, left);
}

int StringGrid::lastFullyVisibleCol() const
{
    const int width = viewport()->width();
    int x = fixedWidth();
    int last = leftCol_ - 1;
    for (int c = leftCol_; c < counts_.cols; ++c) {
        if (x + colWidth(c) > width)
            break;
        last = c;
        x += colPitch(c);
    }
    return last;
}

int StringGrid::visibleRowCount() const
{
    if (counts_.fixedRows >= counts_.rows)
        return 0;
    const int room = viewport()->height() - fixedHeight() - rowHeight_;
    const int fully = room < 0 ? 0 : room / rowPitch() + 1;
    return std::min(fully, counts_.rows - topRow_);
}

int StringGrid::visibleColCount() const
{
    return std::max(0, lastFullyVisibleCol() - leftCol_ + 1);
}

std::vector<StringGrid::Span> StringGrid::visibleCols() const
{
    std::vector<Span> cols;
    const int width = viewport()->width();
    int x = 0;
    for (int c = 0; c < counts_.fixedCols && x < width; x += colPitch(c), ++c)
        cols.push_back({c, x});
    for (int c = leftCol_; c < counts_.cols && x < width; x += colPitch(c), ++c)
        cols.push_back({c, x});
    return cols;
}

std::vector<StringGrid::Span> StringGrid::visibleRows() const
{
    std::vector<Span> rows;
    const int height = viewport()->height();
    const int pitch = rowPitch();
    int y = 0;
    for (int r = 0; r < counts_.fixedRows && y < height; y += pitch, ++r)
        rows.push_back({r, y});
    for (int r = topRow_; r < counts_.rows && y < height; y += pitch, ++r)
        rows.push_back({r, y});
    return rows;
}

bool StringGrid::cellAt(const QPoint& pos, int* col, int* row) const
{
    // A point on a grid line belongs to the cell left of / above it.
    for (const Span& r : visibleRows()) {
        if (pos.y() < r.pos || pos.y() >= r.pos + rowPitch())
            continue;
        for (const Span& c : visibleCols()) {
            if (pos.x() >= c.pos && pos.x() < c.pos + colPitch(c.index)) {
                *col = c.index;
                *row = r.index;
                return true;
            }
        }
    }
    return false;
}

QRect StringGrid::cellRect(int col, int row) const
{
    if (col < 0 || row < 0 || col >= counts_.cols || row >= counts_.rows)
        return {};
    int x;
    if (col < counts_.fixedCols) {
        x = 0;
        for (int c = 0; c < col; ++c)
            x += colPitch(c);
    } else if (col >= leftCol_) {
        x = fixedWidth();
        for (int c = leftCol_; c < col && x < viewport()->width(); ++c)
            x += colPitch(c);
    } else {
        return {};
    }
    long long y;
    if (row < counts_.fixedRows)
        y = static_cast<long long>(row) * rowPitch();
    else if (row >= topRow_)
        y = fixedHeight() + static_cast<long long>(row - topRow_) * rowPitch();
    else
        return {};
    if (x >= viewport()->width() || y >= viewport()->height())
        return {};
    return QRect(x, int(y), colWidth(col), rowHeight_);
}

// ---- scrolling -------------------------------------------------------------

void StringGrid::updateScrollBars()
{
    syncingScrollBars_ = true;
    topRow_ = std::clamp(topRow_, counts_.fixedRows, maxTopRow());
    leftCol_ = std::clamp(leftCol_, counts_.fixedCols, std::max(counts_.fixedCols, maxLeftCol()));
    QScrollBar* v = verticalScrollBar();
    v->setRange(counts_.fixedRows, maxTopRow());
    v->setPageStep(pageRows());
    v->setValue(topRow_);
    QScrollBar* h = horizontalScrollBar();
    h->setRange(counts_.fixedCols, std::max(counts_.fixedCols, maxLeftCol()));
    h->setPageStep(std::max(1, visibleColCount()));
    h->setValue(leftCol_);
    syncingScrollBars_ = false;
}

void StringGrid::scrollContentsBy(int, int)
{
    if (syncingScrollBars_)
        return;
    topRow_ = verticalScrollBar()->value();
    leftCol_ = horizontalScrollBar()->value();
    placeEditor();
    viewport()->update();
}

void StringGrid::setTopRow(int row)
{
    const int top = std::clamp(row, counts_.fixedRows, maxTopRow());
    if (top == topRow_)
        return;
    topRow_ = top;
    updateScrollBars();
    placeEditor();
    viewport()->update();
}

void StringGrid::setLeftCol(int col)
{
    const int left = std::clamp(col, counts_.fixedCols, std::max(counts_.fixedCols, maxLeftCol()));
    if (left == leftCol_)
        return;
    leftCol_ = left;
    updateScrollBars();
    placeEditor();
    viewport()->update();
}

void StringGrid::scrollRowIntoView(int row)
{
    if (row < topRow_)
        setTopRow(row);
    else if (row >= topRow_ + pageRows())
        setTopRow(row - pageRows() + 1);
}

void StringGrid::scrollColIntoView(int col)
{
    if (col < leftCol_) {
        setLeftCol(col);
        return;
    }
    if (col <= lastFullyVisibleCol())
        return;
    // The leftmost first column that still shows col fully (col itself when
    // it is wider than the view).
    const int room = viewport()->width() - fixedWidth();
    int left = col;
    int used = colWidth(col);
    for (int c = col - 1; c >= counts_.fixedCols; --c) {
        used += colPitch(c);
        if (used > room)
            break;
        left = c;
    }
    setLeftCol(left);
}

void StringGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    placeEditor();
}

// ---- current cell and selection --------------------------------------------

GridRect StringGrid::selection() const
{
    if (!hasCells())
        return {};
    if (options_ & goRowSelect)
        return {counts_.fixedCols, std::min(anchorRow_, curRow_), counts_.cols - 1, std::max(anchorRow_, curRow_)};
    return {std::min(anchorCol_, curCol_), std::min(anchorRow_, curRow_), std::max(anchorCol_, curCol_),
            std::max(anchorRow_, curRow_)};
}

bool StringGrid::setCurrentCell(int col, int row)
{
    if (row == curRow_ && (col == curCol_ || options_ & goRowSelect) && hasCells())
        return true;
    return moveCurrent(col, row, Move::Program);
}

bool StringGrid::moveCurrent(int col, int row, Move how)
{
    if (!hasCells())
        return false;
    if (options_ & goRowSelect)
        col = std::max(col, counts_.fixedCols);
    if (col < counts_.fixedCols || col >= counts_.cols || row < counts_.fixedRows || row >= counts_.rows)
        return false;
    if (onSelectCell && !onSelectCell(col, row))
        return false;
    endEditing(false);
    const bool changed = col != curCol_ || row != curRow_;
    curCol_ = options_ & goRowSelect ? counts_.fixedCols : col;
    curRow_ = row;
    if (how != Move::UserExtend || !(options_ & goRangeSelect)) {
        anchorCol_ = curCol_;
        anchorRow_ = curRow_;
    }
    scrollRowIntoView(curRow_);
    if (!(options_ & goRowSelect))
        scrollColIntoView(curCol_);
    viewport()->update();
    if (changed)
        emit currentCellChanged(curCol_, curRow_);
    return true;
}

// ---- keyboard --------------------------------------------------------------

bool StringGrid::focusNextPrevChild(bool next)
{
    // With Tab moving between cells, Tab never leaves the grid.
    if (options_ & (goTabs | goEditing))
        return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void StringGrid::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (!hasCells()) {
        event->ignore();
        return;
    }
    if (isNavigationKey(key) || key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        navigate(event);
        return;
    }
    if (options_ & goEditing) {
        if (key == Qt::Key_F2 || key == Qt::Key_Return || key == Qt::Key_Enter) {
            startEditing();
            return;
        }
        const QString text = event->text();
        const bool printable = !text.isEmpty() && text[0].isPrint() &&
                               !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (printable) {
            // The editor opens with its text selected, so the key replaces it.
            startEditing();
            if (editor_ && editing_)
                QCoreApplication::sendEvent(editor_, event);
            return;
        }
    }
    event->ignore();
}

void StringGrid::navigate(QKeyEvent* event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool ctrl = mods & Qt::ControlModifier;
    const bool rowSelect = options_ & goRowSelect;
    const int firstCol = counts_.fixedCols;
    const int lastCol = counts_.cols - 1;
    const int firstRow = counts_.fixedRows;
    const int lastRow = counts_.rows - 1;
    int col = curCol_;
    int row = curRow_;
    Move how = mods & Qt::ShiftModifier ? Move::UserExtend : Move::User;

    switch (key) {
    case Qt::Key_Up:
        row = std::max(firstRow, row - 1);
        break;
    case Qt::Key_Down:
        row = std::min(lastRow, row + 1);
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (rowSelect) {
            setLeftCol(leftCol_ + (key == Qt::Key_Left ? -1 : 1));
            return;
        }
        col = std::clamp(col + (key == Qt::Key_Left ? -1 : 1), firstCol, lastCol);
        break;
    case Qt::Key_PageDown:
    case Qt::Key_PageUp: {
        // The view and the current row move by one page together.
        const int page = key == Qt::Key_PageDown ? pageRows() : -pageRows();
        row = std::clamp(row + page, firstRow, lastRow);
        setTopRow(topRow_ + page);
        break;
    }
    case Qt::Key_Home:
        if (ctrl || rowSelect)
            row = firstRow;
        if (!rowSelect)
            col = firstCol;
        break;
    case Qt::Key_End:
        if (ctrl || rowSelect)
            row = lastRow;
        if (!rowSelect)
            col = lastCol;
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!(options_ & (goTabs | goEditing))) {
            event->ignore();
            return;
        }
        how = Move::User;
        if (key == Qt::Key_Tab && !(mods & Qt::ShiftModifier)) {
            if (rowSelect || ++col > lastCol) {
                col = firstCol;
                row = row < lastRow ? row + 1 : firstRow;
            }
        } else if (rowSelect || --col < firstCol) {
            col = lastCol;
            row = row > firstRow ? row - 1 : lastRow;
        }
        break;
    default:
        event->ignore();
        return;
    }
    if (rowSelect)
        col = firstCol;
    if (col == curCol_ && row == curRow_) {
        scrollRowIntoView(row);
        return;
    }
    moveCurrent(col, row, how);
}

// ---- mouse -----------------------------------------------------------------

int StringGrid::colBorderAt(const QPoint& pos) const
{
    if (!(options_ & goColSizing) || pos.y() < 0 || pos.y() >= fixedHeight())
        return -1;
    int best = -1;
    int bestDistance = sizingGrip + 1;
    for (const Span& c : visibleCols()) {
        const int distance = std::abs(pos.x() - (c.pos + colWidth(c.index)));
        // Ties go to the later column, so a very narrow column can be widened.
        if (distance <= bestDistance) {
            best = c.index;
            bestDistance = distance;
        }
    }
    return bestDistance <= sizingGrip ? best : -1;
}

void StringGrid::mousePressEvent(QMouseEvent* event)
{
    if (!hasFocus() && !(editor_ && editor_->hasFocus()))
        setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    const int border = colBorderAt(pos);
    if (border >= 0) {
        sizingCol_ = border;
        sizingStartX_ = pos.x();
        sizingStartWidth_ = colWidth(border);
        return;
    }
    int col, row;
    if (!cellAt(pos, &col, &row) || col < counts_.fixedCols || row < counts_.fixedRows)
        return;
    const bool wasCurrent = row == curRow_ && (col == curCol_ || options_ & goRowSelect);
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    if (moveCurrent(col, row, extend ? Move::UserExtend : Move::User)) {
        selecting_ = options_ & goRangeSelect;
        // A click on the cell that is already current opens its editor.
        if (wasCurrent && !extend && options_ & goEditing && event->type() == QEvent::MouseButtonPress)
            startEditing();
    }
}

void StringGrid::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (sizingCol_ >= 0) {
        const int width = std::max(minColWidth, sizingStartWidth_ + pos.x() - sizingStartX_);
        if (width != colWidth(sizingCol_)) {
            setColWidth(sizingCol_, width);
            emit colWidthChanged(sizingCol_, width);
        }
        return;
    }
    if (selecting_ && event->buttons() & Qt::LeftButton) {
        const QRect area = viewport()->rect();
        const QPoint inside(std::clamp(pos.x(), fixedWidth(), std::max(fixedWidth(), area.width() - 1)),
                            std::clamp(pos.y(), fixedHeight(), std::max(fixedHeight(), area.height() - 1)));
        int col = curCol_;
        int row = curRow_;
        cellAt(inside, &col, &row);
        // Past an edge of the view: one more row or column, which scrolls.
        if (pos.y() >= area.height())
            row = std::min(counts_.rows - 1, topRow_ + pageRows());
        else if (pos.y() < fixedHeight())
            row = topRow_ - 1;
        if (pos.x() >= area.width())
            col = std::min(counts_.cols - 1, lastFullyVisibleCol() + 1);
        else if (pos.x() < fixedWidth())
            col = leftCol_ - 1;
        col = options_ & goRowSelect ? counts_.fixedCols : std::max(col, counts_.fixedCols);
        row = std::max(row, counts_.fixedRows);
        if (col != curCol_ || row != curRow_)
            moveCurrent(col, row, Move::UserExtend);
        return;
    }
    viewport()->setCursor(colBorderAt(pos) >= 0 ? Qt::SplitHCursor : Qt::ArrowCursor);
}

void StringGrid::mouseReleaseEvent(QMouseEvent*)
{
    sizingCol_ = -1;
    selecting_ = false;
}

void StringGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
    if (event->button() != Qt::LeftButton || sizingCol_ >= 0)
        return;
    int col, row;
    if (options_ & goEditing && cellAt(event->position().toPoint(), &col, &row) && col >= counts_.fixedCols &&
        row >= counts_.fixedRows)
        startEditing();
    emit doubleClicked();
}

void StringGrid::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void StringGrid::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

// ---- in-place editing ------------------------------------------------------

void StringGrid::ensureEditor()
{
    if (editor_)
        return;
    editor_ = new QLineEdit(viewport());
    editor_->setFrame(false);
    editor_->hide();
    editor_->installEventFilter(this);
    connect(editor_, &QLineEdit::textEdited, this, &StringGrid::editorTextEdited);
}

void StringGrid::startEditing()
{
    if (!(options_ & goEditing) || !hasCells() || !model_ || editing_)
        return;
    scrollRowIntoView(curRow_);
    scrollColIntoView(curCol_);
    ensureEditor();
    editCol_ = curCol_;
    editRow_ = curRow_;
    editOriginal_ = model_->cellText(editCol_, editRow_);
    editing_ = true;
    editor_->setText(editOriginal_);
    editor_->selectAll();
    placeEditor();
    editor_->setFocus(Qt::OtherFocusReason);
}

void StringGrid::finishEditing()
{
    endEditing(false);
}

void StringGrid::cancelEditing()
{
    endEditing(true);
}

void StringGrid::endEditing(bool restore)
{
    if (!editing_)
        return;
    editing_ = false;
    if (restore && model_ && editor_->text() != editOriginal_) {
        model_->setCellText(editCol_, editRow_, editOriginal_);
        emit cellTextEdited(editCol_, editRow_, editOriginal_);
    }
    const bool hadFocus = editor_->hasFocus();
    editor_->hide();
    if (hadFocus)
        setFocus(Qt::OtherFocusReason);
    viewport()->update();
    emit editingFinished(editCol_, editRow_);
}

void StringGrid::editorTextEdited(const QString& text)
{
    if (!editing_ || !model_)
        return;
    model_->setCellText(editCol_, editRow_, text);
    emit cellTextEdited(editCol_, editRow_, text);
}

void StringGrid::placeEditor()
{
    if (!editor_ || !editing_)
        return;
    const QRect rect = cellRect(editCol_, editRow_);
    if (rect.isEmpty() || editCol_ < counts_.fixedCols || editRow_ < counts_.fixedRows) {
        // The cell left the view: editing ends there (hiding a focused
        // editor would otherwise send the focus out of the grid).
        finishEditing();
        return;
    }
    editor_->setGeometry(rect);
    editor_->show();
}

bool StringGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != editor_ || !editing_)
        return QAbstractScrollArea::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // These keys belong to the editor and the grid, not to shortcuts.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab ||
            key == Qt::Key_Backtab) {
            event->accept();
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        switch (keyEvent->key()) {
        case Qt::Key_Escape:
            cancelEditing();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            finishEditing();
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            finishEditing();
            navigate(keyEvent);
            return true;
        default:
            break;
        }
        break;
    }
    case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            finishEditing();
        break;
    }
    default:
        break;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

// ---- painting --------------------------------------------------------------

void StringGrid::paintCell(QPainter& p, int col, int row, const QRect& rect, bool fixed)
{
    const QPalette& pal = palette();
    QColor textColor;
    if (fixed) {
        p.fillRect(rect, pal.color(QPalette::Button));
        // Raised header look: light top/left edge, shadow bottom/right.
        p.setPen(pal.color(QPalette::Light));
        p.drawLine(rect.topLeft(), rect.topRight());
        p.drawLine(rect.topLeft(), rect.bottomLeft());
        p.setPen(pal.color(QPalette::Mid));
        p.drawLine(rect.bottomLeft(), rect.bottomRight());
        p.drawLine(rect.topRight(), rect.bottomRight());
        textColor = pal.color(QPalette::ButtonText);
    } else {
        const bool rowSelect = options_ & goRowSelect;
        const bool current = col == curCol_ && row == curRow_;
        const bool selected = selection().contains(col, row) &&
                              (rowSelect || !current || options_ & goDrawFocusSelected);
        if (selected) {
            p.fillRect(rect, pal.color(QPalette::Highlight));
            textColor = pal.color(QPalette::HighlightedText);
        } else {
            textColor = pal.color(QPalette::Text);
        }
        if (current && !rowSelect && hasFocus()) {
            QStyleOptionFocusRect option;
            option.initFrom(this);
            option.rect = rect;
            option.backgroundColor = selected ? pal.color(QPalette::Highlight) : cellColor_;
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
        }
    }
    if (!model_)
        return;
    QString text = model_->cellText(col, row);
    // Only what can show is laid out: no character is narrower than 2 pixels.
    const qsizetype shown = rect.width() / 2 + 2;
    if (text.size() > shown)
        text.truncate(shown);
    p.setPen(textColor);
    p.drawText(rect.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

void StringGrid::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), cellColor_);
    if (!model_)
        return;

    const std::vector<Span> cols = visibleCols();
    const std::vector<Span> rows = visibleRows();
    const int pitch = rowPitch();
    const bool vertLines = options_ & (goFixedVertLine | goVertLine);
    const bool horzLines = options_ & (goFixedHorzLine | goHorzLine);
    const QColor fixedLineColor = palette().color(QPalette::Shadow);
    for (const Span& r : rows) {
        for (const Span& c : cols) {
            const bool fixed = r.index < counts_.fixedRows || c.index < counts_.fixedCols;
            const QRect rect(c.pos, r.pos, colWidth(c.index), rowHeight_);
            paintCell(p, c.index, r.index, rect, fixed);
            if (vertLines && options_ & (fixed ? goFixedVertLine : goVertLine))
                p.fillRect(rect.right() + 1, rect.top(), 1, pitch, fixed ? fixedLineColor : gridColor_);
            if (horzLines && options_ & (fixed ? goFixedHorzLine : goHorzLine))
                p.fillRect(rect.left(), rect.bottom() + 1, colPitch(c.index), 1,
                           fixed ? fixedLineColor : gridColor_);
        }
    }
}
