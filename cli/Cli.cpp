#include "Cli.h"

#include "CliArguments.h"
#include "CliError.h"
#include "CodePage.h"
#include "JsonOutput.h"
#include "Sheet.h"
#include "TlkDocument.h"
#include "TlkFile.h"
#include "TlkJson.h"
#include "TlkWriter.h"
#include "TwoDaJson.h"
#include "TwoDaReader.h"
#include "TwoDaTexts.h"
#include "TwoDaWriter.h"

#include <cstdio>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const char kHelp[] = R"(quellmoor-cli: talk tables and 2DA files as JSON, through the toolkit's own
readers and writers.

Usage: quellmoor-cli COMMAND FILES... [OPTIONS]

Commands:
  tlk-to-json TLK
      Prints the talk table as a JSON array, one object per entry in StrRef
      order: {"strref": N, "text": "...", "sound": "...", "duration": "..."}.
      "text", "sound" and "duration" are present only when that cell is not
      empty, exactly as the editor shows it (the duration with "." as decimal
      separator).
  json-to-tlk JSON TLK
      Writes the talk table that the JSON array describes. "strref" may be left
      out (the next StrRef); when given it must not be below the next StrRef,
      and a gap becomes blank entries. "duration" must be a number as the
      record dialog takes it, with "." as decimal separator; "sound" holds at
      most 16 bytes. Other keys are refused.
  2da-to-json 2DA
      Prints the sheet exactly as the reader builds it: a JSON array of rows,
      header row first (corner cell included), each row an array of as many
      strings as the sheet has columns. Every line the reader leaves out is
      named on standard error and the exit status is then 2.
  json-to-2da JSON 2DA
      Writes the sheet that the JSON array of rows describes with the 2DA
      writer; shorter rows are padded with empty cells. The writer numbers the
      rows from 0 and empties the corner cell.
  2da-normalize IN OUT
      Reads IN and writes it to OUT with the 2DA writer. When the reader left
      lines out, OUT is not written and the exit status is 2, unless --force
      is given (OUT is then written, and the status is still 2).

Options (anywhere after the program name):
  --encoding cp1251|cp1252
      The code page of the files' texts (default cp1251). JSON text is the
      file's bytes decoded by it, each of the 256 bytes to its own character
      (bytes the code page leaves undefined to the control character of the
      same value), so every byte comes back unchanged.
  --force     2da-normalize: write OUT even when lines were left out.
  --help      Prints this text.
  --          Ends the options; later arguments are file names.

Exit status: 0 done; 1 error (one line on standard error naming the file and
the entry or line; no output file is created or changed); 2 the 2DA reader
left lines out.
)";

struct Command {
    const char* name;
    const char* files; // as the usage names them
    std::size_t fileCount;
    bool takesForce;
    std::function<int(const CliArguments&)> run;
};

int tlkToJson(const CliArguments& a)
{
    TlkDocument doc;
    doc.assign(ReadTlk(a.files[0]));
    JsonOutput out(STDOUT_FILENO, *a.codePage);
    writeTlkJson(doc, out);
    out.finish();
    return 0;
}

int jsonToTlk(const CliArguments& a)
{
    TlkDocument doc = readTlkJson(a.files[0], *a.codePage);
    try {
        WriteTlk(doc, a.files[1], '.');
    } catch (const std::length_error& e) { // texts past 4 GB; a FileError names the file itself
        throw CliError(a.files[1] + ": " + e.what());
    }
    return 0;
}

// One line, whatever the failure's text holds.
void report(std::string message)
{
    for (char& c : message)
        if (c == '\n' || c == '\r') c = ' ';
    std::fprintf(stderr, "quellmoor-cli: %s\n", message.c_str());
}

// Reads a 2DA file as the editor does; each line the reader leaves out is
// reported on standard error with its line number. Returns how many were.
std::size_t read2da(const std::string& path, Sheet& sheet)
{
    std::size_t leftOut = 0;
    Read2da(path, sheet, [&](std::size_t line, const std::string& message) {
        std::string reason = message;
        if (reason.rfind(kAddRowFailedText, 0) == 0) reason.erase(0, kAddRowFailedText.size());
        if (reason == kTooManyCellsText) reason = "it has more cells than the header line has columns";
        report(path + ": line " + std::to_string(line) + " is left out: " + reason);
        ++leftOut;
    });
    return leftOut;
}

// The writer's message does not name the file.
void write2da(Sheet& sheet, const std::string& path)
{
    try {
        Write2da(sheet, path);
    } catch (const TwoDaWriteError& e) {
        throw CliError(path + ": " + e.what());
    }
}

int twoDaToJson(const CliArguments& a)
{
    Sheet sheet;
    std::size_t leftOut = read2da(a.files[0], sheet);
    JsonOutput out(STDOUT_FILENO, *a.codePage);
    writeSheetJson(sheet, out);
    out.finish();
    return leftOut ? 2 : 0;
}

int jsonTo2da(const CliArguments& a)
{
    Sheet sheet = readSheetJson(a.files[0], *a.codePage);
    write2da(sheet, a.files[1]);
    return 0;
}

int normalize2da(const CliArguments& a)
{
    Sheet sheet;
    std::size_t leftOut = read2da(a.files[0], sheet);
    if (leftOut && !a.force) {
        report(a.files[1] + ": not written, since " + std::to_string(leftOut) + (leftOut == 1 ? " line" : " lines") +
               " of " + a.files[0] + " would be lost (--force writes it all the same)");
        return 2;
    }
    write2da(sheet, a.files[1]);
    return leftOut ? 2 : 0;
}

const std::vector<Command>& commands()
{
    static const std::vector<Command> list = {
        {"tlk-to-json", "TLK", 1, false, tlkToJson},
        {"json-to-tlk", "JSON TLK", 2, false, jsonToTlk},
        {"2da-to-json", "2DA", 1, false, twoDaToJson},
        {"json-to-2da", "JSON 2DA", 2, false, jsonTo2da},
        {"2da-normalize", "IN OUT", 2, true, normalize2da},
    };
    return list;
}

int run(const std::vector<std::string>& args)
{
    CliArguments a = parseCliArguments(args);
    if (a.help) {
        std::fputs(kHelp, stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (a.command.empty()) throw CliError("no command given (see quellmoor-cli --help)");
    for (const Command& c : commands()) {
        if (a.command != c.name) continue;
        if (a.files.size() != c.fileCount)
            throw CliError(a.command + " takes " + (c.fileCount == 1 ? "one file" : "two files") + ": " +
                           c.name + " " + c.files);
        if (a.force && !c.takesForce) throw CliError("--force applies only to 2da-normalize");
        return c.run(a);
    }
    throw CliError("unknown command \"" + a.command + "\" (see quellmoor-cli --help)");
}

} // namespace

int runCli(int argc, char** argv)
{
    try {
        return run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::bad_alloc&) {
        report("there is not enough memory");
    } catch (const std::exception& e) {
        // CliError, FileError and the readers' format errors all name the file.
        report(e.what());
    }
    return 1;
}
