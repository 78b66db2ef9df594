#pragma once

#include "Bytes.h"
#include "TlkFile.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

// The three editable cells of an entry, as the grid shows them.
struct TlkRecord {
    Bytes text;
    Bytes sound;
    Bytes duration;
    bool operator==(const TlkRecord&) const = default;
};

// The talk table document: entries 0..count()-1 (StrRef = index). Entries
// read from files stay in the files' bytes (shared, never copied per entry),
// entries added as blanks cost nothing, and edited entries are held apart, so
// 16,777,216 entries fit in little more than the files' size. Cell texts are
// made when asked.
class TlkDocument {
public:
    // The fresh table: one blank entry, StrRef 0.
    TlkDocument();

    std::uint32_t count() const { return count_; }
    void reset();                                        // back to the fresh table
    void assign(std::shared_ptr<const TlkFile> file);    // exactly the file's entries
    void appendBlank(std::uint32_t n);                   // n blank entries at the end
    void appendFile(std::shared_ptr<const TlkFile> file); // the file's entries at the end
    void setRecord(std::uint32_t i, TlkRecord record);

    // Cells; views stay valid until the document changes.
    BytesView text(std::uint32_t i) const;
    BytesView sound(std::uint32_t i) const;
    Bytes durationText(std::uint32_t i, char decimalSeparator) const;
    TlkRecord record(std::uint32_t i, char decimalSeparator) const;

    // How the duration cell is held: absent, the float read from a file
    // (written back bit for bit), or a text the user entered.
    struct Duration {
        enum Kind { None, Stored, Typed } kind = None;
        std::uint32_t bits = 0;
        BytesView text;
    };
    Duration duration(std::uint32_t i) const;

private:
    struct Segment {
        std::uint32_t first;
        std::uint32_t count; // the file's, kept here for the lookup of every cell
        std::shared_ptr<const TlkFile> file;
    };
    // The file entry behind index i, if any.
    const Segment* segmentOf(std::uint32_t i) const;
    const TlkRecord* edited(std::uint32_t i) const;

    std::uint32_t count_ = 0;
    std::vector<Segment> segments_; // sorted by first, not overlapping
    std::unordered_map<std::uint32_t, TlkRecord> edits_;
};
