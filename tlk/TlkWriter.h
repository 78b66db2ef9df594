#pragma once

#include "Bytes.h"
#include "TlkDocument.h"

#include <cstdint>
#include <functional>
#include <string>

// Where the writer lets its caller run. start runs once the file has been
// created; end runs after the last byte, before the file replaces the target,
// and also when writing fails after start (so a caller's lock is undone).
struct TlkWritePoints {
    std::function<void()> start;
    std::function<void(std::uint32_t entry)> entry;
    std::function<void(std::uint32_t entry)> text;
    std::function<void()> end;
};

// Writes the document as a packed talk table. The target is replaced only
// when every byte has been written; on failure it throws FileError and the
// old file stays as it was. Typed durations are read with decimalSeparator.
void WriteTlk(const TlkDocument& doc, const std::string& path, char decimalSeparator,
              const TlkWritePoints& points = {});
// The same bytes in memory.
Bytes writeTlkBytes(const TlkDocument& doc, char decimalSeparator);
