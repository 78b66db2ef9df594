#pragma once

#include "TlkDocument.h"

#include <cstdint>

// Builds a talk table document of up to 16,777,216 entries one record at a
// time, at little more than the cost of the file it becomes. Records are
// gathered in small blocks; each full block is packed by the talk table
// writer and kept in the document as an in-memory file, so no record is held
// on its own. Long runs of blank entries cost nothing.
class TlkDocumentBuilder {
public:
    TlkDocumentBuilder();

    std::uint64_t count() const { return std::uint64_t(doc_.count()) + block_.count(); }
    // Throws std::length_error past 16,777,216 entries.
    void appendBlank(std::uint32_t n);
    // Durations are texts with "." as separator; the document holds the
    // numbers they stand for, as a file would.
    void append(TlkRecord record);
    TlkDocument finish();

private:
    void flush();

    TlkDocument doc_;
    TlkDocument block_;
};
