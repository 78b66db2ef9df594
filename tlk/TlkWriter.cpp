#include "TlkWriter.h"

#include "AtomicFileWriter.h"
#include "NumberText.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <memory>

using namespace tlk;

namespace {

struct StringSink {
    Bytes out;
    void write(const void* p, std::size_t n) { out.append(static_cast<const char*>(p), n); }
    void write(BytesView s) { out.append(s); }
};

// Runs the end point when leaving, however the writer leaves, once start ran.
struct EndGuard {
    const TlkWritePoints& points;
    bool armed = false;
    ~EndGuard()
    {
        if (armed && points.end) points.end();
    }
};

// Entries are built and written in blocks, so the entry table never needs
// memory of its own size (670 MB for 16.7 million entries), and texts that
// lie one after another in a file's string data go out in one write.
constexpr std::uint32_t kBlockEntries = 32768;

template <typename Sink>
void writeTo(Sink& sink, const TlkDocument& doc, char sep, const TlkWritePoints& points, EndGuard& guard)
{
    const std::uint32_t n = doc.count();
    char header[kHeaderSize];
    std::memcpy(header, "TLK V3.0", 8);
    writeU32(header + 8, 0);
    writeU32(header + 12, n);
    writeU32(header + 16, kHeaderSize + kEntrySize * n);
    sink.write(header, kHeaderSize);

    std::unique_ptr<char[]> block(new char[std::size_t(std::min(n, kBlockEntries)) * kEntrySize]);
    std::uint32_t offset = 0;
    for (std::uint32_t first = 0; first < n; first += kBlockEntries) {
        const std::uint32_t last = std::min(n, first + kBlockEntries);
        std::memset(block.get(), 0, std::size_t(last - first) * kEntrySize);
        for (std::uint32_t i = first; i < last; ++i) {
            char* e = block.get() + std::size_t(i - first) * kEntrySize;
            BytesView text = doc.text(i);
            BytesView sound = doc.sound(i);
            TlkDocument::Duration d = doc.duration(i);
            std::uint32_t flags = 0;
            if (!text.empty()) flags |= TextPresent;
            if (!sound.empty()) flags |= SoundPresent;
            if (d.kind != TlkDocument::Duration::None) flags |= SoundLengthPresent;
            writeU32(e + kFlagsAt, flags);
            // An empty view may have no data pointer, which memcpy must not get.
            if (!sound.empty())
                std::memcpy(e + kSoundRefAt, sound.data(), std::min<std::size_t>(sound.size(), kSoundRefSize));
            if (std::uint64_t(offset) + text.size() > UINT32_MAX)
                throw std::length_error(
                    "The texts of this talk table take more than 4 GB; a talk table cannot hold them.");
            writeU32(e + kStringOffsetAt, offset);
            writeU32(e + kStringSizeAt, std::uint32_t(text.size()));
            offset += std::uint32_t(text.size());
            std::uint32_t bits = 0;
            if (d.kind == TlkDocument::Duration::Stored) bits = d.bits;
            else if (d.kind == TlkDocument::Duration::Typed) {
                // The record dialog lets only numbers through; anything else
                // is refused here rather than stored as 0.
                auto value = durationTextToFloat(d.text, sep);
                if (!value)
                    throw std::invalid_argument("The duration \"" + std::string(d.text) + "\" of StrRef " +
                                                std::to_string(i) + " is not a number.");
                bits = floatToBits(*value);
            }
            writeU32(e + kSoundLengthAt, bits);
            if (points.entry) points.entry(i);
        }
        sink.write(block.get(), std::size_t(last - first) * kEntrySize);
    }
    block.reset();

    // A block's texts are written before its rows' text points run, so a
    // text point never comes before the bytes of its row.
    for (std::uint32_t first = 0; first < n; first += kBlockEntries) {
        const std::uint32_t last = std::min(n, first + kBlockEntries);
        const char* run = nullptr;
        std::size_t runSize = 0;
        for (std::uint32_t i = first; i < last; ++i) {
            BytesView text = doc.text(i);
            if (text.empty()) continue;
            if (run && text.data() == run + runSize) {
                runSize += text.size();
                continue;
            }
            if (runSize) sink.write(run, runSize);
            run = text.data();
            runSize = text.size();
        }
        if (runSize) sink.write(run, runSize);
        if (points.text)
            for (std::uint32_t i = first; i < last; ++i) points.text(i);
    }
    guard.armed = false;
    if (points.end) points.end();
}

} // namespace

void WriteTlk(const TlkDocument& doc, const std::string& path, char sep, const TlkWritePoints& points)
{
    AtomicFileWriter file(path);
    EndGuard guard{points};
    if (points.start) points.start();
    guard.armed = true;
    writeTo(file, doc, sep, points, guard);
    file.commit();
}

Bytes writeTlkBytes(const TlkDocument& doc, char sep)
{
    StringSink sink;
    TlkWritePoints none;
    EndGuard guard{none};
    writeTo(sink, doc, sep, none, guard);
    return std::move(sink.out);
}
