#pragma once

#include "Bytes.h"
#include "CodePage.h"
#include "TlkDocument.h"
#include "TlkFile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The talk table editor's commands without any window. Rows are the grid's:
// row 0 is the header row, row r holds the entry with StrRef r - 1, so a
// document of N entries has rows 0 to N.
//
// Messages are UTF-8. The texts that a message quotes (the goto and
// duration boxes' texts) are passed in as UTF-8 too; both checks accept only
// ASCII, so their verdict is the same for the code page's bytes.

// Add Row: appends blank entries N .. v-1 and the record as entry v; no
// existing entry changes. Returns the row of v (v + 1). Throws
// std::out_of_range when v is not in N .. 16777215 and std::length_error when
// the document already holds 16,777,216 entries; then nothing has changed.
int addRecord(TlkDocument& doc, std::int64_t strRef, TlkRecord record);

// Edit Row: rewrites the text, sound and duration cells of an entry row.
// Returns false, changing nothing, when the row is no entry row: the header
// row, or any row of a document with no entries. Throws std::out_of_range for
// a row below 0 or beyond the last row.
bool editRecord(TlkDocument& doc, int row, TlkRecord record);
// Clear Row: empties those three cells; same rules as editRecord.
bool clearRecord(TlkDocument& doc, int row);

// Duration check of the record dialog: nothing when the text is accepted (an
// empty text is), otherwise the text of the failure message.
std::optional<std::string> checkDuration(std::string_view text, char decimalSeparator);

// The record dialog's text as stored: every carriage return removed, so each
// line break is one line feed.
Bytes normaliseText(BytesView text);
// The lines of a cell for the record dialog's text box: a line feed, a
// carriage return, or a carriage return with a line feed each end a line.
// There is always one more line than there are breaks, so a text that ends
// in a break ends with an empty line, and joining the lines with one line
// feed gives the text back with each break made a line feed.
std::vector<Bytes> splitLines(BytesView text);

// Goto StrRef: the row of the StrRef typed, or one of the two failures with
// the text of its message box.
struct TlkGotoResult {
    enum Kind { Found, ConversionFailure, MissingStrRef };
    Kind kind = Found;
    int row = 0;         // the target row when Found
    std::string message; // the message box text otherwise
};
TlkGotoResult gotoStrRef(std::string_view text, std::uint32_t entryCount);

// The column that Find searches: the "Where:" item index plus one.
enum class TlkSearchColumn { Text = 1, Sound = 2 };

// Find string: searches the rows below the current row, downward to the last
// row, for the first whose cell contains the search text, case-insensitively
// by the code page's lower-case table. It never goes on from the top and the
// header row is never a candidate; an empty search text matches no row.
//
// It searches a snapshot of the document taken when it is made (the entries'
// file bytes are shared, so the snapshot is cheap even for 16.7 million
// entries): changes to the document while it runs do not change what is
// compared, and the row it finds is the row at the start.
class TlkSearch {
public:
    enum class State { Running, Found, NotFound };

    TlkSearch(const TlkDocument& doc, TlkSearchColumn column, int currentRow, BytesView searchText,
              const CodePage& codePage);

    // Looks at up to maxRows further candidates; Running when some are left.
    State step(std::uint32_t maxRows);
    // Runs to the end, calling afterMiss after every row that does not match;
    // when afterMiss returns false the search stops there (State Running).
    State run(const std::function<bool()>& afterMiss = {});

    State state() const { return state_; }
    // The matching row once State is Found.
    int foundRow() const { return foundRow_; }
    // The row to look at next.
    int nextRow() const { return int(next_) + 1; }

private:
    bool matches(std::uint32_t entry) const;

    TlkDocument snapshot_;
    TlkSearchColumn column_;
    std::uint32_t next_;  // entry index of the next candidate
    Bytes needle_;        // lower-cased once
    const CodePage* codePage_;
    State state_ = State::Running;
    int foundRow_ = 0;
};

// Where an append reports its progress, as the editor's progress display
// shows it: each phase begins with its row total, then every row is
// reported as it is added (done counts from 1 to total).
struct TlkAppendProgress {
    enum Phase { BlankRows, Entries };
    std::function<void(Phase phase, std::uint32_t total)> begin;
    std::function<void(Phase phase, std::uint32_t done)> row;
};

// Append: adds blank entries N .. start-1, then the file's entries as
// start, start+1, ... Requires N <= start <= 16777215 and room for every
// entry of the file below StrRef 16777216; otherwise throws
// (std::out_of_range, std::length_error) before anything changes. The caller
// marks the document modified, also when no row was added.
void appendTlk(TlkDocument& doc, std::shared_ptr<const TlkFile> file, std::int64_t start,
               const TlkAppendProgress& progress = {});
