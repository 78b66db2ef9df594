#pragma once

#include "TlkDocumentBuilder.h"
#include "TlkJsonEntry.h"

#include <cstdint>
#include <string>

class CodePage;

// Checks talk table JSON entries in order, as the record dialog checks a
// record, and builds the document from those that pass: "strref" not below
// the next StrRef (a gap becomes blank entries) and not above 16777215,
// characters the code page holds, a sound reference of at most 16 bytes
// without a zero byte, a duration the duration check accepts with ".".
class TlkEntryChecker {
public:
    explicit TlkEntryChecker(const CodePage& page) : page_(page) {}

    // False, with error() naming the entry, when the entry is refused.
    bool add(const TlkJsonEntry& entry);
    const std::string& error() const { return error_; }
    TlkDocument finish() { return builder_.finish(); }

private:
    bool encode(const TlkJsonEntry& entry, TlkJsonEntry::Key k, Bytes& out);
    bool fail(const TlkJsonEntry& entry, const std::string& message);

    const CodePage& page_;
    TlkDocumentBuilder builder_;
    std::uint64_t next_ = 0;
    std::string error_;
};
