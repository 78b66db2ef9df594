#pragma once

#include "Bytes.h"
#include "TlkFormat.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

// A talk table file that breaks the limits of a readable file.
class TlkFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A talk table as read: the entry table and the string data kept as the
// file's bytes, so a table of 16.7 million entries costs little more than the
// file. Every entry with TextPresent has been checked to lie within the
// string data.
class TlkFile {
public:
    std::uint32_t count() const { return count_; }
    const char* entry(std::uint32_t i) const { return entries_.get() + std::uint64_t(i) * tlk::kEntrySize; }
    std::uint32_t flags(std::uint32_t i) const { return tlk::readU32(entry(i) + tlk::kFlagsAt); }
    // The cells of the entry-to-row rule; empty when the entry's bit is clear.
    BytesView text(std::uint32_t i) const;
    BytesView sound(std::uint32_t i) const;
    bool hasDuration(std::uint32_t i) const { return flags(i) & tlk::SoundLengthPresent; }
    std::uint32_t durationBits(std::uint32_t i) const { return tlk::readU32(entry(i) + tlk::kSoundLengthAt); }

private:
    friend class TlkFileLoader;
    std::uint32_t count_ = 0;
    // Large buffers are mapped memory, small ones come from new[].
    struct BufferDeleter {
        BufferDeleter() : mappedSize(0) {}
        explicit BufferDeleter(std::uint64_t mapped) : mappedSize(mapped) {}
        void operator()(char* p) const;
        std::uint64_t mappedSize;
    };
    using Buffer = std::unique_ptr<char[], BufferDeleter>;
    Buffer entries_;
    Buffer strings_;
    std::uint64_t stringSize_ = 0;
};

// Where a reader lets its caller run (pump messages, step a progress bar).
struct TlkReadPoints {
    std::function<void()> afterEntryTable;
    std::function<void()> afterClose;
    std::function<void(std::uint32_t count)> beforeEntries; // after afterClose, before the per-entry checks
    std::function<void(std::uint32_t entry)> afterEntry; // after each entry has been checked
    // When given, the entry table and the string data are read in a single
    // pass of 16 MB pieces with this point between them, so a window stays
    // responsive while a table of a gigabyte comes in.
    std::function<void()> duringRead;
};

// Reads a talk table with one read for the entry table and one for the string
// data (each in pieces when the caller wants to run between them). Throws FileError when the file cannot be opened or read and
// TlkFormatError when it breaks a limit; nothing outside the file's data is
// ever read, whatever the file holds.
std::shared_ptr<const TlkFile> ReadTlk(const std::string& path, const TlkReadPoints& points = {});
// The same rules over bytes in memory; name is used in messages.
std::shared_ptr<const TlkFile> parseTlk(BytesView bytes, const std::string& name = "<memory>");
