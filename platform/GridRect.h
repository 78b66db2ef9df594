#pragma once

// A rectangle of grid cells, bounds inclusive. An empty selection (no cell
// can be current) has left > right and top > bottom.
struct GridRect {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;

    bool contains(int col, int row) const
    {
        return col >= left && col <= right && row >= top && row <= bottom;
    }
    bool isEmpty() const { return left > right || top > bottom; }
    friend bool operator==(const GridRect&, const GridRect&) = default;
};
