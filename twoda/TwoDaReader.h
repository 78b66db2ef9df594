#pragma once

#include "Bytes.h"

#include <cstddef>
#include <functional>
#include <string>

class Sheet;

// Told about each line that cannot be placed in the sheet and is left out:
// its line number in the file (the first line is 1) and the message to show
// (kAddRowFailedText followed by the reason).
using TwoDaLineError = std::function<void(std::size_t lineNumber, const std::string& message)>;

// Fills a new sheet from a 2DA file: the line after the signature line that
// is not blank is the header row (corner cell " ", then the column names,
// which fix the column count), every later non-blank line a data row. Lines
// end at CR LF, CR or LF; a 0x00 byte ends the text. Cells are separated by
// runs of bytes 0x01-0x20 and may be quoted with '"' ('""' inside stands for
// one mark); an empty text is stored as " ". A data line with more cells than
// columns is reported and left out. Throws FileError when the file cannot be
// opened or read, leaving the sheet as it was.
void Read2da(const std::string& path, Sheet& sheet, const TwoDaLineError& onLineError = {});

// The same for file contents already in memory.
void read2daFromMemory(BytesView contents, Sheet& sheet, const TwoDaLineError& onLineError = {});
