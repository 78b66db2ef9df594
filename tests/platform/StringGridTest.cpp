#include "StringGrid.h"
#include "TestGridModels.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr GridOptions talkTableOptions = defaultGridOptions() | goColSizing | goRowSelect | goThumbTracking;
constexpr GridOptions sheetOptions = GridOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine |
                                                 goDrawFocusSelected | goColSizing | goEditing | goTabs |
                                                 goThumbTracking);

class GridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        grid.resize(400, 300);
        grid.show();
        grid.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
        grid.setFocus();
    }

    void show(GridModel& model, GridOptions options)
    {
        grid.setOptions(options);
        grid.setModel(&model);
        // Lets the scroll bars appear, as they do once the event loop runs.
        QCoreApplication::processEvents();
    }

    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(&grid, Qt::Key(k), mods);
    }

    void mouse(QEvent::Type type, QPoint pos, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, pos, grid.viewport()->mapToGlobal(pos), button, buttons, mods);
        QCoreApplication::sendEvent(grid.viewport(), &event);
    }

    void click(int col, int row, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        const QPoint pos = grid.cellRect(col, row).center();
        mouse(QEvent::MouseButtonPress, pos, Qt::LeftButton, mods);
        mouse(QEvent::MouseButtonRelease, pos, Qt::NoButton, mods);
    }

    QPoint current() const { return {grid.col(), grid.row()}; }

    StringGrid grid;
};

TEST_F(GridTest, CurrentCellStartsOnFirstUnfrozenCellAndNeverEntersFrozenCells)
{
    SmallModel model(5, 20, 1, 1);
    show(model, defaultGridOptions());
    EXPECT_EQ(current(), QPoint(1, 1));

    EXPECT_FALSE(grid.setCurrentCell(0, 5));
    EXPECT_FALSE(grid.setCurrentCell(3, 0));
    EXPECT_FALSE(grid.setCurrentCell(5, 3));
    EXPECT_FALSE(grid.setCurrentCell(2, 20));
    EXPECT_EQ(current(), QPoint(1, 1));

    for (int k : {Qt::Key_Up, Qt::Key_Left, Qt::Key_Home, Qt::Key_PageUp})
        key(k);
    key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(current(), QPoint(1, 1));

    ASSERT_TRUE(grid.setCurrentCell(3, 6));
    click(0, 6); // a frozen column
    click(3, 0); // the frozen row
    EXPECT_EQ(current(), QPoint(3, 6));
}

TEST_F(GridTest, ResetClampsCurrentCellAndNewFrozenCountsMoveItToTheFirstUnfrozenCell)
{
    SmallModel model(30, 200, 0, 1);
    show(model, defaultGridOptions());
    ASSERT_TRUE(grid.setCurrentCell(25, 150));
    ASSERT_GT(grid.topRow(), 1);
    ASSERT_GT(grid.leftCol(), 0);

    model.fixedCols_ = 2;
    grid.modelReset();
    EXPECT_EQ(current(), QPoint(2, 1));
    EXPECT_EQ(grid.topRow(), 1);
    EXPECT_EQ(grid.leftCol(), 2);

    model.fixedRows_ = 0;
    grid.modelReset();
    EXPECT_EQ(current(), QPoint(2, 0));

    // Counts alone only clamp.
    ASSERT_TRUE(grid.setCurrentCell(20, 100));
    model.rows_ = 50;
    model.cols_ = 10;
    grid.modelReset();
    EXPECT_EQ(current(), QPoint(9, 49));
    EXPECT_LE(grid.topRow(), 49);

    // No unfrozen row: no current cell, no selection.
    model.rows_ = 1;
    model.fixedRows_ = 1;
    grid.modelReset();
    EXPECT_EQ(current(), QPoint(-1, -1));
    EXPECT_TRUE(grid.selection().isEmpty());
    key(Qt::Key_Down);
    EXPECT_FALSE(grid.setCurrentCell(2, 0));

    model.rows_ = 3;
    grid.modelReset();
    EXPECT_EQ(current(), QPoint(2, 1));
}

TEST_F(GridTest, SetCurrentCellScrollsTheRowJustIntoView)
{
    HugeModel model;
    show(model, talkTableOptions);
    const int page = grid.visibleRowCount();
    ASSERT_GT(page, 3);
    int selectCalls = 0;
    grid.onSelectCell = [&](int, int) { return ++selectCalls, true; };

    struct Case {
        const char* what;
        int top;
        int row;
        int expectedTop;
    };
    const Case cases[] = {
        {"inside the view", 1, 1 + page / 2, 1},
        {"last fully visible row", 1, page, 1},
        {"one below the view", 1, page + 1, 2},
        {"far below", 1, 9000000, 9000000 - page + 1},
        {"one above the view", 5000, 4999, 4999},
        {"far above", 9000000, 3, 3},
        {"the last row", 1, 16777216, 16777217 - page},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(grid.setCurrentCell(0, c.row == c.top ? c.row + 1 : c.top));
        grid.setTopRow(c.top);
        ASSERT_EQ(grid.topRow(), c.top) << c.what;
        EXPECT_TRUE(grid.setCurrentCell(0, c.row)) << c.what;
        EXPECT_EQ(grid.row(), c.row) << c.what;
        EXPECT_EQ(grid.topRow(), c.expectedTop) << c.what;
        EXPECT_EQ(grid.selection(), (GridRect{0, c.row, 3, c.row})) << c.what;
    }

    // Already current: nothing moves and nobody is asked.
    grid.setTopRow(100);
    selectCalls = 0;
    EXPECT_TRUE(grid.setCurrentCell(0, 16777216));
    EXPECT_EQ(grid.topRow(), 100);
    EXPECT_EQ(selectCalls, 0);
}

TEST_F(GridTest, KeyboardCoversSixteenMillionRowsWithoutPerRowWork)
{
    HugeModel model;
    show(model, talkTableOptions);
    const int last = 16777216;
    const int page = grid.visibleRowCount();
    EXPECT_EQ(grid.verticalScrollBar()->maximum(), last + 1 - page);

    struct Step {
        int key;
        Qt::KeyboardModifiers mods;
        int row;
        int top;
    };
    const Step steps[] = {
        {Qt::Key_PageDown, Qt::NoModifier, 1 + page, 1 + page},
        {Qt::Key_Down, Qt::NoModifier, 2 + page, 1 + page},
        {Qt::Key_PageUp, Qt::NoModifier, 2, 1},
        {Qt::Key_End, Qt::ControlModifier, last, last + 1 - page},
        {Qt::Key_Down, Qt::NoModifier, last, last + 1 - page},
        {Qt::Key_PageUp, Qt::NoModifier, last - page, last + 1 - 2 * page},
        {Qt::Key_PageDown, Qt::NoModifier, last, last + 1 - page},
        {Qt::Key_Home, Qt::ControlModifier, 1, 1},
        {Qt::Key_End, Qt::NoModifier, last, last + 1 - page}, // whole rows: End goes to the last row
        {Qt::Key_Home, Qt::NoModifier, 1, 1},
    };
    for (const Step& s : steps) {
        key(s.key, s.mods);
        EXPECT_EQ(grid.row(), s.row) << "key " << std::hex << s.key;
        EXPECT_EQ(grid.topRow(), s.top) << "key " << std::hex << s.key;
        EXPECT_EQ(grid.col(), 0);
    }

    // Painting asks for the visible cells only, wherever the view is.
    for (int row : {1, 8000000, last}) {
        grid.setCurrentCell(0, row);
        model.reads = 0;
        (void)grid.grab();
        EXPECT_GT(model.reads, 0);
        EXPECT_LE(model.reads, (page + 2) * 4) << "at row " << row;
    }
}

TEST_F(GridTest, WheelScrollsWholeRowsAndLeavesTheCurrentRow)
{
    HugeModel model;
    show(model, talkTableOptions);
    auto wheel = [&](int delta) {
        const QPointF pos(10, 40);
        QWheelEvent event(pos, grid.viewport()->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(grid.viewport(), &event);
    };
    const int lines = QApplication::wheelScrollLines();
    wheel(-120);
    EXPECT_EQ(grid.topRow(), 1 + lines);
    wheel(-240);
    EXPECT_EQ(grid.topRow(), 1 + 3 * lines);
    wheel(120);
    EXPECT_EQ(grid.topRow(), 1 + 2 * lines);
    EXPECT_EQ(grid.row(), 1);
}

TEST_F(GridTest, RangeSelectionByShiftKeysShiftClickAndDragging)
{
    SmallModel model(6, 30, 1, 1);
    show(model, defaultGridOptions());

    key(Qt::Key_Down, Qt::ShiftModifier);
    key(Qt::Key_Down, Qt::ShiftModifier);
    key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(grid.selection(), (GridRect{1, 1, 2, 3}));
    EXPECT_EQ(current(), QPoint(2, 3));

    key(Qt::Key_Down);
    EXPECT_EQ(grid.selection(), (GridRect{2, 4, 2, 4}));

    click(4, 8, Qt::ShiftModifier);
    EXPECT_EQ(grid.selection(), (GridRect{2, 4, 4, 8}));

    // Dragging from one cell to another.
    mouse(QEvent::MouseButtonPress, grid.cellRect(3, 2).center(), Qt::LeftButton);
    mouse(QEvent::MouseMove, grid.cellRect(1, 5).center(), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, grid.cellRect(1, 5).center(), Qt::NoButton);
    EXPECT_EQ(grid.selection(), (GridRect{1, 2, 3, 5}));

    // A program move collapses the range.
    grid.setCurrentCell(2, 10);
    EXPECT_EQ(grid.selection(), (GridRect{2, 10, 2, 10}));

    // Whole rows.
    grid.setOptions(defaultGridOptions() | goRowSelect);
    key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(grid.selection(), (GridRect{1, 9, 5, 10}));

    // Without range selection Shift only moves.
    grid.setOptions(defaultGridOptions() & ~GridOptions(goRangeSelect));
    key(Qt::Key_Down, Qt::ShiftModifier);
    key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid.selection(), (GridRect{1, 11, 1, 11}));
}

struct SizingCase {
    const char* what;
    int fixedRows;
    GridOptions options;
    int dragRow;
    int expectedWidth;
};

class ColumnSizingTest : public GridTest, public ::testing::WithParamInterface<SizingCase> {};

TEST_P(ColumnSizingTest, ColumnsAreSizedOnlyFromAFrozenRow)
{
    const SizingCase& c = GetParam();
    SmallModel model(4, 10, 0, c.fixedRows);
    show(model, c.options);
    const QRect cell = grid.cellRect(1, c.dragRow);
    const QPoint border(cell.right() + 1, cell.center().y());
    mouse(QEvent::MouseButtonPress, border, Qt::LeftButton);
    mouse(QEvent::MouseMove, border + QPoint(30, 0), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, border + QPoint(30, 0), Qt::NoButton);
    EXPECT_EQ(grid.colWidth(1), c.expectedWidth);
    EXPECT_EQ(grid.colWidth(2), 64);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ColumnSizingTest,
    ::testing::Values(SizingCase{"frozen header row", 1, sheetOptions, 0, 94},
                      SizingCase{"second frozen row", 2, sheetOptions, 1, 94},
                      SizingCase{"unfrozen row", 1, sheetOptions, 3, 64},
                      SizingCase{"nothing frozen", 0, sheetOptions, 0, 64},
                      SizingCase{"sizing switched off", 1, sheetOptions & ~GridOptions(goColSizing), 0, 64}),
    [](const auto& info) {
        std::string name = info.param.what;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

class EditingTest : public GridTest {
protected:
    void SetUp() override
    {
        GridTest::SetUp();
        show(model, sheetOptions);
    }
    void editorKey(int k) { QTest::keyClick(grid.editor(), Qt::Key(k)); }

    SmallModel model{4, 4, 1, 1};
    QSignalSpy edited{&grid, &StringGrid::cellTextEdited};
    QSignalSpy finished{&grid, &StringGrid::editingFinished};
};

TEST_F(EditingTest, TypingStartsEditingAndEscapeRestoresTheText)
{
    key(Qt::Key_X);
    ASSERT_TRUE(grid.isEditing());
    editorKey(Qt::Key_Y);
    EXPECT_EQ(model.cellText(1, 1), "xy");
    ASSERT_EQ(edited.size(), 2);
    EXPECT_EQ(edited[0], (QList<QVariant>{1, 1, "x"}));
    EXPECT_EQ(edited[1], (QList<QVariant>{1, 1, "xy"}));
    EXPECT_EQ(finished.size(), 0);

    editorKey(Qt::Key_Escape);
    EXPECT_FALSE(grid.isEditing());
    EXPECT_EQ(model.cellText(1, 1), "1,1");
    EXPECT_EQ(edited.last(), (QList<QVariant>{1, 1, "1,1"}));
    EXPECT_EQ(finished.size(), 1);
    EXPECT_EQ(current(), QPoint(1, 1));
}

TEST_F(EditingTest, LeavingAnUnchangedEditorStillFinishesEditing)
{
    for (int start : {Qt::Key_F2, Qt::Key_Return}) {
        key(start);
        ASSERT_TRUE(grid.isEditing());
        EXPECT_EQ(grid.editor()->text(), "1,1");
        editorKey(Qt::Key_Return);
        EXPECT_FALSE(grid.isEditing());
    }
    EXPECT_EQ(finished.size(), 2);
    EXPECT_EQ(edited.size(), 0);
    EXPECT_TRUE(model.written.isEmpty());

    // Moving to another cell by the mouse ends editing too.
    key(Qt::Key_F2);
    click(2, 2);
    EXPECT_FALSE(grid.isEditing());
    EXPECT_EQ(finished.size(), 3);
    EXPECT_EQ(finished.last(), (QList<QVariant>{1, 1}));
}

TEST_F(EditingTest, TabAndVerticalKeysMoveOnAndKeepTheText)
{
    key(Qt::Key_F2);
    editorKey(Qt::Key_Z); // replaces the selected text
    editorKey(Qt::Key_Tab);
    EXPECT_FALSE(grid.isEditing());
    EXPECT_EQ(model.cellText(1, 1), "z");
    EXPECT_EQ(current(), QPoint(2, 1));
    EXPECT_EQ(finished.size(), 1);

    // Tab wraps to the next row's first unfrozen cell, Shift+Tab back.
    key(Qt::Key_Tab);
    key(Qt::Key_Tab);
    EXPECT_EQ(current(), QPoint(1, 2));
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(current(), QPoint(3, 1));

    key(Qt::Key_F2);
    editorKey(Qt::Key_Down);
    EXPECT_FALSE(grid.isEditing());
    EXPECT_EQ(current(), QPoint(3, 2));
}

TEST_F(EditingTest, WithoutEditingOptionKeysDoNotOpenAnEditor)
{
    grid.setOptions(sheetOptions & ~GridOptions(goEditing | goTabs));
    for (int k : {Qt::Key_X, Qt::Key_F2, Qt::Key_Return})
        key(k);
    EXPECT_FALSE(grid.isEditing());
    EXPECT_TRUE(model.written.isEmpty());
}

TEST_F(GridTest, SelectCellHookIsAskedForEveryMoveAndCanRefuse)
{
    SmallModel model(4, 30, 1, 1);
    show(model, defaultGridOptions());
    QList<QPoint> asked;
    grid.onSelectCell = [&](int col, int row) {
        asked << QPoint(col, row);
        return row != 5;
    };
    QSignalSpy changed(&grid, &StringGrid::currentCellChanged);

    ASSERT_TRUE(grid.setCurrentCell(2, 4)); // program
    key(Qt::Key_Down);                      // keyboard, refused
    EXPECT_EQ(current(), QPoint(2, 4));
    click(3, 5); // mouse, refused
    EXPECT_EQ(current(), QPoint(2, 4));
    EXPECT_FALSE(grid.setCurrentCell(1, 5));
    click(3, 6); // mouse, allowed
    EXPECT_EQ(current(), QPoint(3, 6));

    EXPECT_EQ(asked, (QList<QPoint>{{2, 4}, {2, 5}, {3, 5}, {1, 5}, {3, 6}}));
    EXPECT_EQ(changed.size(), 2);
}

TEST_F(GridTest, PaintsHeaderSelectionAndCellColours)
{
    SmallModel model(4, 30, 0, 1);
    show(model, talkTableOptions);
    const QColor cellColor(255, 255, 232);
    grid.setCellColor(cellColor);
    grid.setDefaultRowHeight(18);
    grid.setColWidth(1, 150);
    grid.setCurrentCell(0, 3);

    const QImage image = grid.viewport()->grab().toImage();
    if (!qEnvironmentVariableIsEmpty("QM_GRID_PNG"))
        image.save(qEnvironmentVariable("QM_GRID_PNG"));
    auto colourAt = [&](int col, int row) {
        const QRect r = grid.cellRect(col, row);
        // Away from the text, which starts at the left edge.
        return image.pixelColor(r.right() - 3, r.center().y());
    };
    const QPalette& pal = grid.palette();
    EXPECT_EQ(colourAt(1, 0), pal.color(QPalette::Button));
    EXPECT_EQ(colourAt(1, 3), pal.color(QPalette::Highlight));
    EXPECT_EQ(colourAt(1, 2), cellColor);
    // Grid line between rows 1 and 2.
    const QRect r = grid.cellRect(1, 1);
    EXPECT_EQ(image.pixelColor(r.center().x(), r.bottom() + 1), grid.gridColor());
}

} // namespace
