#pragma once

#include <string>

class CodePage;
class JsonOutput;
class TlkDocument;

// The talk table as JSON: an array of {"strref", "text", "sound", "duration"}
// objects in StrRef order, each cell present only when not empty, exactly as
// the editor shows it (durations with "." as separator).
void writeTlkJson(const TlkDocument& doc, JsonOutput& out);

// The reverse: a document from the JSON file at path. "strref" may be left
// out (the next StrRef) or skip ahead (the gap becomes blank entries); every
// cell is checked as the record dialog checks it. Throws CliError naming the
// file, the line and the entry.
TlkDocument readTlkJson(const std::string& path, const CodePage& page);
