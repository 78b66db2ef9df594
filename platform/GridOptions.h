#pragma once

#include <QFlags>

// The grid's options, named as the grid component's.
enum GridOption {
    goFixedVertLine = 0x0001,     // vertical lines between frozen cells
    goFixedHorzLine = 0x0002,     // horizontal lines between frozen cells
    goVertLine = 0x0004,          // vertical lines between other cells
    goHorzLine = 0x0008,          // horizontal lines between other cells
    goRangeSelect = 0x0010,       // Shift+keys, Shift+click and dragging select a range
    goDrawFocusSelected = 0x0020, // the current cell is drawn in the selection colour too
    goColSizing = 0x0040,         // column borders can be dragged, but only inside a frozen row
    goEditing = 0x0080,           // in-place editor over the current cell
    goTabs = 0x0100,              // Tab / Shift+Tab move between cells (also implied by goEditing)
    goRowSelect = 0x0200,         // the whole row is selected; Left/Right scroll instead
    goThumbTracking = 0x0400,     // the view follows the scroll box while it is dragged
};
Q_DECLARE_FLAGS(GridOptions, GridOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(GridOptions)

// The component's defaults: lines everywhere and range selection.
inline constexpr GridOptions defaultGridOptions()
{
    return GridOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect);
}
