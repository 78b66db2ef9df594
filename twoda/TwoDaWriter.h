#pragma once

#include "Bytes.h"
#include "FileError.h"

#include <string>

class Sheet;

// Writing a 2DA file failed; what() is the message to show the user.
class TwoDaWriteError : public FileError {
public:
    using FileError::FileError;
};

// The bytes of the 2DA file for a sheet, as the sheet will stand after
// relabel2da (corner cell empty, labels 0, 1, ...); the sheet itself is not
// changed. Layout: "2DA V2.0", an empty line, the header line, one line per
// data row, each line ending in CR LF. Each cell stands at the start of a
// field as wide as its column's longest text plus 3, padded with blanks, and
// two cells on a line are always at least one blank apart. An empty value or
// column name is written "****"; a text holding a byte 0x01-0x20 or beginning
// with '"' is written between '"' marks with each mark inside doubled.
Bytes format2da(const Sheet& sheet);

// What writing does to the sheet: the corner cell is emptied and the label of
// data row r becomes the decimal number r - 1.
void relabel2da(Sheet& sheet);

// Writes the sheet to path through a temporary file that replaces the target
// only once every byte is written, then relabels the sheet. Throws
// TwoDaWriteError with kWriteOpenFailedText when the file cannot be created
// (also when an existing target may not be written), or with that sentence,
// a line end and the system's description when writing fails later. On any
// failure the old file and the sheet are left as they were.
void Write2da(Sheet& sheet, const std::string& path);
