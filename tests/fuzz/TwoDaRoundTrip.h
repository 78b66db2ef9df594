#pragma once

#include "Bytes.h"

class Sheet;

// Writes the sheet with the 2DA writer, reads the bytes back and checks that
// only the writer's own changes happened: the corner cell becomes a blank,
// the labels 0, 1, ..., every other empty cell "****"; a sheet of one column
// loses its blank header line, so its first data line becomes the header.
// Then checks that the sheet read back is a fixed point: written and read
// again it stays the same. Returns the bytes first written.
Bytes checkTwoDaRoundTrip(const Sheet& sheet);

// Whether two sheets have the same size and cells.
bool sameSheet(const Sheet& a, const Sheet& b);
