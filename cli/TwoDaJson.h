#pragma once

#include <string>

class CodePage;
class JsonOutput;
class Sheet;

// The sheet as JSON: an array of RowCount rows, header row first (corner cell
// included), each an array of ColCount strings, exactly as the sheet holds them.
void writeSheetJson(const Sheet& sheet, JsonOutput& out);

// The reverse: a sheet from the JSON file at path, an array of rows of
// strings; the sheet is as wide as the longest row and shorter rows end in
// empty cells. Throws CliError naming the file, the row and the column.
Sheet readSheetJson(const std::string& path, const CodePage& page);
