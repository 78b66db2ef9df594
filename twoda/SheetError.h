#pragma once

#include <stdexcept>

// A request the sheet refuses (a frozen count that does not fit, a cell that
// does not exist); what() is the grid's own text, shown after the window's
// sentence.
class SheetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
